#pragma once

#include <QByteArray>
#include <QList>

#include <array>

#include <ibase.h>

// Plain statements of a script, run one after another in a single call to
// the server, so that a script of short statements does not wait for the
// server-call thread once for each. Each is prepared and run as it stands in
// the caller's transaction. The run ends
// - after a statement that fails to run, whose status it keeps;
// - after a DDL statement, whose commit the caller decides on;
// - before a statement that is no INSERT, UPDATE, DELETE or DDL, or that does
//   not prepare: it is left for the caller to run on its own, which gives it
//   the handling and the messages of a single statement;
// - once it has run longer than a frame, so that the caller's log and its
//   Stop never lag far behind.
class StatementBatch
{
public:
    struct Ran
    {
        int type = 0;  // isc_info_sql_stmt_…
        int rows = -1; // as TIBDataBase::changedRows() gives it
        qint64 nanoseconds = 0;
    };

    // Statements in the order they are to run, each without a terminator.
    void add(const QByteArray &text) { m_texts.append(text); }
    const QList<QByteArray> &texts() const { return m_texts; }

    // Within one server call, on the caller's attachment and transaction.
    void run(isc_db_handle *database, isc_tr_handle *transaction, int dialect);

    // The statements that ran, the first ones of texts().
    const QList<Ran> &ran() const { return m_ran; }
    // The statement after those that ran failed to run; its status, and
    // its kind.
    bool failed() const { return m_failed; }
    const ISC_STATUS *status() const { return m_status.data(); }
    int failedType() const { return m_failedType; }
    // The statement after those that ran was left for the caller.
    bool left() const { return m_left; }

private:
    enum class Step { Ran, RanLast, Failed, Left };
    Step runOne(isc_db_handle *database, isc_tr_handle *transaction, const QByteArray &text,
                int dialect);

    QList<QByteArray> m_texts;
    QList<Ran> m_ran;
    bool m_failed = false;
    bool m_left = false;
    int m_failedType = 0;
    std::array<ISC_STATUS, ISC_STATUS_LENGTH> m_status{};
};
