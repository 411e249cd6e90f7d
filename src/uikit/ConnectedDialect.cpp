#include "uikit/ConnectedDialect.h"

#include "ibdb/IbDriver.h"
#include "ibdb/TDMSys.h"

#include <QSqlDatabase>

SqlHighlighter::DoubleQuotes ConnectedDialect::doubleQuotes()
{
    const QString connection = TDMSys::ibName();
    int dialect = 1;
    if (QSqlDatabase::contains(connection)) {
        const QSqlDatabase database = QSqlDatabase::database(connection, false);
        if (const auto *driver = qobject_cast<const IbDriver *>(database.driver()))
            dialect = driver->dialect();
    }
    return dialect == 1 ? SqlHighlighter::DoubleQuotes::DelimitString
                        : SqlHighlighter::DoubleQuotes::DelimitName;
}
