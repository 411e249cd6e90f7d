#pragma once

#include "ibdb/ServerCall.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The small modal box of a server call that has waited half a second: says
// what is running and offers Cancel, which asks the server to stop the call.
// The call closes the box when it ends, answered or cancelled; the box never
// closes itself, so Escape and the title bar's close press Cancel too. A call
// nothing can stop shows the box with Cancel disabled.
class ServerWaitBox : public QDialog, public ServerCall::WaitBox
{
    Q_OBJECT

public:
    ServerWaitBox(const QString &text, std::function<void()> cancel);
    ~ServerWaitBox() override;

    // Makes every slow server call show this box.
    static void install();

    QLabel *TextLabel = nullptr;
    QPushButton *CancelBtn = nullptr;

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CancelBtnClick();

    std::function<void()> m_cancel;
};
