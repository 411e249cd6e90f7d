#include "ibdb/IbGeneratorValue.h"

#include "core/AppError.h"
#include "ibdb/IbQuery.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/SqlLiteral.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

namespace IbGeneratorValue {

namespace {

constexpr int kWideDialect = 3;

} // namespace

QByteArray statement(const QString &name)
{
    return QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE")
        .arg(SqlLiteral::quotedName(name))
        .toUtf8();
}

qint64 read(const QSqlDatabase &database, const QString &name)
{
    const QVariant handle = database.isOpen() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || handle.value<isc_db_handle>() == 0)
        throw DatabaseError(SqlErrorText(database.lastError()));
    const isc_db_handle attachment = handle.value<isc_db_handle>();
    QVariantList row;
    bool found = false;
    ServerCall::run(attachment, [&] {
        IbQuery query(attachment, kWideDialect);
        query.prepare(statement(name), false);
        query.execute({});
        found = query.fetch(row) && !row.isEmpty();
        if (found)
            query.finish();
    });
    if (!found)
        throw DatabaseError(QStringLiteral("Generator %1 has no value").arg(name));
    return row.first().toLongLong();
}

} // namespace IbGeneratorValue
