#pragma once

#include "BenchMeasure.h"

#include <QList>
#include <QString>

class IscSession;

// The million-row table out of a grid: its CSV export against a bare fetch
// of the same rows writing as many bytes, and the first screen of the data
// view sorted by a column without an index against the bare ordered query's
// first batch. Each side the best of the repeats.
class ExportBench
{
public:
    ExportBench(IscSession &raw, int repeats) : m_raw(raw), m_repeats(repeats) {}

    QList<BenchMeasure> measures() const;

private:
    BenchMeasure csv() const;
    BenchMeasure sortedFirstScreen() const;
    double rawCsvMs(const QString &written, int &rows) const;
    double rawFirstBatchMs(int rows) const;

    IscSession &m_raw;
    int m_repeats;
};
