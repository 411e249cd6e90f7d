#include "WindowBench.h"

#include "BenchClock.h"
#include "ExplorerBench.h"
#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TRelationPickerDlg.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "ibdb/StatementProfile.h"
#include "ibdb/TIBDataBase.h"
#include "ExportBench.h"
#include "RawReplay.h"
#include "StatementRecorder.h"
#include "support/ScopedFormRunner.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "workbench/TDataForm.h"
#include "workbench/StatementStatsPane.h"
#include "workbench/TOutputForm.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr int kTimeoutMs = 600000;
constexpr double kRatioGoal = 1.3;
constexpr double kExecuteGoal = 1.1;
constexpr double kGridMemoryMb = 50;
// Fetched rows may take half again the bytes of their values, no more.
constexpr double kGridMemoryPerData = 1.5;
constexpr int kStatements = 1000;
constexpr int kAttachments = 200;
const char kRowsTable[] = "BENCH_ROWS";
// One row, whose blob is 128 MB: a data view on it costs what it shows.
const char kBlobTable[] = "BENCH_BLOB";
const char kHubTable[] = "T_0001";

using BenchClock::elapsedMs;
using BenchClock::residentMb;

int shownRows(QWidget *window)
{
    int rows = 0;
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        // A combo box's list is a view too, shown only when it drops down.
        if (view->model() && view->isVisible())
            rows = std::max(rows, view->model()->rowCount());
    }
    return rows;
}

} // namespace

WindowBench::WindowBench(const QString &databasePath, int repeats, const QString &only)
    : m_raw(std::make_unique<IscSession>(databasePath.toStdString())),
      m_databasePath(databasePath),
      m_hubTable(QString::fromLatin1(kHubTable)),
      m_repeats(repeats),
      m_only(only.split(QLatin1Char(','), Qt::SkipEmptyParts))
{
    connectFrame();
}

WindowBench::~WindowBench()
{
    closeWindows();
}

// Through the frame's own Connect command, so the Database menu is live.
void WindowBench::connectFrame()
{
    const QString history = QDir(ProgramSettings::instance().RepositoryPath)
                                .filePath(QStringLiteral("connect.hst"));
    m_frame = std::make_unique<TMainForm>(*DMSys, QString(), history);
    m_frame->resize(1280, 900);
    m_frame->show();
    connect();
}

void WindowBench::connect()
{
    const ScopedFormRunner login([this](QDialog *dialog) {
        auto *entry = qobject_cast<TDBEntryDlg *>(dialog);
        if (!entry)
            return int(QDialog::Rejected);
        entry->dbPath->setEditText(m_databasePath);
        entry->UserN->setText(QStringLiteral("SYSDBA"));
        entry->Password->setText(QStringLiteral("masterkey"));
        return int(QDialog::Accepted);
    });
    m_frame->ConnectBtnClick();
    if (!DMSys->IBDataBase->Connected())
        throw std::runtime_error("the frame did not connect");
    QCoreApplication::processEvents();
}

QList<BenchMeasure> WindowBench::run()
{
    auto menu = [this](const char *text) {
        return [this, text] { return fromMenu(QString::fromLatin1(text)); };
    };
    const Goals catalogue{kRatioGoal};
    const Goals grid{kRatioGoal, kGridMemoryMb, kGridMemoryPerData};
    window(QStringLiteral("domains"), menu("&Domains"), true, catalogue, m_repeats);
    window(QStringLiteral("exceptions"), menu("&Exceptions"), true, catalogue, m_repeats);
    window(QStringLiteral("generators"), menu("&Generators"), false, catalogue, m_repeats);
    window(QStringLiteral("procedures"), menu("&Procedures"), true, catalogue, m_repeats);
    window(QStringLiteral("triggers"), menu("&Triggers"), false, catalogue, m_repeats);
    window(QStringLiteral("privileges"), menu("Privileges"), false, catalogue, m_repeats);
    attachments();
    window(QStringLiteral("structure"), [this] { return structure(); }, true, catalogue,
           m_repeats);
    // Every row of a million is read once per side: one repeat is plenty.
    window(QStringLiteral("dataview"), [this] { return dataView(); }, true, grid, 1);
    if (wanted(QStringLiteral("dataview_blob"))) {
        createBlobTable();
        window(QStringLiteral("dataview_blob"), [this] { return dataView(kBlobTable); }, false,
               Goals{0, 16}, 1);
    }
    window(QStringLiteral("queryresult"), [this] { return queryResult(); }, true, grid, 1);
    if (wanted(QStringLiteral("execute_statement")))
        executeStatements(false);
    if (wanted(QStringLiteral("execute_statement_pane")))
        executeStatements(true);
    explorer();
    exportRows();
    return m_measures;
}

// The export may hold no more than the data view's row cache held of the
// same rows.
void WindowBench::exportRows()
{
    if (!wanted(QStringLiteral("export_csv")) && !wanted(QStringLiteral("sort_first_screen")))
        return;
    std::printf("  export and sort\n");
    std::fflush(stdout);
    closeWindows();
    double cacheMb = 0;
    for (const BenchMeasure &measure : std::as_const(m_measures)) {
        if (measure.name.startsWith(QLatin1String("dataview")) && !measure.name.contains("blob"))
            cacheMb = std::max(cacheMb, measure.addedMb);
    }
    QList<BenchMeasure> measures = ExportBench(*m_raw, m_repeats).measures();
    measures.first().memoryGoalMb = cacheMb;
    m_measures << measures;
}

// Two hundred attachments in the monitoring tables: 199 raw ones beside
// the frame's. A refresh is held to one frame over the engine's time.
void WindowBench::attachments()
{
    if (!wanted(QStringLiteral("attachments")))
        return;
    std::vector<std::unique_ptr<IscSession>> others;
    for (int i = 1; i < kAttachments; ++i)
        others.push_back(std::make_unique<IscSession>(m_databasePath.toStdString()));
    window(QStringLiteral("attachments"), [this] { return fromMenu(QStringLiteral("&Attachments")); },
           false, Goals{1.0}, m_repeats);
    m_measures.last().goal = 1.0;
    closeWindows();
}

void WindowBench::explorer()
{
    const bool both = wanted(QStringLiteral("explorer"));
    const bool tree = both || wanted(QStringLiteral("explorer_tree"));
    const bool filter = both || wanted(QStringLiteral("explorer_filter"));
    const bool names = both || wanted(QStringLiteral("explorer_names"));
    if (!tree && !filter && !names)
        return;
    std::printf("  explorer\n");
    std::fflush(stdout);
    closeWindows();
    ExplorerBench bench(*m_frame, m_probe, *m_raw, [this] { connect(); }, m_repeats);
    if (tree)
        m_measures << bench.tree();
    if (filter)
        m_measures << bench.filter();
    if (names)
        m_measures << bench.names();
    closeWindows();
}

void WindowBench::window(const QString &name, const Opener &open, bool scrolls,
                         const Goals &goals, int repeats)
{
    if (!wanted(name))
        return;
    std::printf("  %s\n", qPrintable(name));
    std::fflush(stdout);
    RawReplay raw(*m_raw);
    // The first opening warms the engine's cache for both sides alike. A grid
    // that scrolls reads its rows to the end here, so that the engine's page
    // cache is as full before the measure as after it: its pages are the
    // engine's memory, not the rows'.
    std::vector<RecordedRun> warm = openOnce(open, false).firstRuns;
    for (RecordedRun &run : warm)
        run.reachedEnd = run.reachedEnd || (scrolls && run.cursor);
    raw.run(warm);
    BenchMeasure first{name + QStringLiteral("_first"), 1e300, 1e300};
    BenchMeasure all{name + QStringLiteral("_all"), 1e300, 1e300};
    for (int i = 0; i < repeats; ++i) {
        const Opening o = openOnce(open, scrolls);
        first.quorvelMs = std::min(first.quorvelMs, o.firstMs);
        first.rawMs = std::min(first.rawMs, raw.run(o.firstRuns));
        first.dataMb = raw.dataMb();
        first.rssMb = o.rssMb;
        first.addedMb = o.addedMb;
        first.rows = o.firstRows;
        if (!scrolls)
            continue;
        all.quorvelMs = std::min(all.quorvelMs, o.allMs);
        all.rawMs = std::min(all.rawMs, raw.run(o.allRuns));
        all.dataMb = raw.dataMb();
        all.rssMb = o.allRssMb;
        all.addedMb = o.allAddedMb;
        all.rows = o.allRows;
    }
    first.goal = kRatioGoal;
    first.memoryGoalMb = goals.firstMemoryMb;
    m_measures << first;
    if (scrolls) {
        all.goal = goals.all;
        all.memoryGoalMb = goals.allMemoryPerData * all.dataMb;
        m_measures << all;
    }
}

WindowBench::Opening WindowBench::openOnce(const Opener &open, bool fetchAll)
{
    closeWindows();
    Opening o;
    const double before = residentMb();
    QElapsedTimer timer;
    StatementRecorder::start();
    const auto stop = qScopeGuard([] { StatementRecorder::stop(); });
    timer.start();
    QWidget *window = open();
    m_probe.watch(window);
    if (!m_probe.wait(kTimeoutMs))
        throw std::runtime_error("no rows shown by " + window->windowTitle().toStdString());
    o.firstMs = elapsedMs(timer);
    o.firstRuns = StatementRecorder::snapshot();
    o.rssMb = residentMb();
    o.addedMb = o.rssMb - before;
    o.firstRows = shownRows(window);
    if (fetchAll) {
        fetchEveryRow(window);
        o.allMs = elapsedMs(timer);
        o.allRssMb = residentMb();
        o.allAddedMb = o.allRssMb - before;
        o.allRows = shownRows(window);
    }
    o.allRuns = StatementRecorder::stop();
    return o;
}

// What scrolling to the end does: the grid asks its model for the rest.
void WindowBench::fetchEveryRow(QWidget *window)
{
    m_probe.watch(window);
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        QAbstractItemModel *model = view->model();
        if (!model)
            continue;
        while (model->canFetchMore(QModelIndex()))
            model->fetchMore(QModelIndex());
        view->scrollToBottom();
    }
    m_probe.wait(kTimeoutMs);
}

QWidget *WindowBench::fromMenu(const QString &text)
{
    for (QAction *action : m_frame->DataMenu->actions()) {
        if (action->text() == text) {
            action->trigger();
            return newestWindow();
        }
    }
    throw std::runtime_error("no menu item " + text.toStdString());
}

// The menu opens an empty data view; the user then picks the table.
QWidget *WindowBench::dataView(const char *table)
{
    auto *form = qobject_cast<TDataForm *>(fromMenu(QStringLiteral("Data &View")));
    form->TblsCB->setCurrentIndex(form->TblsCB->findText(QString::fromLatin1(table)));
    Command::run([form] { form->TblsCBClick(); });
    return form;
}

// The menu opens an empty structure window; the user picks the table.
QWidget *WindowBench::structure()
{
    auto *form = qobject_cast<TFormTblStr *>(fromMenu(QStringLiteral("Table &Structures")));
    const ScopedFormRunner pick([this](QDialog *dialog) {
        auto *picker = qobject_cast<TRelationPickerDlg *>(dialog);
        const QList<QListWidgetItem *> found =
            picker ? picker->TablesList->findItems(m_hubTable, Qt::MatchExactly)
                   : QList<QListWidgetItem *>();
        if (found.isEmpty())
            return int(QDialog::Rejected);
        picker->TablesList->setCurrentItem(found.first());
        return int(QDialog::Accepted);
    });
    Command::run([form] { form->SelectTableBtnClick(); });
    return form;
}

// Once per benchmark database, through the program's own connection.
void WindowBench::createBlobTable()
{
    QSqlDatabase db = QSqlDatabase::database(TDMSys::ibName());
    if (db.tables().contains(QLatin1String(kBlobTable)))
        return;
    QSqlQuery query(db);
    const bool made = query.exec(QStringLiteral("CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY "
                                                "KEY, CONTENT BLOB SUB_TYPE TEXT)").arg(kBlobTable))
                      && query.prepare(QStringLiteral("INSERT INTO %1 VALUES (1, ?)").arg(kBlobTable));
    query.addBindValue(QByteArray(qsizetype(128) << 20, 'x'));
    if (!made || !query.exec())
        throw std::runtime_error(query.lastError().text().toStdString());
}

// What the DDL window's result-set command runs.
QWidget *WindowBench::queryResult()
{
    Command::run([] {
        OpenAsResultSet(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(kRowsTable)));
    });
    return newestWindow();
}

QWidget *WindowBench::newestWindow() const
{
    const QList<QMdiSubWindow *> windows = m_frame->mdiArea()->subWindowList();
    if (windows.isEmpty())
        throw std::runtime_error("the command opened no window");
    return windows.last()->widget();
}

void WindowBench::closeWindows()
{
    if (!m_frame)
        return;
    m_frame->mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The program's auto-commit path against immediate execution plus commit;
// with the pane, as F9 runs it: plans, counts and the pane shown anew each time.
void WindowBench::executeStatements(bool withPane)
{
    const QString name = withPane ? QStringLiteral("execute_statement_pane")
                                  : QStringLiteral("execute_statement");
    std::printf("  %s\n", qPrintable(name));
    std::fflush(stdout);
    StatementStatsPane pane;
    if (withPane)
        pane.show();
    QStringList texts;
    std::vector<std::string> raw;
    for (int i = 1; i <= kStatements; ++i) {
        texts << QStringLiteral("UPDATE BENCH_COUNTER SET N = %1 WHERE ID = 1").arg(i);
        raw.push_back(texts.last().toStdString());
    }
    RawReplay replay(*m_raw);
    BenchMeasure m{name, 1e300, 1e300};
    TIBDataBase *db = DMSys->IBDataBase;
    for (int i = 0; i <= m_repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        for (const QString &text : std::as_const(texts)) {
            if (!withPane) {
                db->ExecuteStatement(text, true);
                continue;
            }
            StatementProfile profile;
            db->ExecuteStatement(text, true, profile);
            profile.nameTables(db->connection());
            pane.showProfile(profile);
        }
        const double program = elapsedMs(timer);
        const double rawMs = replay.executeCommitted(raw);
        // The first round only warms up.
        if (i > 0) {
            m.quorvelMs = std::min(m.quorvelMs, program);
            m.rawMs = std::min(m.rawMs, rawMs);
        }
    }
    m.rssMb = residentMb();
    m.goal = kExecuteGoal;
    m.rows = kStatements;
    m_measures << m;
}
