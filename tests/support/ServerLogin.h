#pragma once

#include "app/TMainForm.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>

// The set-up the tests of the administration windows share on the private
// server: their users made, the frame logged in, a window opened.
namespace ServerLogin {

// The server running and each user there with the password; false when the
// test runs outside CTest's fixture, which it then skips.
bool prepareUsers(const QStringList &users, const QString &password);

// File > Connect as SYSDBA; the error shown, if any.
QString asAdministrator(ReliabilityFrame &frame, const ServerDatabase &db);

// The window a menu command opened, or nullptr when it failed to open.
template <typename Form>
Form *openWindow(ReliabilityFrame &frame, Form *(*open)())
{
    if (!frame.run([open] { open(); }).isEmpty())
        return nullptr;
    QMdiSubWindow *window = frame.frame->mdiArea()->activeSubWindow();
    return window ? qobject_cast<Form *>(window->widget()) : nullptr;
}

} // namespace ServerLogin
