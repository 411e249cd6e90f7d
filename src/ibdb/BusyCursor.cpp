#include "BusyCursor.h"

#include <QGuiApplication>

namespace {
QCursor &registeredCursor()
{
    static QCursor cursor(Qt::WaitCursor);
    return cursor;
}
} // namespace

BusyCursor::BusyCursor()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(registeredCursor());
        m_shown = true;
    }
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

void BusyCursor::registerCursor(const QCursor &cursor)
{
    registeredCursor() = cursor;
}

QCursor BusyCursor::cursor()
{
    return registeredCursor();
}
