#include "support/DataTestMain.h"
#include "support/ReliabilityServer.h"
#include "support/TestDatabase.h"

#include "core/AppError.h"
#include "ibdb/BackupJob.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceMonitor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

// Backup and restore through the server's services, as a scheduled job runs
// them from the command line, on the private Firebird 3 server.
class tst_ServiceCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void backupRestoresAlike();
    void refused_data();
    void refused();
    void replaceHere_data();
    void replaceHere();
    void stoppedBackupLeavesNoFile_data();
    void stoppedBackupLeavesNoFile();
};

namespace {

const QString kClosingWords = QStringLiteral("; Exiting before completion due to errors\n");

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("ISC_USER"), QStringLiteral("SYSDBA"));
    environment.insert(QStringLiteral("ISC_PASSWORD"), ReliabilityServer::password());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.status = process.exitCode();
    outcome.out = process.readAllStandardOutput();
    outcome.err = process.readAllStandardError();
    return outcome;
}

Outcome quorvel(const QStringList &arguments)
{
    return run(qEnvironmentVariable("QUORVEL_PROGRAM"), arguments);
}

// The metadata script past its first line, which names the database.
QByteArray scriptOf(const QString &database)
{
    const QByteArray script = quorvel({"--extract", database}).out;
    return script.mid(script.indexOf('\n'));
}

// A schema with compiled code of each kind, and rows of several types.
void fill(const ServerDatabase &db, int rows)
{
    db.execute({"CREATE DOMAIN D_AMOUNT AS NUMERIC(15,2) DEFAULT 0 CHECK (VALUE >= 0)",
                "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, A D_AMOUNT, N VARCHAR(40),"
                " B BLOB SUB_TYPE 1, W TIMESTAMP)",
                "CREATE INDEX T_N ON T (N)",
                "CREATE VIEW V AS SELECT ID, A * 2 AS A2 FROM T WHERE N IS NOT NULL",
                "CREATE GENERATOR G",
                "CREATE TRIGGER T_BI FOR T BEFORE INSERT AS BEGIN"
                " IF (NEW.ID IS NULL) THEN NEW.ID = GEN_ID(G, 1); END",
                "CREATE PROCEDURE P (X INTEGER) RETURNS (Y INTEGER) AS BEGIN Y = X + 1;"
                " SUSPEND; END",
                QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO"
                               " BEGIN INSERT INTO T VALUES (:I, :I / 7.0, 'name ' || :I,"
                               " LPAD('', MOD(:I, 300), 'b'), '2024-01-02 03:04:05');"
                               " I = I + 1; END END").arg(rows)});
}

QString folderOf(const ServerDatabase &db)
{
    return QFileInfo(db.file()).path();
}

} // namespace

void tst_ServiceCommand::init()
{
    if (!ReliabilityServer::available())
        QSKIP("needs the fbserver CTest fixture");
    ReliabilityServer::ensureRunning();
}

// Ours, verified, restored by us and by Firebird's own gbak: each holds the
// same metadata script and the same rows as the original.
void tst_ServiceCommand::backupRestoresAlike()
{
    const ServerDatabase db(QStringLiteral("source.fdb"), 3);
    fill(db, 3000);
    const QString backup = folderOf(db) + QStringLiteral("/source.fbk");
    const Outcome backedUp = quorvel({"--backup", db.remote(), backup, "--verify"});
    QCOMPARE(backedUp.err, QByteArray());
    QCOMPARE(backedUp.out, QByteArray("identical\n"));
    QCOMPARE(backedUp.status, 0);

    const QString ours = ReliabilityServer::remotePath(folderOf(db) + "/ours.fdb");
    const Outcome restored = quorvel({"--restore", backup, ours});
    QCOMPARE(restored.err, QByteArray());
    QCOMPARE(restored.status, 0);
    // Nobody is attached to the fresh copy: the full validation may run.
    const Outcome validated = quorvel({"--validate", ours});
    QCOMPARE(validated.err, QByteArray());
    QCOMPARE(validated.status, 0);
    const QString theirs = ReliabilityServer::remotePath(folderOf(db) + "/theirs.fdb");
    const Outcome gbak = run(QStringLiteral("gbak"), {"-c", "-user", "SYSDBA", "-password",
                                                      ReliabilityServer::password(), backup,
                                                      theirs});
    QVERIFY2(gbak.status == 0, gbak.err.constData());

    const QByteArray script = scriptOf(db.remote());
    QVERIFY(script.contains("CREATE PROCEDURE P"));
    for (const QString &copy : {ours, theirs}) {
        QCOMPARE(scriptOf(copy), script);
        QCOMPARE(ReliabilityServer::scalar(copy, "SELECT COUNT(*) || '/' || SUM(ID)"
                                                 " || '/' || SUM(CHAR_LENGTH(B)) FROM T"),
                 db.scalar("SELECT COUNT(*) || '/' || SUM(ID) || '/' || SUM(CHAR_LENGTH(B))"
                           " FROM T"));
        RestoreTarget(copy, QStringLiteral("SYSDBA"), ReliabilityServer::password()).drop();
    }
}

void tst_ServiceCommand::refused_data()
{
    QTest::addColumn<QStringList>("arguments"); // %S the source, %B its backup, %F the folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("absent"); // a file that must not be there after
    QTest::newRow("junk backup")
        << QStringList{"--restore", "%F/junk.fbk", "%R/new.fdb"} << 1
        << "quorvel: expected backup description record; "
           "Exiting before completion due to errors\n"
        << "%F/new.fdb";
    QTest::newRow("cut-short backup")
        << QStringList{"--restore", "%F/half.fbk", "%R/new.fdb"} << 1
        << "quorvel: Unexpected I/O error while reading from backup file; "
           "Exiting before completion due to errors\n"
        << "%F/new.fdb";
    QTest::newRow("junk backup over a database, --replace")
        << QStringList{"--restore", "%F/junk.fbk", "%S", "--replace"} << 1
        << "quorvel: expected backup description record; "
           "Exiting before completion due to errors\n"
        << "";
    QTest::newRow("cut-short backup over a database, --replace")
        << QStringList{"--restore", "%F/half.fbk", "%S", "--replace"} << 1
        << "quorvel: Unexpected I/O error while reading from backup file; "
           "Exiting before completion due to errors\n"
        << "";
    QTest::newRow("existing database, no --replace")
        << QStringList{"--restore", "%B", "%S"} << 1
        << "quorvel: database %S already exists; it is overwritten only with Replace\n" << "";
    QTest::newRow("no such backup") << QStringList{"--restore", "%F/none.fbk", "%R/new.fdb"} << 1
                                    << "quorvel: cannot read %F/none.fbk: No such file or directory\n"
                                    << "%F/new.fdb";
    QTest::newRow("backup over the database")
        << QStringList{"--backup", "%S", "%F/source.fdb"} << 1
        << "quorvel: cannot write %F/source.fdb: it is the database being backed up\n" << "";
    QTest::newRow("no such database")
        << QStringList{"--backup", "%R/none.fdb", "%F/none.fbk"} << 1 << "" << "%F/none.fbk";
    QTest::newRow("wrong arguments") << QStringList{"--backup", "%S", "%F/x.fbk", "--replace"}
                                     << 2 << "quorvel: wrong arguments; see quorvel --help\n"
                                     << "%F/x.fbk";
    QTest::newRow("validate, wrong arguments")
        << QStringList{"--validate", "%S", "--replace"} << 2
        << "quorvel: wrong arguments; see quorvel --help\n" << "";
}

// Each refusal is one line on standard error, a failing status, and no file
// that looks like a database or a backup; the source stays as it was.
void tst_ServiceCommand::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(QString, absent);
    const ServerDatabase db(QStringLiteral("source.fdb"), 3);
    fill(db, 20000);
    const QString folder = folderOf(db);
    const QString backup = folder + QStringLiteral("/source.fbk");
    QCOMPARE(quorvel({"--backup", db.remote(), backup}).status, 0);
    QFile whole(backup);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QFile half(folder + QStringLiteral("/half.fbk"));
    QVERIFY(half.open(QIODevice::WriteOnly) && half.write(whole.read(whole.size() / 2)) > 0);
    half.close();
    QFile junk(folder + QStringLiteral("/junk.fbk"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(100000, '\x5a')) > 0);
    junk.close();
    const auto expand = [&](QString text) {
        return text.replace("%S", db.remote()).replace("%B", backup).replace("%F", folder)
            .replace("%R", ReliabilityServer::remotePath(folder));
    };
    for (QString &argument : arguments)
        argument = expand(argument);

    const Outcome outcome = quorvel(arguments);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.out, QByteArray());
    if (error.isEmpty())
        QVERIFY2(outcome.err.startsWith("quorvel: ") && outcome.err.count('\n') == 1,
                 outcome.err.constData());
    else if (QString::fromUtf8(outcome.err) != expand(error))
        // The service sometimes ends before it has added its closing words to
        // the failure it reports; the reason itself is always there.
        QCOMPARE(QString::fromUtf8(outcome.err),
                 expand(error).replace(kClosingWords, QStringLiteral("\n")));
    if (!absent.isEmpty())
        QVERIFY2(!QFile::exists(expand(absent)), qPrintable(expand(absent)));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM T"), QStringLiteral("20000"));
    QCOMPARE(QDir(folder).entryList({"*quorvel-*"}, QDir::Files | QDir::Hidden), QStringList());
}

void tst_ServiceCommand::replaceHere_data()
{
    QTest::addColumn<QString>("backup");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("rows"); // in the database after
    QTest::newRow("junk kept out") << "junk.fbk"
                                   << "quorvel: expected backup description record; "
                                      "Exiting before completion due to errors\n"
                                   << "20";
    QTest::newRow("whole backup swapped in") << "other.fbk" << "" << "5";
}

// A database file of this machine is swapped for the restored one only when
// the restore is whole; nothing of the attempt stays beside it.
void tst_ServiceCommand::replaceHere()
{
    QFETCH(QString, backup);
    QFETCH(QString, error);
    QFETCH(QString, rows);
    const TestDatabase target(QStringLiteral("target.fdb"));
    target.execute({"CREATE TABLE T (ID INTEGER)",
                    "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 20) DO"
                    " BEGIN INSERT INTO T VALUES (:I); I = I + 1; END END"});
    const TestDatabase other(QStringLiteral("other.fdb"));
    other.execute({"CREATE TABLE T (ID INTEGER)",
                   "INSERT INTO T SELECT FIRST 5 RDB$RELATION_ID FROM RDB$RELATIONS"});
    const QString folder = target.folder();
    QCOMPARE(quorvel({"--backup", other.path(), folder + "/other.fbk"}).status, 0);
    QFile junk(folder + QStringLiteral("/junk.fbk"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(100000, '\x5a')) > 0);
    junk.close();

    const Outcome outcome = quorvel({"--restore", folder + "/" + backup, target.path(), "--replace"});
    QCOMPARE(QString::fromUtf8(outcome.err), error);
    QCOMPARE(outcome.status, error.isEmpty() ? 0 : 1);
    QCOMPARE(target.scalar("SELECT COUNT(*) FROM T"), rows);
    QCOMPARE(QDir(folder).entryList({"*quorvel-*"}, QDir::Files | QDir::Hidden), QStringList());
}

void tst_ServiceCommand::stoppedBackupLeavesNoFile_data()
{
    QTest::addColumn<bool>("killServer");
    QTest::newRow("cancelled") << false;
    QTest::newRow("server killed") << true;
}

// Stopped after its first bytes, by Cancel or by a dead server: an error or
// a quiet stop, never a success, and no file of that name, not even part of one.
void tst_ServiceCommand::stoppedBackupLeavesNoFile()
{
    QFETCH(bool, killServer);
    const ServerDatabase db(QStringLiteral("source.fdb"), 3);
    fill(db, 60000);
    BackupJob::Options options;
    options.database = db.remote();
    options.file = folderOf(db) + QStringLiteral("/stopped.fbk");
    bool stop = false;
    ServiceMonitor monitor;
    monitor.bytes = [&](qint64 done, qint64) {
        if (done > 0 && !stop) {
            stop = true;
            if (killServer)
                ReliabilityServer::kill();
        }
    };
    monitor.stopRequested = [&] { return stop && !killServer; };
    bool failed = false;
    try {
        BackupJob(options, QStringLiteral("SYSDBA"), ReliabilityServer::password()).run(monitor);
    } catch (const DatabaseError &) {
        failed = killServer;
    } catch (const SilentAbort &) {
        failed = !killServer;
    }
    if (killServer)
        ReliabilityServer::restart();
    QVERIFY(stop);
    QVERIFY(failed);
    QCOMPARE(QDir(folderOf(db)).entryList({"stopped*"}, QDir::Files), QStringList());
}

QUORVEL_DATA_TEST_MAIN(tst_ServiceCommand)
#include "tst_servicecommand.moc"
