#pragma once

#include "RecordedRun.h"

#include <string>
#include <vector>

class IscSession;

// Runs what a window ran, on the bare client library: each statement
// prepared in a read-committed transaction of its own, executed with the
// same values and fetched as far as the window fetched it, blobs read.
// Times are wall-clock milliseconds.
class RawReplay
{
public:
    explicit RawReplay(IscSession &session) : m_session(session) {}

    double run(const std::vector<RecordedRun> &runs);
    // The bytes of the values the last run fetched, in MB.
    double dataMb() const { return double(m_bytes) / (1024.0 * 1024.0); }
    // Each statement executed immediately in a transaction of its own, then
    // committed: what the program's auto-commit does at the least.
    double executeCommitted(const std::vector<std::string> &statements);

private:
    void runOne(const RecordedRun &recorded);

    IscSession &m_session;
    long long m_bytes = 0;
};
