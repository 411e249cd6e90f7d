#include "app/ConnectionHistory.h"
#include "support/ReliabilityFiles.h"
#include "support/TestMain.h"
#include "workbench/RepositoryStore.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <csignal>

namespace {

const int kHistoryLines = 20000;
const int kEntryLines = 4000;
const int kKills = 8;


// Runs the writer until it has finished a few writes, then kills it at a
// moment of the next ones: early, mid-write or between two writes.
int killWriterMidway(const QString &mode, const QString &target, int killNumber)
{
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(qEnvironmentVariable("QUORVEL_WRITER"), {mode, target});
    if (!writer.waitForStarted())
        qFatal("cannot start the writer");
    int done = 0;
    while (done < 1 + killNumber % 3) {
        if (!writer.waitForReadyRead(30000))
            qFatal("the writer stopped writing: %s", writer.readAllStandardError().constData());
        done += int(writer.readAll().count("written"));
    }
    QThread::usleep(QRandomGenerator::global()->bounded(1000u, 60000u));
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished();
    return done + int(writer.readAll().count("written"));
}

struct Entry
{
    QString name;
    QString source;
};

QList<Entry> repositoryEntries(const QString &folder, QString &integrity)
{
    QList<Entry> entries;
    const QString connection = QStringLiteral("crash-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QDir(folder).filePath(RepositoryStore::fileName()));
        if (!db.open())
            qFatal("cannot open the repository after the crash");
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA integrity_check"));
        integrity = query.next() ? query.value(0).toString() : QStringLiteral("no answer");
        query.exec(QStringLiteral("SELECT \"OBJECT NAME\", \"OBJECT SOURCE\" FROM DVSRC"));
        while (query.next())
            entries.append({query.value(0).toString(), query.value(1).toString()});
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return entries;
}

} // namespace

// The program killed outright while it writes its files: afterwards each
// file holds its old or its new content, whole.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWritingHistory();
    void killedWhileStoringRepositoryEntry();
};

void TestCrashSafety::killedWhileWritingHistory()
{
    QTemporaryDir dir(ReliabilityFiles::tempRoot() + "/qvc-XXXXXX");
    const QString file = dir.filePath("connect.hst");
    ConnectionHistory::save(file, ReliabilityFiles::generation(0, kHistoryLines));
    for (int kill = 0; kill < kKills; ++kill) {
        const int done = killWriterMidway("history", file, kill);
        const int found =
            ReliabilityFiles::wholeGeneration(ConnectionHistory::load(file), kHistoryLines);
        QVERIFY2(found >= done, qPrintable(QStringLiteral("after %1 whole writes the file holds "
                                                          "generation %2").arg(done).arg(found)));
        QVERIFY(found <= done + 1);
    }
}

void TestCrashSafety::killedWhileStoringRepositoryEntry()
{
    QTemporaryDir dir(ReliabilityFiles::tempRoot() + "/qvc-XXXXXX");
    RepositoryStore::createTable(dir.path());
    for (int kill = 0; kill < kKills; ++kill) {
        const int done = killWriterMidway("repository", dir.path(), kill);
        QString integrity;
        const QList<Entry> entries = repositoryEntries(dir.path(), integrity);
        QCOMPARE(integrity, QStringLiteral("ok"));
        QVERIFY(entries.size() >= done);
        for (const Entry &entry : entries) {
            const int g = ReliabilityFiles::wholeGeneration(entry.source.split("\r\n",
                                                                               Qt::SkipEmptyParts),
                                                            kEntryLines);
            QVERIFY2(g >= 0 && entry.name == QStringLiteral("ENTRY_%1").arg(g),
                     qPrintable(QStringLiteral("entry %1 holds %2 characters")
                                    .arg(entry.name).arg(entry.source.size())));
        }
        // The next run starts numbering anew: clear the names for it.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "clear");
        db.setDatabaseName(QDir(dir.path()).filePath(RepositoryStore::fileName()));
        db.open();
        QSqlQuery(db).exec(QStringLiteral("DELETE FROM DVSRC"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("clear");
    }
}

QUORVEL_TEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
