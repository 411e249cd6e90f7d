#pragma once

#include <QString>

class QSqlError;

// The text an error box shows for a data-access failure: the database's own
// words when it gave any, the driver's otherwise.
QString SqlErrorText(const QSqlError &error);
