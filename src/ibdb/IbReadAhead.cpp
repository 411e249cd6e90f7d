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
    State(const IbRowBuffer &rows, Reader read, int batch, int most, Limit counted)
        : emptyRows(rows.emptyCopy()),
          reader(std::move(read)),
          batchRows(batch),
          limit(most),
          limitCounts(counted)
    {
    }

    // Called with the mutex held.
    bool belowLimit() const
    {
        return (limitCounts == Limit::InAll ? rowsRead : rowsRead - rowsTaken) < limit;
    }

    const IbRowBuffer emptyRows;
    const Reader reader;
    const int batchRows;
    const int limit;
    const Limit limitCounts;

    std::mutex mutex;
    std::condition_variable idle;
    std::vector<Batch> read;
    // The job reading the next batch, or the last one posted, and how many
    // were posted: not owned, for the job owns the state.
    std::weak_ptr<ServerCallWorker::Job> posted;
    int postings = 0;
    int rowsRead = 0;
    int rowsTaken = 0;
    bool stopped = false;
    bool reading = false;
    // Waiting for the taker, with the limit reached.
    bool paused = false;
};

IbReadAhead::IbReadAhead(isc_db_handle attachment, isc_stmt_handle statement,
                         const IbRowBuffer &emptyRows, Reader reader, int batchRows, int limit,
                         Limit counted)
    : m_attachment(attachment),
      m_statement(statement),
      m_state(std::make_shared<State>(emptyRows, std::move(reader), batchRows, limit, counted))
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

// Called with the state's mutex held.
void IbReadAhead::post(const std::shared_ptr<State> &state)
{
    ServerCall::countCall();
    const auto job = std::make_shared<ServerCallWorker::Job>([state] { readNext(state); }, true);
    state->posted = job;
    ++state->postings;
    ServerCallWorker::instance().post(job);
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
    more = !ended && state->belowLimit();
    state->paused = !ended && !more && state->limitCounts == Limit::AheadOfTaking;
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
    int rows = 0;
    {
        const std::lock_guard lock(m_state->mutex);
        taken = std::exchange(m_state->read, {});
        for (const Batch &batch : taken)
            rows += batch.rows.count();
        m_state->rowsTaken += rows;
        if (m_state->paused && !m_state->stopped && m_state->belowLimit()) {
            m_state->paused = false;
            post(m_state);
        }
    }
    if (takeWatch() && !taken.empty()) {
        const Batch &last = taken.back();
        takeWatch()(m_statement, rows, !last.failure && last.rows.count() < last.asked);
    }
    return taken;
}

// The job awaited may give way to a call of the window's and post another
// in its place: that one is awaited next.
bool IbReadAhead::awaitBatch()
{
    for (;;) {
        std::shared_ptr<ServerCallWorker::Job> job;
        int postings = 0;
        {
            const std::lock_guard lock(m_state->mutex);
            if (!m_state->read.empty())
                return true;
            if (m_state->stopped || m_state->paused)
                return false;
            job = m_state->posted.lock();
            postings = m_state->postings;
        }
        if (!job || job->done.load(std::memory_order_acquire)) {
            // Its batch is in, or it posted the next job before it ended.
            const std::lock_guard lock(m_state->mutex);
            if (!m_state->read.empty())
                return true;
            if (m_state->postings == postings)
                return false;
            continue;
        }
        ServerCall::await(m_attachment, *job);
    }
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
