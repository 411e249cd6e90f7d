#include "ibdb/TIBDataBase.h"
#include "schema/CatalogFingerprint.h"
#include "schema/ScriptRunner.h"
#include "support/DataTestMain.h"
#include "support/IsqlScript.h"
#include "support/OtherUser.h"
#include "support/TestAttachment.h"
#include "support/TestSession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

namespace {

// The log as lines: "line first-line rows error note".
class LogRecorder : public ScriptRunObserver
{
public:
    void commandDone(const ScriptLogRow &row) override
    {
        lines << QStringLiteral("%1 %2 | %3 | %4 | %5")
                     .arg(row.command.line)
                     .arg(row.firstLine())
                     .arg(row.rows)
                     .arg(QString(row.error).remove(0, row.error.startsWith(u'\r') ? 1 : 0)
                              .replace(u'\r', QStringLiteral(" / ")),
                          row.note);
    }
    void queryFound(const ScriptCommand &query) override { queries << query.text; }

    QStringList lines;
    QStringList queries;
};

QStringList fingerprintOf(const TestDatabase &db)
{
    const TestAttachment attached(db);
    return CatalogFingerprint(attached.connection()).lines();
}

} // namespace

class TestScriptRunner : public QObject
{
    Q_OBJECT

private slots:
    void employeeSampleGivesIsqlsCatalogue_data();
    void employeeSampleGivesIsqlsCatalogue();
    void commandsAndFailures_data();
    void commandsAndFailures();
    void stopEndsALockWaitWithinASecond_data();
    void stopEndsALockWaitWithinASecond();
};

void TestScriptRunner::employeeSampleGivesIsqlsCatalogue_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::newRow("auto-commit") << true;
    QTest::newRow("tool's transaction") << false;
}

void TestScriptRunner::employeeSampleGivesIsqlsCatalogue()
{
    QFETCH(bool, autoCommit);
    const QByteArray script = IsqlScript::unpacked(IsqlScript::employeeSample());
    const TestDatabase byIsql(QStringLiteral("isql.fdb"), 3);
    // isql on a connection of the tool's own character set: a computed
    // column's text takes the connection's character set.
    QCOMPARE(IsqlScript::replay(byIsql, script, QStringLiteral("UTF8")), QString());
    TestSession session(autoCommit, 3);
    const QString file = session.db.folder() + QStringLiteral("/employee.sql");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(script) == script.size());
    out.close();
    const ScriptRunner::Outcome outcome =
        ScriptRunner(*session.ib(), {autoCommit, false}, nullptr).runFile(file);
    QVERIFY2(!outcome.failure, qPrintable(outcome.failure ? outcome.failure->error : QString()));
    if (session.ib()->InTransaction())
        session.ib()->Commit();
    QCOMPARE(fingerprintOf(session.db), fingerprintOf(byIsql));
}

void TestScriptRunner::commandsAndFailures_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::addColumn<bool>("runOn");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("committedRows"); // seen from another attachment
    const QString failing = QStringLiteral(
        "create table t (a integer);\ninsert into t values (1);\n"
        "insert into t values ('x');\ninsert into t values (3);");
    const QString conversion = QStringLiteral("conversion error from string \"x\"");
    QTest::newRow("auto-commit stops, keeps the rows before")
        << true << false << failing
        << QStringList{"1 create table t (a integer) | -1 |  | ",
                       "2 insert into t values (1) | 1 |  | ",
                       "3 insert into t values ('x') | -1 | " + conversion + " | "}
        << "1";
    QTest::newRow("auto-commit runs on and counts")
        << true << true << failing
        << QStringList{"1 create table t (a integer) | -1 |  | ",
                       "2 insert into t values (1) | 1 |  | ",
                       "3 insert into t values ('x') | -1 | " + conversion + " | ",
                       "4 insert into t values (3) | 1 |  | "}
        << "2";
    QTest::newRow("tool's transaction: AUTODDL commits the table, not the rows")
        << false << false << failing
        << QStringList{"1 create table t (a integer) | -1 |  | ",
                       "2 insert into t values (1) | 1 |  | ",
                       "3 insert into t values ('x') | -1 | " + conversion + " | "}
        << "0";
    QTest::newRow("tool's transaction runs on past a failure amid plain statements")
        << false << true
        << QStringLiteral("create table t (a integer);\ninsert into t values (1);\n"
                          "insert into t values (2);\ninsert into t values ('x');\n"
                          "update t set a = a + 10;\ninsert into t values (4);\n"
                          "delete from t where a = 4;")
        << QStringList{"1 create table t (a integer) | -1 |  | ",
                       "2 insert into t values (1) | 1 |  | ",
                       "3 insert into t values (2) | 1 |  | ",
                       "4 insert into t values ('x') | -1 | " + conversion + " | ",
                       "5 update t set a = a + 10 | 2 |  | ",
                       "6 insert into t values (4) | 1 |  | ",
                       "7 delete from t where a = 4 | 1 |  | "}
        << "0";
    QTest::newRow("isql's own commands")
        << false << false
        << QStringLiteral("set autoddl off;\nset list on;\ncreate table t (a integer);\n"
                          "commit work;\nselect a from t;\ninsert into t values (5);\n"
                          "set names UTF8;\nset sql dialect 3;\nexit;\ninsert into t values (6);")
        << QStringList{"1 set autoddl off | -1 |  | AUTODDL off",
                       "2 set list on | -1 |  | skipped: isql's own display command",
                       "3 create table t (a integer) | -1 |  | ", "4 commit work | -1 |  | ",
                       "5 select a from t | -1 |  | rows shown in a window of their own",
                       "6 insert into t values (5) | 1 |  | ", "7 set names UTF8 | -1 |  | ",
                       "8 set sql dialect 3 | -1 |  | ", "9 exit | -1 |  | "}
        << "1";
    QTest::newRow("refusals")
        << true << true
        << QStringLiteral("set sql dialect 1;\nset names WIN1252;\nconnect 'x.fdb';\n"
                          "create database 'y.fdb';\ninput 'missing.sql';\n"
                          "set transaction read only;\ncreate table t (a integer);")
        << QStringList{
               "1 set sql dialect 1 | -1 | SET SQL DIALECT 1 is refused: the database is of "
               "dialect 3, in which this window runs every statement | ",
               "2 set names WIN1252 | -1 | SET NAMES WIN1252 is refused: the connection's "
               "character set is UTF8, in which the tool sends every text | ",
               "3 connect 'x.fdb' | -1 | CONNECT is not run here: this window works on the "
               "connected database | ",
               "4 create database 'y.fdb' | -1 | CREATE DATABASE is not run here: this window "
               "works on the connected database | ",
               "5 input 'missing.sql' | -1 | Cannot open the script " + QDir::currentPath()
                   + "/missing.sql: No such file or directory | ",
               "6 set transaction read only | -1 |  | ",
               "7 create table t (a integer) | -1 | unsuccessful metadata update / CREATE TABLE T "
               "failed / attempted update during read-only transaction | "}
        << "";
}

void TestScriptRunner::commandsAndFailures()
{
    QFETCH(bool, autoCommit);
    QFETCH(bool, runOn);
    QFETCH(QString, script);
    QFETCH(QStringList, log);
    QFETCH(QString, committedRows);
    TestSession session(autoCommit, 3);
    LogRecorder recorder;
    const ScriptRunner::Outcome outcome =
        ScriptRunner(*session.ib(), {autoCommit, runOn}, &recorder)
            .runText(script, QDir::currentPath());
    QCOMPARE(recorder.lines, log);
    QCOMPARE(outcome.failures, int(std::count_if(log.cbegin(), log.cend(), [](const QString &l) {
                 return !l.section(u'|', 2, 2).trimmed().isEmpty();
             })));
    if (!committedRows.isEmpty())
        QCOMPARE(session.db.scalar(QStringLiteral("select count(*) from t")), committedRows);
}

void TestScriptRunner::stopEndsALockWaitWithinASecond_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("commands");
    QTest::newRow("auto-commit") << true
                                 << QStringLiteral("update t set a = 3;\nupdate t set a = 4;") << 1;
    // The first statement starts the transaction; the two after it go in one call.
    QTest::newRow("tool's transaction, in one call")
        << false
        << QStringLiteral("insert into u values (1);\nupdate t set a = 3;\nupdate t set a = 4;")
        << 2;
}

void TestScriptRunner::stopEndsALockWaitWithinASecond()
{
    QFETCH(bool, autoCommit);
    QFETCH(QString, script);
    QFETCH(int, commands);
    TestSession session(autoCommit, 3);
    session.db.execute(QStringList{QStringLiteral("create table t (a integer)"),
                                   QStringLiteral("create table u (a integer)"),
                                   QStringLiteral("insert into t values (1)")});
    OtherUser other(session.db.path());
    other.execute(QStringLiteral("update t set a = 2"));
    other.commitAfter(std::chrono::seconds(20));
    ScriptRunner runner(*session.ib(), {autoCommit, false}, nullptr);
    QElapsedTimer sinceStop;
    QTimer::singleShot(500, [&] {
        sinceStop.start();
        runner.stop();
    });
    const ScriptRunner::Outcome outcome = runner.runText(script, QString());
    QVERIFY(sinceStop.isValid());
    QVERIFY2(sinceStop.elapsed() < 1000, qPrintable(QString::number(sinceStop.elapsed())));
    QVERIFY(outcome.stopped);
    QCOMPARE(outcome.commands, commands);
    QCOMPARE(outcome.failures, 0);
}

QUORVEL_DATA_TEST_MAIN(TestScriptRunner)
#include "tst_scriptrunner.moc"
