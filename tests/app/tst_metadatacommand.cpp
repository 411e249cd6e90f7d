#include "support/DataTestMain.h"
#include "support/ReliabilityServer.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

// The program's command line for scripts and CI: it runs on a machine with
// no display, writes only the script (or the verdict) on standard output,
// and on a failure its reason on standard error and no output file.
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
    void verifiesOnTheServer();
    void outputNeverTheInput_data();
    void outputNeverTheInput();
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
    QTest::addColumn<QString>("error"); // %U the usage, as --help writes it
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
    // The windows' command line: refused before a display is needed.
    QTest::newRow("windows, unknown option") << QStringList{"--bogus"} << 2
                                             << "quorvel: unknown option --bogus\n%U";
    QTest::newRow("windows, option after the database")
        << QStringList{"%D", "-x"} << 2 << "quorvel: unknown option -x\n%U";
    QTest::newRow("windows, past Qt's options")
        << QStringList{"-platform", "offscreen", "-reverse", "--bogus=1", "%D"} << 2
        << "quorvel: unknown option --bogus=1\n%U";
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
    if (error.contains(QLatin1String("%U")))
        error.replace(QLatin1String("%U"), QString::fromUtf8(run({QStringLiteral("--help")}).out));

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
        QVERIFY2(!outcome.err.contains('\r'), outcome.err.constData());
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

// The scratch database goes beside the original on its server, or into the
// folder named, and is gone afterwards; a folder the server cannot write
// gives the server's reason.
void tst_MetadataCommand::verifiesOnTheServer()
{
    if (!ReliabilityServer::available())
        QSKIP("needs the fbserver CTest fixture");
    ReliabilityServer::ensureRunning();
    const ServerDatabase db(QStringLiteral("server.fdb"), 3);
    db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER)")});
    const QDir folder = QFileInfo(db.file()).dir();
    const QTemporaryDir named;
    for (const QStringList &arguments :
         {QStringList{"--verify", db.remote()},
          QStringList{"--verify", db.remote(), "--scratch", named.path()}}) {
        const Outcome outcome = run(arguments, ReliabilityServer::password());
        QCOMPARE(outcome.err, QByteArray());
        QCOMPARE(outcome.out, QByteArray("identical\n"));
        QCOMPARE(outcome.status, 0);
    }
    const QStringList scratch{QStringLiteral("quorvel-verify-*")};
    QCOMPARE(folder.entryList(scratch, QDir::Files), QStringList());
    QCOMPARE(QDir(named.path()).entryList(scratch, QDir::Files), QStringList());

    const Outcome refused = run({"--verify", db.remote(), "--scratch", "/no/such/folder"},
                                ReliabilityServer::password());
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.startsWith("quorvel: I/O error"), refused.err.constData());
}

// -o names the database itself however spelt, a stream, or a device: the
// database stays whole, a stream gets the script, a device is never
// replaced by a regular file.
void tst_MetadataCommand::outputNeverTheInput_data()
{
    QTest::addColumn<QString>("output"); // %D the database, %F its folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("scriptOnOutput");
    const QString refused = QStringLiteral("quorvel: cannot write %1: it is the database being "
                                           "read\n");
    QTest::newRow("the database") << "%D" << 1 << refused.arg("%D") << false;
    QTest::newRow("another spelling") << "%F/./test.fdb" << 1 << refused.arg("%F/./test.fdb")
                                      << false;
    QTest::newRow("a link to it") << "%F/link.fdb" << 1 << refused.arg("%F/link.fdb") << false;
    QTest::newRow("standard output") << "/dev/stdout" << 0 << "" << true;
    QTest::newRow("a full device") << "%F/full" << 1
                                   << "quorvel: cannot write %F/full: No space left on device\n"
                                   << false;
}

void tst_MetadataCommand::outputNeverTheInput()
{
    QFETCH(QString, output);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(bool, scriptOnOutput);
    const TestDatabase db(QStringLiteral("test.fdb"), 3);
    db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER)")});
    QVERIFY(QFile::link(db.path(), db.folder() + QStringLiteral("/link.fdb")));
    const QString device = db.folder() + QStringLiteral("/full");
    if (output.endsWith(QLatin1String("/full"))
        && ::mknod(device.toUtf8().constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        QSKIP("making a device node needs root");
    output.replace(QLatin1String("%D"), db.path()).replace(QLatin1String("%F"), db.folder());
    error.replace(QLatin1String("%D"), db.path()).replace(QLatin1String("%F"), db.folder());

    const Outcome outcome = run({QStringLiteral("--extract"), db.path(), QStringLiteral("-o"),
                                 output});
    QCOMPARE(QString::fromUtf8(outcome.err), error);
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.out.contains("CREATE TABLE T ("), scriptOnOutput);
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS "
                                      "WHERE RDB$RELATION_NAME = 'T'")),
             QStringLiteral("1"));
    struct stat node = {};
    QVERIFY(::stat(device.toUtf8().constData(), &node) != 0 || S_ISCHR(node.st_mode));
}

QUORVEL_DATA_TEST_MAIN(tst_MetadataCommand)
#include "tst_metadatacommand.moc"
