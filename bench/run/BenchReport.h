#pragma once

#include "BenchMeasure.h"

#include <QList>

// Prints the measures as a table for people and as one line each for
// scripts: bench <name> ratio=<r> quorvel_ms=<t> raw_ms=<t> rss_mb=<m> added_mb=<m>
// data_mb=<m> bytes_per_row=<b>
namespace BenchReport {

QString table(const QList<BenchMeasure> &measures);
QString line(const BenchMeasure &measure);

} // namespace BenchReport
