#include "workbench/ScriptRun.h"

#include "core/AppError.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TIBDataBase.h"
#include "workbench/ScriptLogModel.h"
#include "workbench/ScriptRunBox.h"
#include "workbench/TOutputForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QTimer>

#include <ibase.h>

namespace {

// Often enough for a progress line that moves and a Stop that answers at
// once; rare enough that a script of short statements loses nothing to it.
constexpr qint64 kPumpMs = 50;
constexpr int kTickMs = 200;

// The run's own box is on screen already: a call that takes long shows no
// second one, and the event loop lets input reach the run's box meanwhile.
class BoxShownAlready : public ServerCall::WaitBox
{
};

// Puts the wait box of slow calls back when the run ends, however it ends.
class RunBoxInstalled
{
public:
    RunBoxInstalled() : m_previous(ServerCall::installed())
    {
        ServerCall::install([](const QString &, std::function<void()>) {
            return std::make_unique<BoxShownAlready>();
        });
    }
    ~RunBoxInstalled() { ServerCall::install(m_previous); }
    RunBoxInstalled(const RunBoxInstalled &) = delete;
    RunBoxInstalled &operator=(const RunBoxInstalled &) = delete;

private:
    ServerCall::WaitBoxFactory m_previous;
};

QString seconds(qint64 milliseconds)
{
    return QStringLiteral("%1 s").arg(QString::number(double(milliseconds) / 1000.0, 'f', 1));
}

} // namespace

ScriptRun::ScriptRun(TIBDataBase &database, ScriptLogModel &log, QWidget *window,
                     ScriptRunner::Options options)
    : m_database(database), m_log(log), m_window(window), m_options(options)
{
}

ScriptRun::~ScriptRun()
{
    delete m_box;
}

ScriptRunner::Outcome ScriptRun::runText(const QString &text, const QString &directory)
{
    return run([&](ScriptRunner &runner) { return runner.runText(text, directory); });
}

ScriptRunner::Outcome ScriptRun::runFile(const QString &path)
{
    m_progress.file = path;
    return run([&](ScriptRunner &runner) { return runner.runFile(path); });
}

ScriptRunner::Outcome ScriptRun::run(
    const std::function<ScriptRunner::Outcome(ScriptRunner &)> &how)
{
    m_log.clear();
    m_runner = std::make_unique<ScriptRunner>(m_database, m_options, this);
    m_box = new ScriptRunBox(m_window, [this] { stop(); });
    m_ticker = new QTimer(m_box);
    QObject::connect(m_ticker, &QTimer::timeout, m_box, [this] { showProgress(); });
    m_ticker->start(kTickMs);
    m_elapsed.start();
    m_sincePump.start();
    showProgress();
    m_box->show();
    const RunBoxInstalled installed;
    m_running = true;
    const auto ended = qScopeGuard([this] {
        m_running = false;
        flushLog();
        clearPendingCancel();
        delete m_box;
    });
    return how(*m_runner);
}

void ScriptRun::stop()
{
    m_stopAsked = true;
    if (m_running && m_runner)
        m_runner->stop();
}

// A cancel that reached the attachment just after its call ended would fail
// the next call; letting the attachment refuse cancels for a moment drops it.
void ScriptRun::clearPendingCancel()
{
    if (!m_stopAsked || !m_database.Connected())
        return;
    const QVariant handle = m_database.connection().driver()->handle();
    if (!handle.isValid())
        return;
    isc_db_handle database = handle.value<isc_db_handle>();
    ServerCall::run(database, [&database] {
        ISC_STATUS_ARRAY status;
        fb_cancel_operation(status, &database, fb_cancel_disable);
        fb_cancel_operation(status, &database, fb_cancel_enable);
    });
}

void ScriptRun::commandStarting(const Progress &progress, const ScriptCommand &command)
{
    Q_UNUSED(command);
    m_progress = progress;
    if (m_sincePump.elapsed() >= kPumpMs)
        pump();
}

void ScriptRun::commandDone(const ScriptLogRow &row)
{
    m_pending.append(ScriptLogModel::compact(row));
}

// The rows are the results' own window's to show, read as it scrolls.
void ScriptRun::queryFound(const ScriptCommand &query)
{
    flushLog();
    OpenAsResultSet(query.text);
}

void ScriptRun::pump()
{
    flushLog();
    showProgress();
    QCoreApplication::processEvents();
    m_sincePump.restart();
}

void ScriptRun::flushLog()
{
    m_log.append(m_pending);
    m_pending.clear();
}

void ScriptRun::showProgress()
{
    if (!m_box)
        return;
    m_box->setProgress(m_progress.command == 0 ? QStringLiteral("Reading the script...")
                                               : progressText(m_progress, m_elapsed.elapsed()));
}

QString ScriptRun::progressText(const Progress &progress, qint64 milliseconds)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    QString where = QStringLiteral("line %1").arg(progress.line);
    if (progress.commands == 0 && !progress.file.isEmpty())
        where += QStringLiteral(" of %1").arg(QFileInfo(progress.file).fileName());
    if (progress.commands > 0)
        return QStringLiteral("Statement %1 of %2, %3, %4")
            .arg(progress.command)
            .arg(progress.commands)
            .arg(where, seconds(milliseconds));
    return QStringLiteral("%1 of %2 bytes, statement %3, %4, %5")
        .arg(c.toString(progress.bytesRead), c.toString(progress.bytes))
        .arg(progress.command)
        .arg(where, seconds(milliseconds));
}

QString ScriptRun::failureText(const ScriptRunner::Outcome &outcome)
{
    if (!outcome.failure)
        return {};
    const ScriptLogRow &row = *outcome.failure;
    QString text = row.error;
    if (!row.file.isEmpty())
        text += QStringLiteral("\nAt line %1 of %2")
                    .arg(row.command.line)
                    .arg(QDir::toNativeSeparators(row.file));
    if (outcome.failures > 1)
        text = QStringLiteral("%1 of %2 commands failed; the first:\n")
                   .arg(outcome.failures)
                   .arg(outcome.commands)
               + text;
    return text;
}

void ScriptRun::throwFailure(const ScriptRunner::Outcome &outcome)
{
    const QString text = failureText(outcome);
    if (!text.isEmpty())
        throw DatabaseError(text);
}

QString ScriptRun::resultText(const ScriptRunner::Outcome &outcome)
{
    QString text = outcome.commands == 1 ? QStringLiteral("Script: 1 command")
                                         : QStringLiteral("Script: %1 commands").arg(outcome.commands);
    if (outcome.failures > 0)
        text += outcome.failures == 1 ? QStringLiteral(", 1 failed")
                                      : QStringLiteral(", %1 failed").arg(outcome.failures);
    if (outcome.stopped)
        text += QStringLiteral(", stopped");
    return text;
}
