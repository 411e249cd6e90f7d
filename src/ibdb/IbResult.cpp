#include "ibdb/IbResult.h"

#include "ibdb/IbDriver.h"
#include "ibdb/IbError.h"
#include "ibdb/IbParameterParser.h"
#include "ibdb/IbQuery.h"
#include "ibdb/ServerCall.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

// Rows a query reads past the one asked for, so a loop of next() is no call
// to the server per row. It grows with the rows read, so that
// fetching a million rows is a few hundred hand-offs to the server thread, yet
// one batch ends well within the server call's quiet wait.
constexpr int kAhead = 256;
// A forward-only query holds no more than one such batch at a time, or,
// read ahead, the rows read and not yet passed.
constexpr int kForwardAhead = 255;
constexpr int kForwardBatch = 512;
constexpr int kForwardLimit = 2048;
constexpr int kLargestAhead = 4096;
constexpr int kLastBatch = 4096;
// Reading in the background, a batch at a time; a catalogue query longer
// than the limit reads the rest on asking.
constexpr int kBackgroundBatch = 512;
constexpr int kBackgroundLimit = 32768;

} // namespace

IbResult::IbResult(const IbDriver *driver)
    : QSqlResult(driver)
{
    driver->attachResult(this);
}

IbResult::~IbResult()
{
    finishQuery();
    if (const IbDriver *driver = ibDriver())
        driver->detachResult(this);
}

const IbDriver *IbResult::ibDriver() const
{
    return static_cast<const IbDriver *>(driver());
}

QVariant IbResult::handle() const
{
    if (!m_query || !m_query->statementHandle())
        return QVariant();
    return QVariant::fromValue<isc_stmt_handle>(m_query->statementHandle());
}

// The grids of a lost connection keep showing what they showed, so that an
// edit in one can be posted after reconnecting.
void IbResult::releaseHandles(bool keepRows) noexcept
{
    dropReadAhead();
    m_blobReader.reset();
    if (m_query)
        m_query->release();
    m_query.reset();
    m_atEnd = true;
    if (keepRows)
        return;
    clearRows();
    setActive(false);
}

QSqlError IbResult::noticed(const IbError &error) const
{
    return ibDriver() ? ibDriver()->noticed(error) : error.toSqlError();
}

bool IbResult::fail(const IbError &error)
{
    const QSqlError reported = noticed(error);
    setLastError(reported);
    setActive(false);
    return false;
}

void IbResult::clearRows()
{
    dropReadAhead();
    m_blobReader.reset();
    m_rows.clear();
    m_singleRow.reset();
    m_firstRow = 0;
    m_atEnd = true;
}

void IbResult::finishQuery()
{
    clearRows();
    if (!m_query)
        return;
    try {
        m_query->finish();
    } catch (const IbError &error) {
        setLastError(error.toSqlError());
    }
}

bool IbResult::reset(const QString &query)
{
    // No values can be bound to a text run directly, so it goes to the
    // server untouched: `:var` inside EXECUTE BLOCK stays what it is.
    m_parameterNames.clear();
    return run(query, true, true);
}

bool IbResult::savePrepare(const QString &query)
{
    // Qt's own placeholder rewriting does not know `$` in names nor `:"NAME"`.
    setQuery(query);
    m_named.clear();
    m_positional.clear();
    return prepare(query);
}

bool IbResult::prepare(const QString &query)
{
    const IbParameterParser parser(query);
    m_parameterNames = parser.names();
    return run(parser.positionalText(), !m_parameterNames.isEmpty(), false);
}

bool IbResult::startStatement()
{
    finishQuery();
    setActive(false);
    setAt(QSql::BeforeFirstRow);
    m_query.reset();
    if (!ibDriver() || !ibDriver()->isOpen()) {
        const QString text = QCoreApplication::translate("IbResult", "The database is not open");
        return fail(IbError::refusal(text, QSqlError::ConnectionError));
    }
    m_query = std::make_unique<IbQuery>(ibDriver()->attachment(), ibDriver()->dialect());
    if (m_shared)
        m_query->shareTransaction(m_shared);
    // Qt's name for "give me the value exactly, as text where need be".
    m_exact = numericalPrecisionPolicy() == QSql::HighPrecision;
    m_query->setExact(m_exact);
    return true;
}

// Prepares the text and, for a text run, runs it and reads its first rows
// too: one hand-off to the server thread for the lot.
bool IbResult::run(const QString &serverText, bool withParameters, bool execute)
{
    if (!startStatement())
        return false;
    const QByteArray text = serverText.toUtf8();
    const int firstRows = firstBatch();
    const auto reader = blobReader();
    bool prepared = false;
    Run started;
    try {
        ServerCall::run(ibDriver()->attachment(), [&] {
            m_query->prepare(text, withParameters);
            prepared = true;
            if (execute)
                started = runOnServer({}, firstRows, reader);
        });
    } catch (const IbError &error) {
        if (prepared)
            setSelect(m_query->isQuery());
        else
            m_query.reset();
        return fail(error);
    }
    // Until it runs, whether the statement is a query at all; once it has
    // run, whether that run delivers rows.
    setSelect(m_query->isQuery());
    if (execute)
        ran(std::move(started));
    return true;
}

QVariantList IbResult::parameterValues() const
{
    QVariantList values;
    for (int i = 0; i < m_parameterNames.size(); ++i) {
        const QString &name = m_parameterNames.at(i);
        if (!name.isEmpty() && m_named.contains(name))
            values.append(m_named.value(name));
        else
            values.append(m_positional.value(i));
    }
    return values;
}

bool IbResult::exec()
{
    // The cursor of a previous run is closed by the next run itself.
    clearRows();
    setActive(false);
    setAt(QSql::BeforeFirstRow);
    if (!m_query) {
        const QString text = QCoreApplication::translate("IbResult", "No statement is prepared");
        return fail(IbError::refusal(text, QSqlError::StatementError));
    }
    Run started;
    try {
        const QVariantList values = parameterValues();
        const int firstRows = firstBatch();
        const auto reader = blobReader();
        ServerCall::run(ibDriver()->attachment(),
                        [&] { started = runOnServer(values, firstRows, reader); });
    } catch (const IbError &error) {
        return fail(error);
    }
    ran(std::move(started));
    return true;
}

// On the server thread: the run and, for a cursor, the rows its first fetch
// would read; a failure of that fetch is the fetch's, not the run's.
IbResult::Run IbResult::runOnServer(const QVariantList &values, int firstRows,
                                    std::shared_ptr<const IbBlobPreview::Reader> reader)
{
    m_query->execute(values);
    Run started;
    started.reader = std::move(reader);
    if (m_query->isQuery() && m_query->hasRows()) {
        started.batch.rows.setColumns(m_query->output());
        started.batch.rows.setBlobPreviews(started.reader ? kWholeBlob : 0, started.reader);
        started.batch.asked = firstRows;
        readBatch(*m_query, started.batch);
    }
    return started;
}

// What fetch(0) asks for once a run has dropped the rows before it.
int IbResult::firstBatch() const
{
    return 1 + readAhead();
}

void IbResult::ran(Run &&started)
{
    setSelect(m_query->hasRows());
    m_atEnd = !m_query->hasRows();
    m_rows.setColumns(m_query->output());
    m_blobReader = m_atEnd ? nullptr : started.reader;
    m_rows.setBlobPreviews(m_blobReader ? kWholeBlob : 0, m_blobReader);
    if (!m_atEnd && !m_query->isQuery())
        takeSingleRow();
    setActive(true);
    if (started.batch.asked > 0)
        keepBatch(started);
}

// Long blobs of an exact run are kept as previews, read whole on asking
// through the run's transaction for as long as it lives.
std::shared_ptr<const IbBlobPreview::Reader> IbResult::blobReader() const
{
    if (!m_exact)
        return nullptr;
    IbQuery *query = m_query.get();
    const isc_db_handle attachment = ibDriver()->attachment();
    return std::make_shared<const IbBlobPreview::Reader>([query, attachment](ISC_QUAD id) {
        QByteArray content;
        ServerCall::run(attachment, [&] { content = query->blobs().read(id); });
        return content;
    });
}

void IbResult::takeSingleRow()
{
    QVariantList row;
    if (m_query->fetch(row))
        m_singleRow = std::move(row);
    m_atEnd = true;
}

void IbResult::bindValue(int pos, const QVariant &value, QSql::ParamType type)
{
    if (pos < 0)
        return;
    while (m_positional.size() <= pos)
        m_positional.append(QVariant());
    m_positional[pos] = value;
    QSqlResult::bindValue(pos, value, type);
}

void IbResult::bindValue(const QString &placeholder, const QVariant &value, QSql::ParamType)
{
    m_named.insert(IbParameterParser::normalizedName(placeholder), value);
}

// One call on the server thread for the whole batch, never one per row. The
// grid may repaint meanwhile from the rows it has, so the new ones join them
// only once the batch is in.
bool IbResult::fetchMore(int count)
{
    if (m_inFlight)
        takeInFlight();
    const int readAhead = m_readAhead ? takeReadAhead(count) : 0;
    if (readAhead >= count)
        return true;
    if (m_atEnd || !m_query || !ibDriver())
        return readAhead > 0;
    Run more;
    more.batch.rows = m_rows.emptyCopy();
    more.batch.asked = count - readAhead;
    Run *const outer = std::exchange(m_inFlight, &more);
    const auto done = qScopeGuard([this, outer] { m_inFlight = outer; });
    ServerCall::run(ibDriver()->attachment(), [this, &more] {
        // Whatever ends the reading, a view waiting for this batch is woken.
        const auto read = qScopeGuard([flag = more.read] {
            flag->store(true, std::memory_order_release);
            flag->notify_all();
        });
        readBatch(*m_query, more.batch);
    });
    return keepBatch(more) + readAhead > 0;
}

// A long batch lets the event loop run, and a view may ask for rows then.
// Answering "no more" would make its model believe the rows have ended, so
// the batch is waited for (the server thread needs nothing of this one) and
// kept first: the rows stay in order and the asker's own batch follows.
void IbResult::takeInFlight()
{
    m_inFlight->read->wait(false, std::memory_order_acquire);
    keepBatch(*m_inFlight);
}

void IbResult::readBatch(IbQuery &query, IbReadAhead::Batch &batch)
{
    readRows(query, batch, batch.asked);
    batch.rows.shrinkToFit();
}

// A failed fetch ends the rows; those read before it stay.
void IbResult::readRows(IbQuery &query, IbReadAhead::Batch &batch, int rows)
{
    try {
        query.fetchBatch(batch.rows, rows);
    } catch (const IbError &error) {
        batch.failure = error;
    }
}

int IbResult::keepBatch(Run &run)
{
    if (run.kept)
        return run.keptRows;
    run.kept = true;
    run.keptRows = keepBatch(std::move(run.batch));
    return run.keptRows;
}

int IbResult::keepBatch(IbReadAhead::Batch &&batch)
{
    const int count = batch.rows.count();
    m_atEnd = count < batch.asked;
    // The transaction is over: blob ids of its rows are no longer to be read.
    // A shared one lives on with its owner, and so do its blobs.
    if (m_atEnd && !m_shared)
        m_blobReader.reset();
    if (batch.failure)
        setLastError(noticed(*batch.failure));
    keepRows(std::move(batch.rows));
    return count;
}

void IbResult::readAheadInBackground(const QSqlQuery &query)
{
    // Qt hands out its result read-only; reading ahead changes no row it has.
    if (auto *result = const_cast<IbResult *>(dynamic_cast<const IbResult *>(query.result())))
        result->startReadAhead();
}

StatementTimes IbResult::times(const QSqlQuery &query)
{
    const auto *result = dynamic_cast<const IbResult *>(query.result());
    return result && result->m_query ? result->m_query->times() : StatementTimes();
}

void IbResult::startReadAhead()
{
    if (m_readAhead || m_atEnd || !m_query || !ibDriver() || !isActive() || !isSelect())
        return;
    IbQuery *const query = m_query.get();
    const bool forwardOnly = isForwardOnly();
    m_readAhead = std::make_shared<IbReadAhead>(
        ibDriver()->attachment(), query->statementHandle(), m_rows,
        [query](IbReadAhead::Batch &batch) { readRows(*query, batch, 1); },
        forwardOnly ? kForwardBatch : kBackgroundBatch,
        forwardOnly ? kForwardLimit : kBackgroundLimit,
        forwardOnly ? IbReadAhead::Limit::AheadOfTaking : IbReadAhead::Limit::InAll);
}

// A fetch waiting for the last batch may let the event loop run, and a view
// may ask for rows meanwhile: that nested fetch then keeps every batch and
// ends the reading itself. A forward-only query's reading goes on as its
// rows are passed, so its fetch waits for the next batch instead.
int IbResult::takeReadAhead(int count)
{
    const std::shared_ptr<IbReadAhead> ahead = m_readAhead;
    int kept = keepTaken(*ahead);
    if (isForwardOnly()) {
        while (kept < count && !m_atEnd && m_readAhead == ahead && ahead->awaitBatch())
            kept += keepTaken(*ahead);
    }
    if (kept >= count || m_atEnd)
        return kept;
    ahead->stop();
    if (m_readAhead != ahead)
        return kept;
    kept += keepTaken(*ahead);
    m_readAhead.reset();
    return kept;
}

// The batches as one, so that a forward-only query passes only the rows
// before them.
int IbResult::keepTaken(IbReadAhead &ahead)
{
    std::vector<IbReadAhead::Batch> taken = ahead.take();
    if (taken.empty())
        return 0;
    IbReadAhead::Batch all = std::move(taken.front());
    for (std::size_t i = 1; i < taken.size(); ++i) {
        all.rows.join(std::move(taken[i].rows));
        all.asked += taken[i].asked;
        all.failure = std::move(taken[i].failure);
    }
    return keepBatch(std::move(all));
}

void IbResult::dropReadAhead() noexcept
{
    if (!m_readAhead)
        return;
    m_readAhead->abandon();
    m_readAhead.reset();
}

// A forward-only query keeps one batch: the rows before it are passed.
void IbResult::keepRows(IbRowBuffer &&batch)
{
    if (batch.count() == 0)
        return;
    if (isForwardOnly()) {
        m_firstRow = rowsKnown();
        m_rows = std::move(batch);
        return;
    }
    m_rows.join(std::move(batch));
}

bool IbResult::fetch(int i)
{
    if (!isActive() || !isSelect() || i < m_firstRow)
        return false;
    if (rowsKnown() <= i)
        fetchMore(i - rowsKnown() + 1 + readAhead());
    if (rowsKnown() <= i)
        return false;
    setAt(i);
    return true;
}

int IbResult::readAhead() const
{
    if (isForwardOnly())
        return m_readAhead ? 0 : kForwardAhead;
    return std::clamp(rowsKnown(), kAhead, kLargestAhead);
}

bool IbResult::fetchFirst()
{
    return fetch(0);
}

bool IbResult::fetchLast()
{
    if (!isActive() || !isSelect())
        return false;
    // In batches, so a forward-only query never holds all its rows at once.
    while (fetchMore(kLastBatch)) {
    }
    if (rowsKnown() == 0)
        return false;
    setAt(rowsKnown() - 1);
    return true;
}

bool IbResult::holds(int row, int column) const
{
    return row >= 0 && row < m_rows.count() && column >= 0 && column < m_rows.columnCount();
}

QVariant IbResult::data(int i)
{
    if (m_singleRow)
        return at() == 0 ? m_singleRow->value(i) : QVariant();
    const int row = at() - m_firstRow;
    return holds(row, i) ? m_rows.value(row, i, m_exact) : QVariant();
}

bool IbResult::isNull(int i)
{
    if (m_singleRow)
        return data(i).isNull();
    const int row = at() - m_firstRow;
    return !holds(row, i) || m_rows.isNull(row, i);
}

int IbResult::size()
{
    return -1;
}

int IbResult::numRowsAffected()
{
    return m_query ? m_query->rowsAffected() : -1;
}

QSqlRecord IbResult::record() const
{
    return m_query ? m_query->record() : QSqlRecord();
}

void IbResult::detachFromResultSet()
{
    finishQuery();
}
