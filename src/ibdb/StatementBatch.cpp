#include "ibdb/StatementBatch.h"

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatementInfo.h"
#include "ibdb/IbStatus.h"

#include <QElapsedTimer>

namespace {

// About a frame: the caller's log then follows the run as it goes.
constexpr qint64 kBudgetNs = 10'000'000;

bool isDml(int type)
{
    return type == isc_info_sql_stmt_insert || type == isc_info_sql_stmt_update
           || type == isc_info_sql_stmt_delete;
}

} // namespace

void StatementBatch::run(isc_db_handle *database, isc_tr_handle *transaction, int dialect)
{
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &text : std::as_const(m_texts)) {
        const Step step = runOne(database, transaction, text, dialect);
        m_left = step == Step::Left;
        if (step != Step::Ran || timer.nsecsElapsed() >= kBudgetNs)
            return;
    }
}

StatementBatch::Step StatementBatch::runOne(isc_db_handle *database, isc_tr_handle *transaction,
                                            const QByteArray &text, int dialect)
{
    QElapsedTimer timer;
    timer.start();
    IbStatement statement;
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, database, statement.ref());
    if (IbStatus::failed(status))
        return Step::Left;
    const char item = isc_info_sql_stmt_type;
    char answer[16] = {};
    isc_dsql_prepare_m(status, transaction, statement.ref(), 0, text.constData(),
                       static_cast<unsigned short>(dialect), 1, &item, sizeof answer, answer);
    const int type = IbStatementInfo::typeIn(answer, int(sizeof answer));
    if (IbStatus::failed(status) || !(isDml(type) || type == isc_info_sql_stmt_ddl))
        return Step::Left;
    isc_dsql_execute(m_status.data(), transaction, statement.ref(), SQLDA_VERSION1, nullptr);
    if (IbStatus::failed(m_status.data())) {
        m_failed = true;
        m_failedType = type;
        return Step::Failed;
    }
    Ran ran{type, -1, 0};
    try {
        if (isDml(type))
            ran.rows = IbStatementInfo::rowsAffected(statement.get(), type);
    } catch (const IbError &) {
        // The statement ran; a count the server cannot give is no count.
    }
    ran.nanoseconds = timer.nsecsElapsed();
    m_ran.append(ran);
    return type == isc_info_sql_stmt_ddl ? Step::RanLast : Step::Ran;
}
