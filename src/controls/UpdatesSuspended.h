#pragma once

#include <QList>

class QWidget;

// Holds the painting of some widgets for a scope, so that a list or grid
// being refilled is drawn once, when the refill is done, whatever way the
// scope is left.
class UpdatesSuspended
{
public:
    explicit UpdatesSuspended(QList<QWidget *> widgets);
    ~UpdatesSuspended();
    UpdatesSuspended(const UpdatesSuspended &) = delete;
    UpdatesSuspended &operator=(const UpdatesSuspended &) = delete;

private:
    QList<QWidget *> m_widgets;
};
