#pragma once

#include "schema/ScriptLogRow.h"
#include "schema/ScriptRunObserver.h"

#include <QDir>

#include <atomic>
#include <deque>
#include <optional>

class IsqlScriptReader;
class TIBDataBase;

// Runs an isql script on the connected database as isql runs it, command by
// command, in the tool's own transaction: committed after each statement
// under auto-commit, else after each DDL statement while AUTODDL is on (as
// it starts), else by the script's COMMIT or the File menu. Stops at the
// first command that fails unless told to run on and count the failures.
class ScriptRunner
{
public:
    struct Options
    {
        bool autoCommit = true;
        bool continueAfterErrors = false;
        // Each statement's plans and reads kept in its log row, at the cost
        // of the plans and counters the server gives for each.
        bool profile = false;
    };
    struct Outcome
    {
        int commands = 0;
        int failures = 0;
        bool stopped = false;
        // The first failure: the command, where it was, what the server said.
        std::optional<ScriptLogRow> failure;
    };

    ScriptRunner(TIBDataBase &database, Options options, ScriptRunObserver *observer);

    // INPUT names its file relative to `directory`.
    Outcome runText(const QString &text, const QString &directory);
    // Throws GeneralError when the file cannot be opened.
    Outcome runFile(const QString &path);
    // From a timer or a button while a command runs: asks the server to stop
    // it and ends the run after it.
    void stop();

    static int maximumInputDepth() { return 16; }

private:
    // A command read and not yet run, with the terminator in force after it.
    struct Queued
    {
        ScriptCommand command;
        QString terminator;
    };

    bool runReader(IsqlScriptReader &reader, const QString &file, const QDir &directory);
    bool readInto(IsqlScriptReader &reader, std::deque<Queued> &queued) const;
    // Plain statements in a row go to the server in one call each batch.
    bool batchable(const ScriptCommand &command) const;
    qsizetype fillBatch(IsqlScriptReader &reader, std::deque<Queued> &queued) const;
    bool runBatch(std::deque<Queued> &queued, qsizetype count, const QString &file,
                  const QDir &directory);
    bool runCommand(const ScriptCommand &command, const QString &file, const QDir &directory);
    ScriptLogRow starting(const ScriptCommand &command, const QString &file);
    bool finished(ScriptLogRow &row, bool stoppable);
    void commitAfterDdl(int statementType);
    void execute(const ScriptCommand &command, const QDir &directory, ScriptLogRow &row);
    void executeStatement(const ScriptCommand &command, ScriptLogRow &row);
    void runInput(const ScriptCommand &command, const QDir &directory, ScriptLogRow &row);
    void setAutoDdl(const QString &argument, ScriptLogRow &row);
    void checkDialect(const ScriptCommand &command) const;
    void checkNames(const ScriptCommand &command) const;
    void endTransaction(bool commit);

    TIBDataBase &m_database;
    Options m_options;
    ScriptRunObserver *m_observer;
    ScriptRunObserver m_silent;
    ScriptRunObserver::Progress m_progress;
    const IsqlScriptReader *m_topReader = nullptr;
    Outcome m_outcome;
    bool m_autoDdl = true;
    bool m_ended = false;
    // A failure, a stop or an EXIT ends every file of the run.
    bool m_halted = false;
    QString m_terminator = QStringLiteral(";");
    int m_depth = 0;
    std::atomic_bool m_stop = false;
};
