#include "ScriptBench.h"

#include "BenchClock.h"
#include "ibdb/NewDatabase.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "workbench/ScriptLogModel.h"
#include "workbench/ScriptRun.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

#include <fstream>
#include <stdexcept>
#include <string>

using BenchClock::elapsedMs;
using BenchClock::residentMb;

namespace {

constexpr int kInserts = 10000;
// 10,000 statements of 10 KB each.
constexpr int kBigStatements = 10000;
constexpr int kBigValue = 10 * 1024;

// The peak resident memory since the last reset, in MB.
double peakMb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

QByteArray insertsScript()
{
    QByteArray script = "CREATE TABLE T (N INTEGER, S VARCHAR(40));\nCOMMIT;\n";
    for (int i = 1; i <= kInserts; ++i)
        script += "INSERT INTO T VALUES (" + QByteArray::number(i) + ", 'row "
                  + QByteArray::number(i) + "');\n";
    return script + "COMMIT;\n";
}

QByteArray bigScript()
{
    QByteArray script = "CREATE TABLE B (N INTEGER, S VARCHAR(" + QByteArray::number(kBigValue)
                        + "));\nCOMMIT;\n";
    const QByteArray value(kBigValue, 'x');
    script.reserve(qsizetype(kBigStatements) * (kBigValue + 40));
    for (int i = 1; i <= kBigStatements; ++i)
        script += "INSERT INTO B VALUES (" + QByteArray::number(i) + ", '" + value + "');\n";
    return script + "COMMIT;\n";
}

} // namespace

ScriptBench::ScriptBench(QString referencePath, int repeats, QString only)
    : m_reference(std::move(referencePath)), m_repeats(repeats), m_only(std::move(only))
{
}

QList<BenchMeasure> ScriptBench::measures()
{
    auto wanted = [this](const QString &name) { return m_only.isEmpty() || name.startsWith(m_only); };
    QList<BenchMeasure> measures;
    if (wanted(QStringLiteral("script_inserts")))
        measures << race(QStringLiteral("script_inserts"), insertsScript(), 3);
    if (wanted(QStringLiteral("script_metadata"))) {
        int dialect = 3;
        const QByteArray script = metadataScript(dialect);
        measures << race(QStringLiteral("script_metadata"), script, dialect);
    }
    if (wanted(QStringLiteral("script_file_100mb"))) {
        BenchMeasure big = race(QStringLiteral("script_file_100mb"), bigScript(), 3);
        big.memoryGoalMb = 64;
        measures << big;
    }
    return measures;
}

BenchMeasure ScriptBench::race(const QString &name, const QByteArray &script, int dialect)
{
    BenchMeasure m{name, 1e300, 1e300};
    m.goal = 1.3;
    const QString file = writeScript(name + QStringLiteral(".sql"), script);
    m.addedMb = 0;
    for (int i = 0; i < m_repeats; ++i) {
        double added = 0;
        m.quorvelMs = std::min(m.quorvelMs, ourRunMs(file, dialect, added));
        m.addedMb = std::max(m.addedMb, added);
        m.rawMs = std::min(m.rawMs, isqlRunMs(file, dialect));
    }
    m.rssMb = residentMb();
    m.rows = int(script.count('\n'));
    QFile::remove(file);
    return m;
}

// Attaching is part of it, as it is for isql-fb.
double ScriptBench::ourRunMs(const QString &file, int dialect, double &peakAddedMb)
{
    const QString path = freshDatabase(dialect);
    TIBDataBase *db = DMSys->IBDataBase;
    const double before = residentMb();
    resetPeak();
    QElapsedTimer timer;
    timer.start();
    db->setParam(QStringLiteral("USER NAME"), QStringLiteral("SYSDBA"));
    db->setParam(QStringLiteral("PASSWORD"), QStringLiteral("masterkey"));
    db->setParam(QStringLiteral("SERVER NAME"), path);
    db->setParam(QStringLiteral("ROLE NAME"), QString());
    db->Open();
    {
        ScriptLogModel log;
        ScriptRun run(*db, log, nullptr, {false, false});
        const ScriptRunner::Outcome outcome = run.runFile(file);
        if (outcome.failure)
            throw std::runtime_error("the script failed: " + outcome.failure->error.toStdString());
        if (db->InTransaction())
            db->Commit();
    }
    db->Close();
    const double ms = elapsedMs(timer);
    peakAddedMb = peakMb() - before;
    QFile::remove(path);
    return ms;
}

double ScriptBench::isqlRunMs(const QString &file, int dialect)
{
    const QString path = freshDatabase(dialect);
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-bail"), QStringLiteral("-q"), QStringLiteral("-user"),
                QStringLiteral("SYSDBA"), QStringLiteral("-password"),
                QStringLiteral("masterkey"), QStringLiteral("-i"), file, path});
    if (!isql.waitForFinished(1800000) || isql.exitCode() != 0)
        throw std::runtime_error("isql-fb -i failed: "
                                 + isql.readAllStandardError().toStdString());
    const double ms = elapsedMs(timer);
    QFile::remove(path);
    return ms;
}

QString ScriptBench::freshDatabase(int dialect)
{
    NewDatabase request;
    request.path = m_dir.filePath(QStringLiteral("script%1.fdb").arg(++m_databases));
    request.user = QStringLiteral("SYSDBA");
    request.password = QStringLiteral("masterkey");
    request.dialect = dialect;
    request.characterSet = QStringLiteral("NONE");
    request.create();
    return request.path;
}

QString ScriptBench::writeScript(const QString &name, const QByteArray &script) const
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

QByteArray ScriptBench::metadataScript(int &dialect) const
{
    const QString name = QUuid::createUuid().toString();
    QByteArray script;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), name);
        db.setDatabaseName(m_reference);
        db.setUserName(QStringLiteral("SYSDBA"));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        const SchemaModel model = SchemaReader(db).read();
        dialect = model.dialect;
        script = SchemaScript(model).text().toUtf8();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return script;
}
