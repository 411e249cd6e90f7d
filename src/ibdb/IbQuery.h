#pragma once

#include "ibdb/IbColumnNames.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbRowBuffer.h"
#include "ibdb/IbSqlda.h"
#include "ibdb/StatementTimes.h"

#include <QByteArray>
#include <QSqlRecord>
#include <QVariantList>

#include <memory>
#include <optional>
#include <vector>

// One prepared statement in a read-committed, read-write transaction of its
// own on a shared attachment. A select keeps its transaction until the last
// row is fetched or the run is finished; anything else is committed right
// after it ran. A statement may instead run in a transaction it shares with
// others (a snapshot), which it never ends. Failures throw IbError; every
// handle has an owner.
class IbQuery
{
public:
    IbQuery(isc_db_handle database, int dialect);

    // From now on the statement runs in `shared`, started by its owner.
    void shareTransaction(std::shared_ptr<IbTransaction> shared);

    // withParameters false: the caller knows the text has no placeholders,
    // which spares asking the server to describe its (absent) parameters.
    void prepare(const QByteArray &statement, bool withParameters = true);
    int parameterCount() const { return int(m_declared.size()); }
    QSqlRecord record() const { return m_record; }
    // The described result columns.
    const IbSqlda &output() const { return m_output; }
    // True for what the server runs as a cursor: a SELECT, or a block with
    // output parameters. A DML statement with RETURNING and EXECUTE PROCEDURE
    // have result columns too, yet are no query.
    bool isQuery() const;

    // Binds one value per parameter (missing ones are NULL) and runs it.
    void execute(const QVariantList &parameters);
    // True when the last run delivers rows.
    bool hasRows() const { return m_record.count() > 0; }
    int rowsAffected() const { return m_rowsAffected; }

    // The next row; false after the last, when the transaction is committed.
    bool fetch(QVariantList &row);
    // Up to `count` further rows of the cursor into `rows`, as they came;
    // fewer than asked means the end was reached (and committed). Touches
    // nothing but this statement and `rows`, so it may run off the GUI thread.
    int fetchBatch(IbRowBuffer &rows, int count);
    // Closes the cursor and commits. A failed commit is rolled back and thrown.
    void finish();
    // Lets go of statement and transaction (rolled back), reporting nothing:
    // the attachment is about to go.
    void release() noexcept;

    isc_stmt_handle statementHandle() const { return m_statement.get(); }
    // Time spent in the server calls of the last prepare, run and fetches.
    const StatementTimes &times() const { return m_times; }
    // Blobs as the run's own transaction sees them, while it lives.
    IbBlobStream blobs() { return IbBlobStream(&m_database, transaction()); }

    // Rows read from now on keep rounded types as exact text (see IbValueReader).
    void setExact(bool exact) { m_exact = exact; }

private:
    isc_tr_handle *transaction();
    void startTransaction();
    void commit();
    // Undoes the statement's own transaction; a shared one is its owner's.
    void rollback() noexcept;
    void closeCursor();
    void describeOutput();
    void describeInput();
    void buildRecord();
    std::vector<IbColumnNames::Names> columnNames() const;
    void bind(const QVariantList &parameters);
    QVariantList readRow();
    // Fetches into the output area; false at the end, once committed.
    bool fetchNext();

    isc_db_handle m_database;
    int m_dialect;
    IbTransaction m_transaction;
    std::shared_ptr<IbTransaction> m_shared;
    IbStatement m_statement;
    IbSqlda m_input;
    IbSqlda m_output;
    std::vector<XSQLVAR> m_declared;
    QSqlRecord m_record;
    int m_type = 0;
    int m_rowsAffected = -1;
    bool m_cursorOpen = false;
    bool m_exact = false;
    StatementTimes m_times;
    // A procedure's single row, read before its transaction was committed.
    std::optional<QVariantList> m_singleRow;
};
