#pragma once

#include "schema/ScriptRunObserver.h"
#include "schema/ScriptRunner.h"
#include "workbench/ScriptRunBox.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class ScriptLogModel;
class TIBDataBase;
class QTimer;
class QWidget;

// One run of a script from a window: the runner works on the GUI thread and
// hands every call to the server-call thread, while the run's box shows how
// far it got and offers Stop. Between two commands the event loop gets a
// turn now and then, so a script of short statements repaints too; during a
// long call the box takes input, as the wait box of any call does.
class ScriptRun : public ScriptRunObserver
{
public:
    ScriptRun(TIBDataBase &database, ScriptLogModel &log, QWidget *window,
              ScriptRunner::Options options);
    ~ScriptRun() override;
    ScriptRun(const ScriptRun &) = delete;
    ScriptRun &operator=(const ScriptRun &) = delete;

    ScriptRunner::Outcome runText(const QString &text, const QString &directory);
    ScriptRunner::Outcome runFile(const QString &path);
    // From the box's Stop: ends the run within the running command.
    void stop();
    bool stopAsked() const { return m_stopAsked; }

    // The progress line: "Statement 3 of 12, line 40, 1.5 s", or for a file
    // "1,024 of 4,096 bytes, statement 3, line 40 of a.sql, 1.5 s".
    static QString progressText(const Progress &progress, qint64 milliseconds);
    // What the user is told once a run ended, or empty when nothing failed:
    // the first failure's server text, with its line and file for a file run.
    static QString failureText(const ScriptRunner::Outcome &outcome);
    // Throws the failure text as the server's refusal, when there is one.
    static void throwFailure(const ScriptRunner::Outcome &outcome);
    // The line beside the tool buttons once the run has ended.
    static QString resultText(const ScriptRunner::Outcome &outcome);

    void commandStarting(const Progress &progress, const ScriptCommand &command) override;
    void commandDone(const ScriptLogRow &row) override;
    void queryFound(const ScriptCommand &query) override;

    ScriptRunBox *box() const { return m_box; }

private:
    ScriptRunner::Outcome run(const std::function<ScriptRunner::Outcome(ScriptRunner &)> &how);
    void pump();
    void flushLog();
    void showProgress();
    void clearPendingCancel();

    TIBDataBase &m_database;
    ScriptLogModel &m_log;
    QWidget *m_window;
    ScriptRunner::Options m_options;
    std::unique_ptr<ScriptRunner> m_runner;
    QPointer<ScriptRunBox> m_box;
    QTimer *m_ticker = nullptr;
    QList<ScriptLogRow> m_pending;
    Progress m_progress;
    QElapsedTimer m_elapsed;
    QElapsedTimer m_sincePump;
    bool m_running = false;
    bool m_stopAsked = false;
};
