#include "schema/ScriptRunner.h"

#include "core/AppError.h"
#include "ibdb/ServerCall.h"
#include "ibdb/StatementBatch.h"
#include "ibdb/StatementProfile.h"
#include "ibdb/TIBDataBase.h"
#include "schema/IsqlScriptReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <ibase.h>

namespace {

// The character set of the tool's attachment, in which it sends every text.
const QString kConnectionCharacterSet = QStringLiteral("UTF8");

// A few words at the start of a statement that may be 10 KB long: only its
// head is looked at.
QString leadingWords(const QString &text, int count)
{
    constexpr qsizetype kHead = 64;
    return text.left(kHead).simplified().section(u' ', 0, count - 1).toUpper();
}

bool isQuery(const ScriptCommand &command)
{
    const QString first = leadingWords(command.text, 1);
    return first == u"SELECT" || first == u"WITH";
}

QFile *openScript(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("Cannot open the script %1: %2")
                               .arg(QDir::toNativeSeparators(file.fileName()),
                                    file.errorString()));
    return &file;
}

} // namespace

ScriptRunner::ScriptRunner(TIBDataBase &database, Options options, ScriptRunObserver *observer)
    : m_database(database), m_options(options), m_observer(observer ? observer : &m_silent)
{
}

ScriptRunner::Outcome ScriptRunner::runText(const QString &text, const QString &directory)
{
    IsqlScriptReader counter(text);
    while (counter.next())
        ++m_progress.commands;
    IsqlScriptReader reader(text);
    runReader(reader, QString(), QDir(directory));
    return m_outcome;
}

ScriptRunner::Outcome ScriptRunner::runFile(const QString &path)
{
    QFile file(path);
    IsqlScriptReader reader(openScript(file));
    m_progress.bytes = file.size();
    m_topReader = &reader;
    runReader(reader, path, QFileInfo(path).absoluteDir());
    m_topReader = nullptr;
    return m_outcome;
}

// Between commands nothing runs on the server, and a cancel would stay
// pending there for the next call: the flag alone stops the run then.
void ScriptRunner::stop()
{
    m_stop = true;
    if (ServerCall::waiting())
        m_database.CancelRunningCall();
}

bool ScriptRunner::runReader(IsqlScriptReader &reader, const QString &file, const QDir &directory)
{
    std::deque<Queued> queued;
    while (!m_halted) {
        if (queued.empty() && !readInto(reader, queued))
            return true;
        const qsizetype batch = batchable(queued.front().command) ? fillBatch(reader, queued) : 0;
        if (batch > 1) {
            if (!runBatch(queued, batch, file, directory))
                m_halted = true;
            continue;
        }
        const Queued next = std::move(queued.front());
        queued.pop_front();
        m_terminator = next.terminator;
        if (!runCommand(next.command, file, directory))
            m_halted = true;
    }
    return false;
}

bool ScriptRunner::readInto(IsqlScriptReader &reader, std::deque<Queued> &queued) const
{
    std::optional<ScriptCommand> command = reader.next();
    if (!command)
        return false;
    queued.push_back({std::move(*command), reader.terminator()});
    return true;
}

// Each statement of a batch needs the open transaction it runs in, and no
// commit of its own nor figures of its own.
bool ScriptRunner::batchable(const ScriptCommand &command) const
{
    return command.kind == ScriptCommand::Statement && !m_options.autoCommit
           && !m_options.profile && !m_stop && m_database.InTransaction() && !isQuery(command);
}

// The batchable commands at the head of the queue, read on to at most a
// batch's worth; one more that is not batchable may follow them.
qsizetype ScriptRunner::fillBatch(IsqlScriptReader &reader, std::deque<Queued> &queued) const
{
    constexpr qsizetype kMostStatements = 256;
    constexpr qsizetype kMostCharacters = 1 << 20;
    qsizetype count = 0;
    qsizetype characters = 0;
    for (;;) {
        if (qsizetype(queued.size()) == count && !readInto(reader, queued))
            return count;
        const ScriptCommand &command = queued.at(size_t(count)).command;
        if (!batchable(command))
            return count;
        characters += command.text.size();
        ++count;
        if (count == kMostStatements || characters >= kMostCharacters)
            return count;
    }
}

// The first `count` queued commands, all batchable, in one call: their log
// rows come as they ran; the statement the batch left is run on its own, and
// those after a failure stay queued for a run that goes on.
bool ScriptRunner::runBatch(std::deque<Queued> &queued, qsizetype count, const QString &file,
                            const QDir &directory)
{
    StatementBatch batch;
    for (qsizetype i = 0; i < count; ++i)
        batch.add(queued.at(size_t(i)).command.text.toUtf8());
    QString error;
    try {
        m_database.ExecuteBatch(batch);
    } catch (const AppError &failure) {
        error = failure.message();
    }
    for (const StatementBatch::Ran &ran : batch.ran()) {
        ScriptLogRow row = starting(queued.front().command, file);
        queued.pop_front();
        row.rows = ran.rows;
        row.milliseconds = ran.nanoseconds / 1'000'000;
        try {
            commitAfterDdl(ran.type);
        } catch (const AppError &failure) {
            row.error = failure.message();
        }
        if (!finished(row, false))
            return false;
    }
    const bool failed = batch.failed() || !error.isEmpty();
    if (!failed && !batch.left())
        return true;
    const ScriptCommand command = std::move(queued.front().command);
    queued.pop_front();
    if (!failed)
        return runCommand(command, file, directory);
    ScriptLogRow row = starting(command, file);
    row.error = error;
    return finished(row, true);
}

bool ScriptRunner::runCommand(const ScriptCommand &command, const QString &file,
                              const QDir &directory)
{
    ScriptLogRow row = starting(command, file);
    QElapsedTimer timer;
    timer.start();
    try {
        if (!m_stop)
            execute(command, directory, row);
    } catch (const AppError &error) {
        row.error = error.message();
    }
    row.milliseconds = timer.elapsed();
    return finished(row, true);
}

ScriptLogRow ScriptRunner::starting(const ScriptCommand &command, const QString &file)
{
    ++m_progress.command;
    m_progress.line = command.line;
    m_progress.file = file;
    if (m_topReader)
        m_progress.bytesRead = m_topReader->bytesRead();
    m_observer->commandStarting(m_progress, command);
    ScriptLogRow row;
    row.file = file;
    row.command = command;
    return row;
}

// A Stop asked while the command ran stops it, when it could still be
// stopped; false ends the run.
bool ScriptRunner::finished(ScriptLogRow &row, bool stoppable)
{
    ++m_outcome.commands;
    if (stoppable && m_stop) {
        m_outcome.stopped = true;
        row.note = QStringLiteral("stopped");
    } else if (row.failed()) {
        ++m_outcome.failures;
        if (!m_outcome.failure)
            m_outcome.failure = row;
    }
    m_observer->commandDone(row);
    if (m_outcome.stopped || m_ended || m_halted)
        return false;
    return !row.failed() || (m_options.continueAfterErrors && !m_database.ConnectionLost());
}

void ScriptRunner::execute(const ScriptCommand &command, const QDir &directory,
                           ScriptLogRow &row)
{
    switch (command.kind) {
    case ScriptCommand::Statement:
        executeStatement(command, row);
        return;
    case ScriptCommand::Commit:
    case ScriptCommand::Rollback:
        endTransaction(command.kind == ScriptCommand::Commit);
        return;
    case ScriptCommand::SetAutoDdl:
        m_autoDdl = command.argument.isEmpty() ? !m_autoDdl : command.argument == u"ON";
        row.note = m_autoDdl ? QStringLiteral("AUTODDL on") : QStringLiteral("AUTODDL off");
        return;
    case ScriptCommand::SetDialect:
        checkDialect(command);
        return;
    case ScriptCommand::SetNames:
        checkNames(command);
        return;
    case ScriptCommand::SetTransaction:
        m_database.StartTransactionAs(command.text);
        return;
    case ScriptCommand::Input:
        runInput(command, directory, row);
        return;
    case ScriptCommand::Refused:
        throw GeneralError(
            QStringLiteral("%1 is not run here: this window works on the connected database")
                .arg(leadingWords(command.text, command.text.startsWith(u"CONNECT",
                                                                        Qt::CaseInsensitive)
                                                    ? 1
                                                    : 2)));
    case ScriptCommand::Skipped:
        row.note = QStringLiteral("skipped: isql's own display command");
        return;
    case ScriptCommand::Exit:
    case ScriptCommand::Quit:
        endTransaction(command.kind == ScriptCommand::Exit);
        m_ended = true;
        return;
    }
}

// A query's rows are for a window to show; isql's AUTODDL commits what a
// DDL statement did with the rest of the transaction, as isql does.
void ScriptRunner::executeStatement(const ScriptCommand &command, ScriptLogRow &row)
{
    if (isQuery(command)) {
        m_observer->queryFound(command);
        row.note = QStringLiteral("rows shown in a window of their own");
        return;
    }
    if (m_options.profile) {
        auto profile = std::make_shared<StatementProfile>();
        m_database.ExecuteAsWritten(command.text, m_options.autoCommit, *profile);
        profile->nameTables(m_database.connection());
        row.profile = std::move(profile);
    } else {
        m_database.ExecuteAsWritten(command.text, m_options.autoCommit);
    }
    row.rows = m_database.changedRows();
    commitAfterDdl(m_database.statementType());
}

void ScriptRunner::commitAfterDdl(int statementType)
{
    if (!m_options.autoCommit && m_autoDdl && m_database.InTransaction()
        && statementType == isc_info_sql_stmt_ddl)
        m_database.Commit();
}

void ScriptRunner::runInput(const ScriptCommand &command, const QDir &directory,
                            ScriptLogRow &row)
{
    if (m_depth >= maximumInputDepth())
        throw GeneralError(
            QStringLiteral("INPUT nests more than %1 scripts deep").arg(maximumInputDepth()));
    const QString path = directory.absoluteFilePath(command.argument);
    QFile file(path);
    IsqlScriptReader reader(openScript(file));
    // isql's terminator is one for the whole run, whichever file sets it.
    reader.setTerminator(m_terminator);
    ++m_depth;
    const auto leave = qScopeGuard([this] { --m_depth; });
    row.note = QStringLiteral("read %1").arg(QDir::toNativeSeparators(path));
    runReader(reader, path, QFileInfo(path).absoluteDir());
}

void ScriptRunner::checkDialect(const ScriptCommand &command) const
{
    const int dialect = m_database.statementDialect();
    if (command.argument.toInt() != dialect)
        throw GeneralError(QStringLiteral("SET SQL DIALECT %1 is refused: the database is of "
                                          "dialect %2, in which this window runs every statement")
                               .arg(command.argument)
                               .arg(dialect));
}

// The tool's own metadata script says NONE for a database whose texts go
// in as they are: its UTF-8 bytes reach a NONE or UTF8 database unchanged
// through the tool's UTF8 connection too.
void ScriptRunner::checkNames(const ScriptCommand &command) const
{
    if (command.argument != kConnectionCharacterSet && command.argument != u"NONE")
        throw GeneralError(QStringLiteral("SET NAMES %1 is refused: the connection's character "
                                          "set is %2, in which the tool sends every text")
                               .arg(command.argument, kConnectionCharacterSet));
}

void ScriptRunner::endTransaction(bool commit)
{
    if (!m_database.InTransaction())
        return;
    if (commit)
        m_database.Commit();
    else
        m_database.Rollback();
}
