#include "schema/MonitorSnapshot.h"

#include "core/AppError.h"
#include "ibdb/IbDriver.h"
#include "ibdb/IbSnapshot.h"
#include "ibdb/IbResult.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Each text selects the row's key, its attachment and that attachment's
// user first, then the columns listed for it.
const char kAttachments[] =
    "SELECT A.MON$ATTACHMENT_ID, A.MON$ATTACHMENT_ID, A.MON$USER, "
    "A.MON$ATTACHMENT_ID, A.MON$USER, A.MON$ROLE, A.MON$REMOTE_ADDRESS, "
    "A.MON$REMOTE_PROCESS, A.MON$REMOTE_PID, A.MON$CLIENT_VERSION, "
    "DECODE(A.MON$STATE, 0, 'Idle', 1, 'Active', 'Stalled'), "
    "CAST(A.MON$TIMESTAMP AS TIMESTAMP), "
    "IO.MON$PAGE_READS, IO.MON$PAGE_WRITES, IO.MON$PAGE_FETCHES, IO.MON$PAGE_MARKS, "
    "R.MON$RECORD_SEQ_READS, R.MON$RECORD_IDX_READS, R.MON$RECORD_INSERTS, "
    "R.MON$RECORD_UPDATES, R.MON$RECORD_DELETES "
    "FROM MON$ATTACHMENTS A "
    "LEFT JOIN MON$IO_STATS IO ON IO.MON$STAT_ID = A.MON$STAT_ID "
    "LEFT JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = A.MON$STAT_ID "
    "WHERE COALESCE(A.MON$SYSTEM_FLAG, 0) = 0 "
    "ORDER BY A.MON$ATTACHMENT_ID";

const char kTransactions[] =
    "SELECT T.MON$TRANSACTION_ID, T.MON$ATTACHMENT_ID, A.MON$USER, "
    "T.MON$TRANSACTION_ID, DECODE(T.MON$STATE, 0, 'Idle', 1, 'Active', 'Stalled'), "
    "CAST(T.MON$TIMESTAMP AS TIMESTAMP), "
    "DECODE(T.MON$ISOLATION_MODE, 0, 'Consistency', 1, 'Snapshot', "
    "2, 'Read committed, record version', 3, 'Read committed, no record version', "
    "'Read committed, read consistency'), "
    "DECODE(T.MON$READ_ONLY, 1, 'Yes', 'No'), T.MON$OLDEST_ACTIVE, "
    "IO.MON$PAGE_READS, IO.MON$PAGE_WRITES, IO.MON$PAGE_FETCHES "
    "FROM MON$TRANSACTIONS T "
    "JOIN MON$ATTACHMENTS A ON A.MON$ATTACHMENT_ID = T.MON$ATTACHMENT_ID "
    "LEFT JOIN MON$IO_STATS IO ON IO.MON$STAT_ID = T.MON$STAT_ID "
    "ORDER BY T.MON$TRANSACTION_ID";

const char kStatements[] =
    "SELECT S.MON$STATEMENT_ID, S.MON$ATTACHMENT_ID, A.MON$USER, "
    "S.MON$STATEMENT_ID, S.MON$TRANSACTION_ID, "
    "DECODE(S.MON$STATE, 0, 'Idle', 1, 'Active', 'Stalled'), "
    "CAST(S.MON$TIMESTAMP AS TIMESTAMP), "
    "IIF(S.MON$STATE = 0, NULL, "
    "DATEDIFF(MILLISECOND FROM S.MON$TIMESTAMP TO CURRENT_TIMESTAMP)), "
    "IO.MON$PAGE_READS, IO.MON$PAGE_FETCHES, R.MON$RECORD_SEQ_READS, "
    "R.MON$RECORD_IDX_READS, S.MON$SQL_TEXT "
    "FROM MON$STATEMENTS S "
    "JOIN MON$ATTACHMENTS A ON A.MON$ATTACHMENT_ID = S.MON$ATTACHMENT_ID "
    "LEFT JOIN MON$IO_STATS IO ON IO.MON$STAT_ID = S.MON$STAT_ID "
    "LEFT JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = S.MON$STAT_ID "
    "ORDER BY S.MON$ATTACHMENT_ID, S.MON$STATEMENT_ID";

// The server shows every attachment to its administrators and the
// database's owner; anyone else sees only attachments under their own name.
const char kRights[] =
    "SELECT CURRENT_CONNECTION, IIF(CURRENT_USER = 'SYSDBA' "
    "OR CURRENT_ROLE = 'RDB$ADMIN' OR CURRENT_USER = D.MON$OWNER, 1, 0) "
    "FROM MON$DATABASE D";
// Firebird 4 also lets a role's system privilege grant the same.
const char kRightsFirebird4[] =
    "SELECT CURRENT_CONNECTION, IIF(CURRENT_USER = 'SYSDBA' "
    "OR CURRENT_ROLE = 'RDB$ADMIN' OR CURRENT_USER = D.MON$OWNER "
    "OR RDB$SYSTEM_PRIVILEGE(MONITOR_ANY_ATTACHMENT), 1, 0) "
    "FROM MON$DATABASE D";

constexpr int kKeyColumns = 3;

QSqlQuery run(const IbSnapshot &snapshot, const char *text)
{
    QSqlQuery query = snapshot.query();
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(text)))
        throw DatabaseError(SqlErrorText(query.lastError()));
    // The next rows come in while these are read.
    IbResult::readAheadInBackground(query);
    return query;
}

QList<MonitorSnapshot::Row> rows(const IbSnapshot &snapshot, const char *text)
{
    QSqlQuery query = run(snapshot, text);
    QList<MonitorSnapshot::Row> result;
    while (query.next()) {
        MonitorSnapshot::Row row;
        row.id = query.value(0).toLongLong();
        row.attachmentId = query.value(1).toLongLong();
        row.user = PlainName(query.value(2).toString());
        for (int column = kKeyColumns; column < query.record().count(); ++column)
            row.values << query.value(column);
        result << row;
    }
    if (query.lastError().isValid())
        throw DatabaseError(SqlErrorText(query.lastError()));
    return result;
}

bool onFirebird4(const QSqlDatabase &connection)
{
    const auto *driver = qobject_cast<const IbDriver *>(connection.driver());
    return driver && driver->serverInfo().hasFirebird4Types();
}

QList<MonitorSnapshot::Row> rowsOf(const QList<MonitorSnapshot::Row> &all, qint64 attachmentId)
{
    QList<MonitorSnapshot::Row> result;
    for (const MonitorSnapshot::Row &row : all) {
        if (row.attachmentId == attachmentId)
            result << row;
    }
    return result;
}

} // namespace

QStringList MonitorSnapshot::attachmentColumns()
{
    return {QStringLiteral("Attachment"), QStringLiteral("User"), QStringLiteral("Role"),
            QStringLiteral("Remote address"), QStringLiteral("Process"),
            QStringLiteral("PID"), QStringLiteral("Client version"), QStringLiteral("State"),
            QStringLiteral("Started"), QStringLiteral("Page reads"),
            QStringLiteral("Page writes"), QStringLiteral("Page fetches"),
            QStringLiteral("Page marks"), QStringLiteral("Sequential reads"),
            QStringLiteral("Indexed reads"), QStringLiteral("Inserts"),
            QStringLiteral("Updates"), QStringLiteral("Deletes")};
}

QStringList MonitorSnapshot::transactionColumns()
{
    return {QStringLiteral("Transaction"), QStringLiteral("State"),
            QStringLiteral("Started"), QStringLiteral("Isolation"),
            QStringLiteral("Read only"), QStringLiteral("Oldest active it sees"),
            QStringLiteral("Page reads"), QStringLiteral("Page writes"),
            QStringLiteral("Page fetches")};
}

QStringList MonitorSnapshot::statementColumns()
{
    return {QStringLiteral("Statement"), QStringLiteral("Transaction"),
            QStringLiteral("State"), QStringLiteral("Started"),
            QStringLiteral("Running (ms)"), QStringLiteral("Page reads"),
            QStringLiteral("Page fetches"), QStringLiteral("Sequential reads"),
            QStringLiteral("Indexed reads"), QStringLiteral("Text")};
}

MonitorSnapshot MonitorSnapshot::read(const QSqlDatabase &connection)
{
    const IbSnapshot snapshot(connection);
    MonitorSnapshot result;
    QSqlQuery rights = run(snapshot, onFirebird4(connection) ? kRightsFirebird4 : kRights);
    if (rights.next()) {
        result.ownAttachment = rights.value(0).toLongLong();
        result.seesAll = rights.value(1).toInt() == 1;
    }
    rights.finish();
    result.attachments = rows(snapshot, kAttachments);
    result.transactions = rows(snapshot, kTransactions);
    result.statements = rows(snapshot, kStatements);
    result.counters = IbTransactionCounters::read(connection);
    return result;
}

const MonitorSnapshot::Row *MonitorSnapshot::attachment(qint64 id) const
{
    for (const Row &row : attachments) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

QList<MonitorSnapshot::Row> MonitorSnapshot::transactionsOf(qint64 attachmentId) const
{
    return rowsOf(transactions, attachmentId);
}

QList<MonitorSnapshot::Row> MonitorSnapshot::statementsOf(qint64 attachmentId) const
{
    return rowsOf(statements, attachmentId);
}
