#include "controls/OfficeButtonAccessible.h"

#include "controls/TOfficeButton.h"

#include <QKeySequence>

OfficeButtonAccessible::OfficeButtonAccessible(TOfficeButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

TOfficeButton *OfficeButtonAccessible::button() const
{
    return static_cast<TOfficeButton *>(widget());
}

QAccessible::State OfficeButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const TOfficeButton *b = button();
    if (b->groupIndex() != 0) {
        state.checkable = true;
        state.checked = b->down();
    }
    state.pressed = b->isPressed() || b->down();
    return state;
}

QStringList OfficeButtonAccessible::actionNames() const
{
    if (!button()->isEnabled())
        return {};
    return {pressAction()};
}

void OfficeButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        button()->click();
}

QStringList OfficeButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    const QKeySequence key = QKeySequence::mnemonic(button()->caption());
    if (actionName != pressAction() || key.isEmpty())
        return {};
    return {key.toString(QKeySequence::NativeText)};
}

QAccessibleInterface *OfficeButtonAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("TOfficeButton") && object && object->isWidgetType())
        return new OfficeButtonAccessible(static_cast<TOfficeButton *>(object));
    return nullptr;
}
