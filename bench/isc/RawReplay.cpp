#include "RawReplay.h"

#include "IscError.h"
#include "IscSession.h"
#include "IscStatement.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

double RawReplay::run(const std::vector<RecordedRun> &runs)
{
    m_bytes = 0;
    const auto start = Clock::now();
    for (const RecordedRun &recorded : runs)
        runOne(recorded);
    return since(start);
}

void RawReplay::runOne(const RecordedRun &recorded)
{
    IbTransaction transaction = m_session.readCommitted();
    try {
        IscStatement statement(m_session, transaction, recorded.text, recorded.dialect);
        statement.bind(recorded.parameters);
        statement.execute(recorded.cursor);
        for (long row = 0; recorded.cursor && (recorded.reachedEnd || row < recorded.rows);
             ++row) {
            if (!statement.fetch())
                break;
            m_bytes += statement.readBlobs();
        }
    } catch (const IscError &error) {
        throw IscError(std::string(error.what()) + " in: " + recorded.text.substr(0, 300));
    }
    m_session.commit(transaction);
}

double RawReplay::executeCommitted(const std::vector<std::string> &statements)
{
    const auto start = Clock::now();
    for (const std::string &statement : statements)
        m_session.executeCommitted(statement);
    return since(start);
}
