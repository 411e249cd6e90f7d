#pragma once

#include "BenchMeasure.h"

#include <QString>

// The whole metadata script of the database against the script the
// server's own client writes of it (isql-fb -x), each side the best of the
// repeats. Each side has the file to itself: the embedded engine of one
// process locks out the other's.
class ExtractBench
{
public:
    ExtractBench(QString databasePath, int repeats);

    BenchMeasure measure() const;

private:
    double ourScriptMs(qsizetype &scriptLines) const;
    double isqlScriptMs() const;

    QString m_path;
    int m_repeats;
};
