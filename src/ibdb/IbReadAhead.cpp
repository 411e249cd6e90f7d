#include "ibdb/IbReadAhead.h"

#include "ibdb/ServerCall.h"
#include "ibdb/ServerCallWorker.h"

#include <QScopeGuard>

#include <condition_variable>
#include <mutex>

namespace {

thread_local bool t_readingAhead = false;

IbReadAhead::TakeWatch &takeWatch()
{
    static IbReadAhead::TakeWatch watch;
    return watch;
}

} // namespace

// Shared with the jobs: a job still queued when its query closes finds the
// reading stopped and ends without touching the query.
struct IbReadAhead::State
{
    State(const IbRowBuffer &rows, Reader read, int batch, int most)
        : emptyRows(rows.emptyCopy()), reader(std::move(read)), batchRows(batch), limit(most)
    {
    }

    const IbRowBuffer emptyRows;
    const Reader reader;
    const int batchRows;
    const int limit;

    std::mutex mutex;
    std::condition_variable idle;
    std::vector<Batch> read;
    int rowsRead = 0;
    bool stopped = false;
    bool reading = false;
};

IbReadAhead::IbReadAhead(isc_db_handle attachment, isc_stmt_handle statement,
                         const IbRowBuffer &emptyRows, Reader reader, int batchRows, int limit)
    : m_attachment(attachment),
      m_statement(statement),
      m_state(std::make_shared<State>(emptyRows, std::move(reader), batchRows, limit))
{
    const std::lock_guard lock(m_state->mutex);
    if (ServerCall::handsOver())
        post(m_state);
    else
        m_state->stopped = true;
}

IbReadAhead::~IbReadAhead()
{
    abandon();
}

void IbReadAhead::post(const std::shared_ptr<State> &state)
{
    ServerCall::countCall();
    ServerCallWorker::instance().post(
        std::make_shared<ServerCallWorker::Job>([state] { readNext(state); }, true));
}

void IbReadAhead::readNext(const std::shared_ptr<State> &state)
{
    {
        const std::lock_guard lock(state->mutex);
        if (state->stopped)
            return;
        // The window's calls go first; the reading goes on after them.
        if (ServerCallWorker::instance().foregroundWaiting()) {
            post(state);
            return;
        }
        state->reading = true;
    }
    Batch batch{state->emptyRows.emptyCopy(), 0, std::nullopt};
    bool more = false;
    // Whatever the reader throws, the reading ends and no one waits for it.
    const auto done = qScopeGuard([&] {
        const std::lock_guard lock(state->mutex);
        state->reading = false;
        if (more && !state->stopped)
            post(state);
        state->idle.notify_all();
    });
    t_readingAhead = true;
    const auto marked = qScopeGuard([] { t_readingAhead = false; });
    const bool ended = fill(*state, batch);
    const std::lock_guard lock(state->mutex);
    state->rowsRead += batch.rows.count();
    more = !ended && state->rowsRead < state->limit;
    state->read.push_back(std::move(batch));
}

// Reads until the batch is full, the rows end or fail, or a call of the
// window's waits: then the batch asks for no more than it read, so that
// only a batch short of what it asked for ends the rows. True once they end.
bool IbReadAhead::fill(const State &state, Batch &batch)
{
    bool ended = false;
    while (!ended && batch.rows.count() < state.batchRows) {
        ++batch.asked;
        state.reader(batch);
        ended = batch.failure || batch.rows.count() < batch.asked;
        if (ServerCallWorker::instance().foregroundWaiting())
            break;
    }
    batch.rows.shrinkToFit();
    return ended;
}

std::vector<IbReadAhead::Batch> IbReadAhead::take()
{
    std::vector<Batch> taken;
    {
        const std::lock_guard lock(m_state->mutex);
        taken = std::exchange(m_state->read, {});
    }
    if (takeWatch() && !taken.empty()) {
        int rows = 0;
        for (const Batch &batch : taken)
            rows += batch.rows.count();
        const Batch &last = taken.back();
        takeWatch()(m_statement, rows, !last.failure && last.rows.count() < last.asked);
    }
    return taken;
}

void IbReadAhead::stop()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopped = true;
        // A job still queued finds the reading stopped.
        if (!m_state->reading)
            return;
    }
    // Queued behind the batch being read, so it returns once that is in.
    ServerCall::run(m_attachment, [] {});
}

void IbReadAhead::abandon() noexcept
{
    std::unique_lock lock(m_state->mutex);
    m_state->stopped = true;
    m_state->idle.wait(lock, [this] { return !m_state->reading; });
}

bool IbReadAhead::readingOnThisThread()
{
    return t_readingAhead;
}

void IbReadAhead::watchTaking(TakeWatch watch)
{
    takeWatch() = std::move(watch);
}
