#include "controls/UpdatesSuspended.h"

#include <QWidget>

UpdatesSuspended::UpdatesSuspended(QList<QWidget *> widgets) : m_widgets(std::move(widgets))
{
    for (QWidget *widget : std::as_const(m_widgets))
        widget->setUpdatesEnabled(false);
}

UpdatesSuspended::~UpdatesSuspended()
{
    for (QWidget *widget : std::as_const(m_widgets))
        widget->setUpdatesEnabled(true);
}
