#include "ibdb/IbGeneratorValue.h"

#include "core/AppError.h"
#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"
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

// On the server thread. The values are read at one moment, in one read-only
// transaction; each statement runs straight to its single row.
qint64 readOne(isc_db_handle attachment, isc_tr_handle *transaction, const QString &name)
{
    ISC_STATUS_ARRAY status;
    IbStatement statement;
    isc_dsql_allocate_statement(status, &attachment, statement.ref());
    IbError::check(status, QSqlError::StatementError);
    const QByteArray text = IbGeneratorValue::statement(name);
    isc_dsql_prepare(status, transaction, statement.ref(), 0, text.constData(), kWideDialect,
                     nullptr);
    IbError::check(status, QSqlError::StatementError);
    ISC_INT64 value = 0;
    short nullFlag = 0;
    XSQLDA output{};
    output.version = SQLDA_VERSION1;
    output.sqln = output.sqld = 1;
    output.sqlvar[0].sqltype = SQL_INT64 + 1;
    output.sqlvar[0].sqllen = sizeof value;
    output.sqlvar[0].sqldata = reinterpret_cast<char *>(&value);
    output.sqlvar[0].sqlind = &nullFlag;
    isc_dsql_execute2(status, transaction, statement.ref(), SQLDA_VERSION1, nullptr, &output);
    IbError::check(status, QSqlError::StatementError);
    if (nullFlag < 0)
        throw DatabaseError(QStringLiteral("Generator %1 has no value").arg(name));
    return value;
}

void readOn(isc_db_handle attachment, const QStringList &names, QList<qint64> &values)
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    IbTransaction transaction;
    IbTransactionStart::start(status, transaction.ref(), &attachment,
                              QByteArray::fromRawData(tpb, sizeof tpb));
    IbError::check(status, QSqlError::TransactionError);
    for (const QString &name : names)
        values.append(readOne(attachment, transaction.ref(), name));
    // Nothing was written: the transaction just ends.
    isc_commit_transaction(status, transaction.ref());
    if (!IbStatus::failed(status))
        transaction.forget();
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
    ServerCall::run(attachment, [&] { readOn(attachment, names, values); });
}

} // namespace IbGeneratorValue
