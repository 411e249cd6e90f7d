#include "support/TestShell.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/TChildForm.h"

#include <QMdiSubWindow>

TestShell::TestShell()
{
    Shell::setInstance(this);
    area.resize(1000, 700);
    area.show();
}

// Closing a window moves the focus, and a window that loses it writes to
// the shell's panels: the shell goes only once its windows are gone.
TestShell::~TestShell()
{
    area.closeAllSubWindows();
    Shell::setInstance(nullptr);
}

void TestShell::showChild(TChildForm *form)
{
    QMdiSubWindow *window = area.addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    opened.append(form);
}

void TestShell::releaseConnection(const TChildForm *keeping)
{
    Q_UNUSED(keeping);
    ++released;
    DMSys->IBDataBase->Close();
}

void TestShell::restoreConnection()
{
    if (!DMSys->IBDataBase->Connected())
        DMSys->IBDataBase->Open();
}
