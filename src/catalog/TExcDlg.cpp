#include "catalog/TExcDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

TExcDlg &TExcDlg::shared()
{
    static QPointer<TExcDlg> dialog;
    if (!dialog) {
        dialog = new TExcDlg;
        // A widget must not outlive the application object.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, dialog.data(),
                         [] { delete dialog.data(); });
    }
    return *dialog;
}

TExcDlg::TExcDlg()
    : NameEdit(new QLineEdit),
      MsgEdit(new QPlainTextEdit),
      OKBtn(new QPushButton(QStringLiteral("OK"))),
      CancelBtn(new QPushButton(QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("ExcDlg"));
    setWindowTitle(QStringLiteral("Exceptions"));
    setModal(true);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    MsgEdit->setObjectName(QStringLiteral("MsgEdit"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    MsgEdit->setTabChangesFocus(true);
    MsgEdit->setFixedHeight(80);
    MsgEdit->installEventFilter(this);

    auto *nameLabel = new QLabel(QStringLiteral("Exception &Name"));
    nameLabel->setBuddy(NameEdit);
    auto *msgLabel = new QLabel(QStringLiteral("&Message to show"));
    msgLabel->setBuddy(MsgEdit);
    auto *frame = new QGroupBox;
    auto *fields = new QVBoxLayout(frame);
    fields->addWidget(nameLabel);
    fields->addWidget(NameEdit);
    fields->addWidget(msgLabel);
    fields->addWidget(MsgEdit);

    OKBtn->setDefault(true);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    frame->setMinimumWidth(360);
}

QString TExcDlg::name() const
{
    return NameEdit->text();
}

QString TExcDlg::message() const
{
    return MsgEdit->toPlainText();
}

bool TExcDlg::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the message closes the dialog like in the name box, rather
    // than breaking the message into lines.
    if (watched == MsgEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBtn->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
