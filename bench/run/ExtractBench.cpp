#include "ExtractBench.h"

#include "BenchClock.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

#include <stdexcept>

using BenchClock::elapsedMs;
using BenchClock::residentMb;

ExtractBench::ExtractBench(QString databasePath, int repeats)
    : m_path(std::move(databasePath)), m_repeats(repeats)
{
}

BenchMeasure ExtractBench::measure() const
{
    BenchMeasure m{QStringLiteral("extract"), 1e300, 1e300};
    m.goal = 1.0;
    const double before = residentMb();
    for (int i = 0; i < m_repeats; ++i) {
        qsizetype lines = 0;
        m.quorvelMs = std::min(m.quorvelMs, ourScriptMs(lines));
        m.rows = int(lines); // of the script
        m.rawMs = std::min(m.rawMs, isqlScriptMs());
    }
    m.rssMb = residentMb();
    m.addedMb = m.rssMb - before;
    return m;
}

// Attaching is part of it, as it is for isql-fb.
double ExtractBench::ourScriptMs(qsizetype &scriptLines) const
{
    const QString name = QUuid::createUuid().toString();
    QElapsedTimer timer;
    timer.start();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), name);
        db.setDatabaseName(m_path);
        db.setUserName(QStringLiteral("SYSDBA"));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        scriptLines = SchemaScript(SchemaReader(db).read()).lines().size();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return elapsedMs(timer);
}

double ExtractBench::isqlScriptMs() const
{
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-x"), QStringLiteral("-user"),
                                           QStringLiteral("SYSDBA"), m_path});
    if (!isql.waitForFinished(600000) || isql.exitCode() != 0)
        throw std::runtime_error("isql-fb -x failed: "
                                 + isql.readAllStandardError().toStdString());
    return elapsedMs(timer);
}
