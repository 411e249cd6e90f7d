#include "ExplorerBench.h"

#include "BenchClock.h"
#include "FirstScreenProbe.h"
#include "RawReplay.h"
#include "StatementRecorder.h"
#include "app/TMainForm.h"
#include "catalog/ObjectTreeModel.h"
#include "catalog/TDatabaseExplorer.h"
#include "core/ProgramSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kTimeoutMs = 600000;
// What a user waits for after connecting before the tree is there.
constexpr double kTreeSlackMs = 100;
// Part of a name, typed a key at a time: the first key matches most names.
const char kTyped[] = "0012";

using BenchClock::elapsedMs;

int namesIn(const ObjectTreeModel *model)
{
    int names = 0;
    for (const ObjectDirectory::Kind kind : ObjectDirectory::kinds())
        names += model->count(kind);
    return names;
}

} // namespace

ExplorerBench::ExplorerBench(TMainForm &frame, FirstScreenProbe &probe, IscSession &raw,
                             Connect connect, int repeats)
    : m_frame(frame), m_probe(probe), m_raw(raw), m_connect(std::move(connect)),
      m_repeats(repeats)
{
}

TDatabaseExplorer *ExplorerBench::explorer() const
{
    for (QMdiSubWindow *window : m_frame.mdiArea()->subWindowList()) {
        if (auto *found = qobject_cast<TDatabaseExplorer *>(window->widget()))
            return found;
    }
    return nullptr;
}

double ExplorerBench::connectMs(bool withExplorer)
{
    bool &atConnect = ProgramSettings::instance().ExplorerAtConnect;
    const bool before = atConnect;
    atConnect = withExplorer;
    QElapsedTimer timer;
    timer.start();
    // The tree may be drawn while connecting, as the last server calls run.
    m_probe.watch(&m_frame);
    m_connect();
    if (withExplorer) {
        if (!explorer())
            throw std::runtime_error("no explorer at connect");
        if (!m_probe.wait(kTimeoutMs))
            throw std::runtime_error("the explorer showed no tree");
    } else {
        QCoreApplication::processEvents();
    }
    const double ms = elapsedMs(timer);
    atConnect = before;
    return ms;
}

BenchMeasure ExplorerBench::tree()
{
    BenchMeasure m{QStringLiteral("explorer_tree"), 1e300, 1e300};
    connectMs(true); // warms the engine's cache
    for (int i = 0; i < m_repeats; ++i) {
        m.quorvelMs = std::min(m.quorvelMs, connectMs(true));
        m.rawMs = std::min(m.rawMs, connectMs(false));
    }
    // Against connecting alone: only what the slack allows counts.
    m.goal = 0.001;
    m.slackMs = kTreeSlackMs;
    connectMs(true);
    m.rows = explorer() ? namesIn(explorer()->Objects) : 0;
    m.rssMb = BenchClock::residentMb();
    return m;
}

double ExplorerBench::slowestKeystroke(TDatabaseExplorer *shown, const QString &text)
{
    shown->FilterEdit->clear();
    QCoreApplication::processEvents();
    double slowest = 0;
    for (const QChar key : text) {
        QElapsedTimer timer;
        timer.start();
        m_probe.watch(shown);
        shown->FilterEdit->insert(QString(key));
        if (!m_probe.wait(kTimeoutMs))
            throw std::runtime_error("the filtered tree was not drawn");
        slowest = std::max(slowest, elapsedMs(timer));
    }
    return slowest;
}

BenchMeasure ExplorerBench::filter()
{
    BenchMeasure m{QStringLiteral("explorer_filter"), 1e300, 0};
    connectMs(true);
    TDatabaseExplorer *shown = explorer();
    if (!shown)
        throw std::runtime_error("no explorer at connect");
    m.rows = namesIn(shown->Objects);
    const QString typed = QString::fromLatin1(kTyped);
    slowestKeystroke(shown, typed);
    for (int i = 0; i < m_repeats; ++i)
        m.quorvelMs = std::min(m.quorvelMs, slowestKeystroke(shown, typed));
    shown->FilterEdit->clear();
    // No engine work: the slowest key within one frame.
    m.goal = 0.001;
    m.rssMb = BenchClock::residentMb();
    return m;
}

BenchMeasure ExplorerBench::names()
{
    BenchMeasure m{QStringLiteral("explorer_names"), 1e300, 1e300};
    RawReplay raw(m_raw);
    for (int i = 0; i <= m_repeats; ++i) {
        // A new connection each time: its tree has read no name yet.
        connectMs(true);
        TDatabaseExplorer *shown = explorer();
        if (!shown)
            throw std::runtime_error("no explorer at connect");
        StatementRecorder::start();
        QElapsedTimer timer;
        timer.start();
        m_probe.watch(shown);
        shown->FilterEdit->insert(QString(QLatin1Char(kTyped[0])));
        if (!m_probe.wait(kTimeoutMs))
            throw std::runtime_error("the filtered tree was not drawn");
        const double ms = elapsedMs(timer);
        const std::vector<RecordedRun> runs = StatementRecorder::stop();
        shown->FilterEdit->clear();
        if (i == 0)
            continue; // warms the engine's cache for both sides
        m.quorvelMs = std::min(m.quorvelMs, ms);
        m.rawMs = std::min(m.rawMs, raw.run(runs));
        m.rows = namesIn(shown->Objects);
    }
    m.goal = 1.3;
    m.rssMb = BenchClock::residentMb();
    return m;
}
