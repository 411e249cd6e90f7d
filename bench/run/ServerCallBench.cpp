#include "ServerCallBench.h"

#include "BenchClock.h"
#include "ibdb/ServerCall.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

constexpr int kCalls = 10000;

std::atomic<long> g_sink = 0;

void call()
{
    g_sink.fetch_add(1, std::memory_order_relaxed);
}

// Busy for about the given time: the caller's own work between two calls.
void work(int microseconds)
{
    if (microseconds <= 0)
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
    while (std::chrono::steady_clock::now() < until)
        g_sink.fetch_add(1, std::memory_order_relaxed);
}

double timed(bool handedOver, int gapMicroseconds)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCalls; ++i) {
        if (handedOver)
            ServerCall::run(0, call);
        else
            call();
        work(gapMicroseconds);
    }
    return BenchClock::elapsedMs(timer);
}

} // namespace

ServerCallBench::ServerCallBench(int repeats) : m_repeats(repeats) {}

QList<BenchMeasure> ServerCallBench::measures() const
{
    return {burst(QStringLiteral("server_call"), 0),
            burst(QStringLiteral("server_call_gap50us"), 50)};
}

BenchMeasure ServerCallBench::burst(const QString &name, int gapMicroseconds) const
{
    BenchMeasure m{name, 1e300, 1e300};
    for (int i = 0; i <= m_repeats; ++i) {
        const double handedOver = timed(true, gapMicroseconds);
        const double inPlace = timed(false, gapMicroseconds);
        // The first round only warms up.
        if (i == 0)
            continue;
        m.quorvelMs = std::min(m.quorvelMs, handedOver);
        m.rawMs = std::min(m.rawMs, inPlace);
    }
    // No ratio against an empty call: the whole burst within one frame.
    m.goal = 0.001;
    m.rows = kCalls;
    m.rssMb = BenchClock::residentMb();
    return m;
}
