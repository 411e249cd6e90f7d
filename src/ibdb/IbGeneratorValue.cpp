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

// On the server thread.
qint64 readOne(isc_db_handle attachment, const QString &name)
{
    IbQuery query(attachment, kWideDialect);
    query.prepare(statement(name), false);
    query.execute({});
    QVariantList row;
    if (!query.fetch(row) || row.isEmpty())
        throw DatabaseError(QStringLiteral("Generator %1 has no value").arg(name));
    query.finish();
    return row.first().toLongLong();
}

} // namespace

QByteArray statement(const QString &name)
{
    return QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE")
        .arg(SqlLiteral::quotedName(name))
        .toUtf8();
}

qint64 read(const QSqlDatabase &database, const QString &name)
{
    QList<qint64> values;
    readAll(database, {name}, values);
    return values.first();
}

void readAll(const QSqlDatabase &database, const QStringList &names, QList<qint64> &values)
{
    const QVariant handle = database.isOpen() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || handle.value<isc_db_handle>() == 0)
        throw DatabaseError(SqlErrorText(database.lastError()));
    const isc_db_handle attachment = handle.value<isc_db_handle>();
    values.clear();
    values.reserve(names.size());
    ServerCall::run(attachment, [&] {
        for (const QString &name : names)
            values.append(readOne(attachment, name));
    });
}

} // namespace IbGeneratorValue
