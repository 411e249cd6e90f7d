#pragma once

#include "BenchMeasure.h"

#include <QList>

#include <functional>

class FirstScreenProbe;
class IscSession;
class TDatabaseExplorer;
class TMainForm;

// The database explorer: from the Connect command until its tree with the
// counts is drawn, against the same command with the explorer off; and each
// keystroke in its filter box until the filtered tree is drawn; and the first
// keystroke, which reads every name, against reading them on the bare client
// library.
class ExplorerBench
{
public:
    using Connect = std::function<void()>;

    ExplorerBench(TMainForm &frame, FirstScreenProbe &probe, IscSession &raw, Connect connect,
                  int repeats);

    BenchMeasure tree();
    BenchMeasure filter();
    BenchMeasure names();

private:
    double connectMs(bool withExplorer);
    TDatabaseExplorer *explorer() const;
    // The slowest keystroke of typing the text into the filter box.
    double slowestKeystroke(TDatabaseExplorer *explorer, const QString &text);

    TMainForm &m_frame;
    FirstScreenProbe &m_probe;
    IscSession &m_raw;
    Connect m_connect;
    int m_repeats;
};
