#pragma once

#include "BenchMeasure.h"

#include <QList>

// What one hand-off to the server-call thread costs: a burst of empty calls
// through ServerCall::run against the same calls made in place, and the same
// with a little of the caller's own work between calls (as a window does
// between the statements it runs).
class ServerCallBench
{
public:
    explicit ServerCallBench(int repeats);

    QList<BenchMeasure> measures() const;

private:
    BenchMeasure burst(const QString &name, int gapMicroseconds) const;

    int m_repeats;
};
