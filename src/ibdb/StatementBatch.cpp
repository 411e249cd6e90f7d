#include "ibdb/StatementBatch.h"

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatementInfo.h"
#include "ibdb/IbStatus.h"

#include <QElapsedTimer>

namespace {

// About a frame: the caller's log then follows the run as it goes.
constexpr qint64 kBudgetNs = 10'000'000;

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
    QByteArray answer(16, '\0');
    const int type = IbStatementInfo::prepareForKind(status, database, transaction, statement,
                                                     text, dialect, {}, answer);
    if (!IbStatementInfo::isChange(type))
        return Step::Left;
    isc_dsql_execute(m_status.data(), transaction, statement.ref(), SQLDA_VERSION1, nullptr);
    if (IbStatus::failed(m_status.data())) {
        m_failed = true;
        m_failedType = type;
        return Step::Failed;
    }
    Ran ran{type, -1, 0};
    try {
        if (IbStatementInfo::isDml(type))
            ran.rows = IbStatementInfo::rowsAffected(statement.get(), type);
    } catch (const IbError &) {
        // The statement ran; a count the server cannot give is no count.
    }
    ran.nanoseconds = timer.nsecsElapsed();
    m_ran.append(ran);
    return type == isc_info_sql_stmt_ddl ? Step::RanLast : Step::Ran;
}
