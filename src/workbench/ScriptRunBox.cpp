#include "workbench/ScriptRunBox.h"

#include "uikit/ApplicationTitle.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ScriptRunBox::ScriptRunBox(QWidget *parent, std::function<void()> stop)
    : QDialog(parent), m_stop(std::move(stop))
{
    setWindowTitle(ApplicationTitle);
    setObjectName(QStringLiteral("ScriptRunBox"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ProgressText = new QLabel(this);
    ProgressText->setObjectName(QStringLiteral("ProgressText"));
    ProgressText->setAccessibleName(QStringLiteral("Script progress"));
    // Wide enough for a long line, so the box does not jump as it counts.
    ProgressText->setMinimumWidth(
        ProgressText->fontMetrics().horizontalAdvance(QString(60, u'0')));
    StopBtn = new QPushButton(tr("Stop"), this);
    StopBtn->setObjectName(QStringLiteral("StopBtn"));
    StopBtn->setDefault(true);
    connect(StopBtn, &QPushButton::clicked, this, &ScriptRunBox::StopBtnClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(StopBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ProgressText);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ScriptRunBox::setProgress(const QString &text)
{
    ProgressText->setText(text);
}

// The server stops at its next chance; asking again adds nothing.
void ScriptRunBox::StopBtnClick()
{
    if (!StopBtn->isEnabled())
        return;
    StopBtn->setEnabled(false);
    m_stop();
}

void ScriptRunBox::reject()
{
    StopBtnClick();
}

void ScriptRunBox::closeEvent(QCloseEvent *event)
{
    event->ignore();
    StopBtnClick();
}
