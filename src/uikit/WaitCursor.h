#pragma once

#include <QCursor>

// The picture the windows show while the database works: installed into the
// data layer's BusyCursor, which knows nothing of widgets.
namespace WaitCursor {

void install(const QCursor &cursor);
QCursor cursor();

} // namespace WaitCursor
