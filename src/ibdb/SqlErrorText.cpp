#include "ibdb/SqlErrorText.h"

#include <QSqlError>

QString SqlErrorText(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}
