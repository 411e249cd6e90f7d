#include "support/DataTestMain.h"
#include "support/ReliabilityServer.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTest>

// The program's command line for scripts and CI: it runs on a machine with
// no display, writes only the script (or the verdict) on standard output,
// and on a failure one line on standard error and no output file.
class tst_MetadataCommand : public QObject
{
    Q_OBJECT

private slots:
    void failsWithOneLine_data();
    void failsWithOneLine();
    void extractsWithoutDisplay();
    void verifiesRoundTrip();
    void databaseInUse();
    void loginRefused();
};

namespace {

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The program as a CI runner starts it: no display, no platform plugin
// named, the login in the environment only.
Outcome run(const QStringList &arguments,
            const QString &password = QStringLiteral("masterkey"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("ISC_USER"), QStringLiteral("SYSDBA"));
    environment.insert(QStringLiteral("ISC_PASSWORD"), password);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("QUORVEL_PROGRAM"), arguments);
    Outcome outcome;
    if (!program.waitForFinished(120000) || program.exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.status = program.exitCode();
    outcome.out = program.readAllStandardOutput();
    outcome.err = program.readAllStandardError();
    return outcome;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

void tst_MetadataCommand::failsWithOneLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // %D the database, %F its folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("no database named") << QStringList{"--extract"} << 2
                                       << "quorvel: wrong arguments; see quorvel --help\n";
    QTest::newRow("unknown option") << QStringList{"--extract", "%D", "-x", "f"} << 2
                                    << "quorvel: wrong arguments; see quorvel --help\n";
    QTest::newRow("no such file") << QStringList{"--extract", "%F/none.fdb", "-o", "%F/out.sql"}
                                  << 1 << "quorvel: %F/none.fdb: no such file\n";
    QTest::newRow("not a database") << QStringList{"--extract", "%F/noise.fdb", "-o", "%F/out.sql"}
                                    << 1 << "quorvel: file %F/noise.fdb is not a valid database\n";
    QTest::newRow("verify, not a database") << QStringList{"--verify", "%F/noise.fdb"} << 1
                                            << "quorvel: file %F/noise.fdb is not a valid database\n";
    QTest::newRow("output folder missing")
        << QStringList{"--extract", "%D", "-o", "%F/missing/out.sql"} << 1 << "";
}

void tst_MetadataCommand::failsWithOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    const TestDatabase db(QStringLiteral("test.fdb"), 3);
    writeFile(db.folder() + QStringLiteral("/noise.fdb"), QByteArray(65536, '\x5a'));
    writeFile(db.folder() + QStringLiteral("/out.sql"), "kept");
    for (QString &argument : arguments)
        argument.replace(QLatin1String("%D"), db.path()).replace(QLatin1String("%F"), db.folder());
    error.replace(QLatin1String("%F"), db.folder());

    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.out, QByteArray());
    if (error.isEmpty()) {
        QVERIFY2(outcome.err.startsWith("quorvel: cannot write "), outcome.err.constData());
        QCOMPARE(outcome.err.count('\n'), 1);
    } else {
        QCOMPARE(QString::fromUtf8(outcome.err), error);
    }
    // A failed run leaves what was there before.
    QCOMPARE(contentOf(db.folder() + QStringLiteral("/out.sql")), QByteArray("kept"));
    QVERIFY(!QFile::exists(db.folder() + QStringLiteral("/missing")));
}

void tst_MetadataCommand::extractsWithoutDisplay()
{
    const TestDatabase db(QStringLiteral("test.fdb"), 3);
    db.execute({"CREATE TABLE \"Quoted T\" (ID INTEGER NOT NULL PRIMARY KEY, N VARCHAR(10))",
                "CREATE SEQUENCE S"});
    const Outcome toOutput = run({QStringLiteral("--extract"), db.path()});
    QCOMPARE(toOutput.err, QByteArray());
    QCOMPARE(toOutput.status, 0);
    QVERIFY(toOutput.out.startsWith("/* Metadata of " + db.path().toUtf8()
                                    + " */\nSET SQL DIALECT 3;\n"));
    QVERIFY(toOutput.out.contains("CREATE TABLE \"Quoted T\" (\n    ID INTEGER NOT NULL,\n"));

    const QString file = db.folder() + QStringLiteral("/script.sql");
    const Outcome toFile = run({QStringLiteral("--extract"), db.path(), QStringLiteral("-o"), file});
    QCOMPARE(toFile.status, 0);
    QCOMPARE(toFile.out + toFile.err, QByteArray());
    QCOMPARE(contentOf(file), toOutput.out);

    const Outcome help = run({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("Usage:\n  quorvel --extract DATABASE [-o FILE]"));
    QCOMPARE(help.err, QByteArray());
}

void tst_MetadataCommand::verifiesRoundTrip()
{
    const TestDatabase db(QStringLiteral("test.fdb"), 1);
    db.execute({"CREATE DOMAIN D_AMOUNT AS NUMERIC(15,2) DEFAULT 0",
                "CREATE TABLE T (ID INTEGER, A D_AMOUNT, C COMPUTED BY (A * 2))",
                "CREATE VIEW V AS SELECT ID, C FROM T"});
    const Outcome outcome = run({QStringLiteral("--verify"), db.path()});
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(outcome.out, QByteArray("identical\n"));
    QCOMPARE(outcome.status, 0);
}

// The embedded engine of this process holds the file; the program's own
// engine is refused, and says so on one line.
void tst_MetadataCommand::databaseInUse()
{
    const TestDatabase db(QStringLiteral("test.fdb"), 3);
    {
        QSqlDatabase held = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), "held");
        held.setDatabaseName(db.path());
        held.setUserName(QStringLiteral("SYSDBA"));
        QVERIFY2(held.open(), qPrintable(held.lastError().text()));
        const Outcome outcome = run({QStringLiteral("--extract"), db.path()});
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.out, QByteArray());
        QVERIFY2(outcome.err.startsWith("quorvel: I/O error during \"lock\" operation"),
                 outcome.err.constData());
        QCOMPARE(outcome.err.count('\n'), 1);
        held.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("held"));
}

// Through a server that checks the login: the right password reads, a wrong
// one is refused with the server's reason.
void tst_MetadataCommand::loginRefused()
{
    if (!ReliabilityServer::available())
        QSKIP("needs the fbserver CTest fixture");
    ReliabilityServer::ensureRunning();
    const ServerDatabase db(QStringLiteral("server.fdb"), 3);
    db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER)")});
    const Outcome refused = run({QStringLiteral("--extract"), db.remote()},
                                ReliabilityServer::password() + QStringLiteral("x"));
    QCOMPARE(refused.status, 1);
    QCOMPARE(refused.out, QByteArray());
    QCOMPARE(QString::fromUtf8(refused.err),
             "quorvel: Your user name and password are not defined. Ask your database "
             "administrator to set up a Firebird login.\n");
    const Outcome read = run({QStringLiteral("--extract"), db.remote()},
                             ReliabilityServer::password());
    QCOMPARE(read.err, QByteArray());
    QCOMPARE(read.status, 0);
    QVERIFY(read.out.contains("CREATE TABLE T (\n    ID INTEGER\n);\n"));
}

QUORVEL_DATA_TEST_MAIN(tst_MetadataCommand)
#include "tst_metadatacommand.moc"
