#include "TChildForm.h"

#include "Command.h"
#include "Shell.h"
#include "TOfficeButton.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

TChildForm::TChildForm(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

QMenu *TChildForm::createFormMenu(const QString &title)
{
    m_formMenu = new QMenu(title, this);
    return m_formMenu;
}

QAction *TChildForm::addCommand(QMenu *menu, const QString &text, const QString &hint,
                                std::function<void()> handler, const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(text);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, Command::guard(std::move(handler)));
    return action;
}

void TChildForm::onClick(TOfficeButton *button, std::function<void()> handler)
{
    connect(button, &TOfficeButton::clicked, this, Command::guard(std::move(handler)));
}

QVBoxLayout *TChildForm::createPanelLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

void TChildForm::showInFrame(TChildForm *form)
{
    Shell::instance().showChild(form);
}

void TChildForm::runAsCommand(const std::function<void()> &step)
{
    Command::run(step);
}
