#include "ibdb/IbQuery.h"

#include "ibdb/IbColumnNames.h"
#include "ibdb/IbError.h"
#include "ibdb/IbStatementInfo.h"
#include "ibdb/IbStatus.h"
#include "ibdb/IbTransactionStart.h"
#include "ibdb/IbValueReader.h"
#include "ibdb/IbValueWriter.h"

#include "ibdb/IbType.h"
#include "ibdb/PlainName.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSqlField>

namespace {

void check(const ISC_STATUS *status)
{
    IbError::check(status, QSqlError::StatementError);
}

IbColumnNames::Names shortNames(const XSQLVAR &var)
{
    return {QString::fromUtf8(var.sqlname, var.sqlname_length),
            QString::fromUtf8(var.relname, var.relname_length),
            QString::fromUtf8(var.aliasname, var.aliasname_length)};
}

QString fieldName(const IbColumnNames::Names &names)
{
    return PlainName(names.alias.isEmpty() ? names.field : names.alias);
}

} // namespace

IbQuery::IbQuery(isc_db_handle database, int dialect)
    : m_database(database), m_dialect(dialect)
{
}

void IbQuery::shareTransaction(std::shared_ptr<IbTransaction> shared)
{
    m_shared = std::move(shared);
}

isc_tr_handle *IbQuery::transaction()
{
    return m_shared ? m_shared->ref() : m_transaction.ref();
}

void IbQuery::startTransaction()
{
    if (m_shared || m_transaction)
        return;
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    IbTransactionStart::start(status, m_transaction.ref(), &m_database,
                              QByteArray::fromRawData(tpb, sizeof tpb));
    IbError::check(status, QSqlError::TransactionError);
}

void IbQuery::commit()
{
    if (!m_transaction)
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, m_transaction.ref());
    if (IbStatus::failed(status)) {
        m_transaction.reset();
        IbError::check(status, QSqlError::TransactionError);
    }
    m_transaction.forget();
}

void IbQuery::rollback() noexcept
{
    m_transaction.reset();
}

void IbQuery::closeCursor()
{
    if (!m_cursorOpen)
        return;
    m_cursorOpen = false;
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, m_statement.ref(), DSQL_close);
    check(status);
}

void IbQuery::prepare(const QByteArray &statement, bool withParameters)
{
    release();
    m_times = StatementTimes();
    QElapsedTimer timer;
    timer.start();
    const auto timed = qScopeGuard([&] { m_times.prepareNs = timer.nsecsElapsed(); });
    m_declared.clear();
    m_record.clear();
    m_rowsAffected = -1;
    try {
        startTransaction();
        ISC_STATUS_ARRAY status;
        isc_dsql_allocate_statement(status, &m_database, m_statement.ref());
        check(status);
        m_output = IbSqlda();
        // Length 0: the text is zero-terminated, so it may be longer than 64 KB.
        isc_dsql_prepare(status, transaction(), m_statement.ref(), 0,
                         statement.constData(), static_cast<unsigned short>(m_dialect),
                         m_output.get());
        check(status);
        m_type = IbStatementInfo::type(m_statement.get());
        describeOutput();
        if (withParameters)
            describeInput();
    } catch (const IbError &) {
        release();
        m_record.clear();
        m_declared.clear();
        throw;
    }
}

bool IbQuery::isQuery() const
{
    return m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd;
}

void IbQuery::describeOutput()
{
    ISC_STATUS_ARRAY status;
    if (m_output.tooSmall()) {
        m_output.grow();
        isc_dsql_describe(status, m_statement.ref(), SQLDA_VERSION1, m_output.get());
        check(status);
    }
    buildRecord();
    m_output.allocateOutput();
}

void IbQuery::describeInput()
{
    ISC_STATUS_ARRAY status;
    m_input = IbSqlda();
    isc_dsql_describe_bind(status, m_statement.ref(), SQLDA_VERSION1, m_input.get());
    check(status);
    if (m_input.tooSmall()) {
        m_input.grow();
        isc_dsql_describe_bind(status, m_statement.ref(), SQLDA_VERSION1, m_input.get());
        check(status);
    }
    for (int i = 0; i < m_input.count(); ++i)
        m_declared.push_back(m_input.var(i));
}

// Names as the descriptor holds them, or, where one of them may have been
// cut, as the statement's info items give them: one more call, only then.
std::vector<IbColumnNames::Names> IbQuery::columnNames() const
{
    for (int i = 0; i < m_output.count(); ++i) {
        if (IbColumnNames::mayBeCut(m_output.var(i)))
            return IbColumnNames::read(m_statement.get(), m_output.count());
    }
    std::vector<IbColumnNames::Names> names;
    for (int i = 0; i < m_output.count(); ++i)
        names.push_back(shortNames(m_output.var(i)));
    return names;
}

void IbQuery::buildRecord()
{
    const std::vector<IbColumnNames::Names> names = columnNames();
    for (int i = 0; i < m_output.count(); ++i) {
        const XSQLVAR &var = m_output.var(i);
        QSqlField field(fieldName(names[i]),
                        IbType::fromSqlType(var.sqltype, var.sqlsubtype, var.sqlscale),
                        PlainName(names[i].relation));
        field.setRequiredStatus((var.sqltype & 1) ? QSqlField::Optional
                                                  : QSqlField::Required);
        field.setLength(var.sqllen);
        field.setPrecision(-var.sqlscale);
        m_record.append(field);
    }
}

void IbQuery::bind(const QVariantList &parameters)
{
    IbValueWriter writer(m_input, IbBlobStream(&m_database, transaction()));
    for (int i = 0; i < parameterCount(); ++i)
        writer.write(i, m_declared[i], i < parameters.size() ? parameters[i] : QVariant());
}

void IbQuery::execute(const QVariantList &parameters)
{
    closeCursor();
    m_singleRow.reset();
    m_rowsAffected = -1;
    m_times.executeNs = m_times.fetchNs = 0;
    QElapsedTimer timer;
    timer.start();
    const auto timed = qScopeGuard([&] { m_times.executeNs = timer.nsecsElapsed(); });
    startTransaction();
    try {
        bind(parameters);
        ISC_STATUS_ARRAY status;
        XSQLDA *input = parameterCount() > 0 ? m_input.get() : nullptr;
        if (isQuery()) {
            isc_dsql_execute(status, transaction(), m_statement.ref(), SQLDA_VERSION1,
                             input);
            check(status);
            m_cursorOpen = true;
            return;
        }
        XSQLDA *output = hasRows() ? m_output.get() : nullptr;
        isc_dsql_execute2(status, transaction(), m_statement.ref(), SQLDA_VERSION1,
                          input, output);
        check(status);
        if (output)
            m_singleRow = readRow();
        m_rowsAffected = IbStatementInfo::rowsAffected(m_statement.get(), m_type);
    } catch (const IbError &) {
        // The statement's own work is undone; nothing of it may linger.
        rollback();
        throw;
    }
    commit();
}

QVariantList IbQuery::readRow()
{
    const IbValueReader reader(IbBlobStream(&m_database, transaction()), m_exact);
    QVariantList row;
    row.reserve(m_output.count());
    for (int i = 0; i < m_output.count(); ++i)
        row.append(reader.read(m_output.var(i)));
    return row;
}

bool IbQuery::fetch(QVariantList &row)
{
    if (m_singleRow) {
        row = *std::exchange(m_singleRow, std::nullopt);
        return true;
    }
    if (!fetchNext())
        return false;
    row = readRow();
    return true;
}

int IbQuery::fetchBatch(IbRowBuffer &rows, int count)
{
    QElapsedTimer timer;
    timer.start();
    const auto timed = qScopeGuard([&] { m_times.fetchNs += timer.nsecsElapsed(); });
    const IbBlobStream blobs(&m_database, transaction());
    int fetched = 0;
    while (fetched < count && fetchNext()) {
        rows.append(m_output, blobs);
        ++fetched;
    }
    return fetched;
}

bool IbQuery::fetchNext()
{
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS result =
        isc_dsql_fetch(status, m_statement.ref(), SQLDA_VERSION1, m_output.get());
    if (result == 100) {
        finish();
        return false;
    }
    check(status);
    return true;
}

void IbQuery::finish()
{
    m_singleRow.reset();
    closeCursor();
    commit();
}

void IbQuery::release() noexcept
{
    m_cursorOpen = false;
    m_singleRow.reset();
    m_statement.reset();
    rollback();
}
