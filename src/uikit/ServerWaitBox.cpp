#include "uikit/ServerWaitBox.h"

#include "uikit/ApplicationTitle.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

ServerWaitBox::ServerWaitBox(const QString &text, std::function<void()> cancel)
    : m_cancel(std::move(cancel))
{
    setWindowTitle(ApplicationTitle);
    setAccessibleName(text);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setObjectName(QStringLiteral("ServerWaitBox"));

    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size));
    TextLabel = new QLabel(text, this);
    TextLabel->setObjectName(QStringLiteral("TextLabel"));
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setDefault(true);
    CancelBtn->setEnabled(bool(m_cancel));
    connect(CancelBtn, &QPushButton::clicked, this, &ServerWaitBox::CancelBtnClick);

    auto *message = new QHBoxLayout;
    message->addWidget(icon, 0, Qt::AlignTop);
    message->addWidget(TextLabel, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The busy cursor stays on the windows the call blocks, not on the box.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    show();
}

ServerWaitBox::~ServerWaitBox()
{
    QGuiApplication::restoreOverrideCursor();
}

void ServerWaitBox::install()
{
    ServerCall::install([](const QString &text, std::function<void()> cancel) {
        return std::make_unique<ServerWaitBox>(text, std::move(cancel));
    });
}

// Once asked, the server stops at its next chance; asking again adds nothing.
// A call that cannot be stopped has its button disabled from the start.
void ServerWaitBox::CancelBtnClick()
{
    if (!CancelBtn->isEnabled())
        return;
    CancelBtn->setEnabled(false);
    m_cancel();
}

void ServerWaitBox::reject()
{
    CancelBtnClick();
}

void ServerWaitBox::closeEvent(QCloseEvent *event)
{
    event->ignore();
    CancelBtnClick();
}
