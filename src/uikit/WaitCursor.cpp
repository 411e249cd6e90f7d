#include "uikit/WaitCursor.h"

#include "core/BusyCursor.h"

#include <QGuiApplication>

namespace WaitCursor {

namespace {

QCursor &installed()
{
    static QCursor picture(Qt::WaitCursor);
    return picture;
}

void show()
{
    QGuiApplication::setOverrideCursor(installed());
}

void hide()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace

void install(const QCursor &cursor)
{
    installed() = cursor;
    BusyCursor::install({&show, &hide});
}

QCursor cursor()
{
    return installed();
}

} // namespace WaitCursor
