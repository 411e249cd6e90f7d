#pragma once

#include "BenchMeasure.h"
#include "FirstScreenProbe.h"
#include "IscSession.h"
#include "RecordedRun.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TMainForm;

// Opens each window the way a user does, inside a real frame, and times it
// against the raw replay of exactly the statements it ran.
class WindowBench
{
public:
    // only: the measures to run, separated by commas (window names,
    // execute_statement, execute_statement_pane, explorer...); empty for all.
    WindowBench(const QString &databasePath, int repeats, const QString &only = QString());
    ~WindowBench();

    QList<BenchMeasure> run();

private:
    // Opens a window and returns it once its command has run.
    using Opener = std::function<QWidget *()>;

    // What a window is held to: its time against the engine's with every row
    // fetched (0: none), and the memory its first screen may add and every
    // row may add against the bytes the rows hold.
    struct Goals
    {
        double all = 0;
        double firstMemoryMb = 0;
        double allMemoryPerData = 0;
    };

    struct Opening
    {
        double firstMs = 0;
        double allMs = 0;
        double rssMb = 0;
        double addedMb = 0;
        double allRssMb = 0;
        double allAddedMb = 0;
        int firstRows = 0;
        int allRows = 0;
        std::vector<RecordedRun> firstRuns;
        std::vector<RecordedRun> allRuns;
    };

    void connectFrame();
    // The frame's Connect command, answering its login dialog.
    void connect();
    void explorer();
    void exportRows();
    void attachments();
    // Times one window: its first screen and, for grids that fetch as the
    // user scrolls, every row; the best of the repeats counts on each side.
    void window(const QString &name, const Opener &open, bool scrolls, const Goals &goals,
                int repeats);
    Opening openOnce(const Opener &open, bool fetchAll);
    void fetchEveryRow(QWidget *window);
    void executeStatements(bool withPane);

    QWidget *fromMenu(const QString &text);
    QWidget *dataView(const char *table = "BENCH_ROWS");
    void createBlobTable();
    QWidget *structure();
    QWidget *queryResult();
    QWidget *newestWindow() const;
    void closeWindows();

    std::unique_ptr<TMainForm> m_frame;
    std::unique_ptr<IscSession> m_raw;
    FirstScreenProbe m_probe;
    QList<BenchMeasure> m_measures;
    QString m_databasePath;
    QString m_hubTable;
    int m_repeats;
    bool wanted(const QString &measure) const
    {
        return m_only.isEmpty() || m_only.contains(measure);
    }

    QStringList m_only; // the measures asked for; empty: all
};
