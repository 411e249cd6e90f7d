#include "uikit/RelationNameList.h"

#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TDMSys.h"

#include <QSqlDatabase>
#include <QSqlError>

QStringList RelationNameList()
{
    QSqlDatabase db = QSqlDatabase::database(TDMSys::ibName());
    if (!db.isOpen())
        throw DatabaseError(SqlErrorText(db.lastError()));
    const QStringList names = db.tables(QSql::TableType(QSql::Tables | QSql::Views));
    // The driver keeps its last error; only an empty answer can hide a failure.
    if (names.isEmpty() && db.lastError().isValid())
        throw DatabaseError(SqlErrorText(db.lastError()));
    return names;
}
