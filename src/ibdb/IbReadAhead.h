#pragma once

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbRowBuffer.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Reads a query's further rows on the server thread while the window that
// opened it goes on laying out and painting, so that scrolling to the end
// later finds them in. Each batch is a job of its own, so a call the window
// makes meanwhile waits for one batch at most; the batches are handed over
// only when asked for, in the order they were read.
class IbReadAhead
{
public:
    struct Batch
    {
        IbRowBuffer rows;
        int asked = 0;
        // Why the batch ended early, when it did not end with the rows.
        std::optional<IbError> failure;
    };
    // Reads one more row into the batch, on the server thread, unless the
    // rows have ended or fail (then it sets the failure).
    using Reader = std::function<void(Batch &batch)>;

    // What `limit` counts: every row read, or the rows read and not yet
    // taken (the reading then waits for the taker and goes on after it).
    enum class Limit { InAll, AheadOfTaking };

    // Starts reading the statement's rows at once, `batchRows` at a time,
    // `limit` rows at most, into copies of `emptyRows`. Nothing is read
    // where server calls run in place (no application, or off its thread).
    IbReadAhead(isc_db_handle attachment, isc_stmt_handle statement,
                const IbRowBuffer &emptyRows, Reader reader, int batchRows, int limit,
                Limit counted = Limit::InAll);
    // Abandons the reading.
    ~IbReadAhead();
    IbReadAhead(const IbReadAhead &) = delete;
    IbReadAhead &operator=(const IbReadAhead &) = delete;

    // The batches read since the last taking; the reading goes on.
    std::vector<Batch> take();
    // Waits, as for a server call, until a batch is there to be taken;
    // false when none will come because the reading is over.
    bool awaitBatch();
    // Once this returns, no further batch is read. The batch being read is
    // waited for as any server call is (the event loop runs, the wait box
    // may show); take() then gives the last batches.
    void stop();
    // As stop(), but waits for the batch being read without the event
    // loop, for a query that is closing: the reader is never called again.
    void abandon() noexcept;

    // True on the server thread while a batch is read ahead of asking.
    static bool readingOnThisThread();
    // Told on the taker's thread of the rows taken from a reading, and
    // whether they reached the end: a benchmark counts them as rows asked
    // for from then on.
    using TakeWatch = std::function<void(isc_stmt_handle statement, int rows, bool end)>;
    static void watchTaking(TakeWatch watch);

private:
    struct State;
    static void post(const std::shared_ptr<State> &state);
    static void readNext(const std::shared_ptr<State> &state);
    static bool fill(const State &state, Batch &batch);

    isc_db_handle m_attachment;
    isc_stmt_handle m_statement;
    std::shared_ptr<State> m_state;
};
