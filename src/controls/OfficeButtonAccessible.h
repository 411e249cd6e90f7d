#pragma once

#include <QAccessibleWidget>

class TOfficeButton;

// Shows a flat tool button to screen readers and test robots as a push button named by its
// hint, pressed by the accessible "press" action, and checked while it is held down in a group.
class OfficeButtonAccessible : public QAccessibleWidget
{
public:
    explicit OfficeButtonAccessible(TOfficeButton *button);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    static QAccessibleInterface *create(const QString &className, QObject *object);

private:
    TOfficeButton *button() const;
};
