#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "ibdb/IbStatus.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TIBDataBase.h"
#include "ibdb/TransactionView.h"
#include "support/Failures.h"
#include "support/DataTestMain.h"
#include "support/TestSession.h"

#include <QSignalSpy>

namespace {

// Records what the data module shows on the frame.
struct RecordingView : TransactionView
{
    bool commitItems = false;
    QString panel = QStringLiteral("AUTO");
    void setCommitItemsEnabled(bool enabled) override { commitItems = enabled; }
    void setTransactionPanel(const QString &text) override { panel = text; }
    void showConnectionLost(const QString &) override {}
};


} // namespace

class TestIbDatabase : public QObject
{
    Q_OBJECT

private slots:
    void namesAndLiterals_data();
    void namesAndLiterals();
    void statementsSpeakTheDatabasesDialect_data();
    void statementsSpeakTheDatabasesDialect();
    void splitsAndJoinsLines_data();
    void splitsAndJoinsLines();
    void statusVectorWithoutErrorIsNoError();
    void serverTextHasOneCarriageReturnPerLine();
    void serverTextHasNoMissingArguments_data();
    void serverTextHasNoMissingArguments();
    void refusedProcedureTextIsWhole();

    void singleLineStatementIsSentWithCrLf();
    void textOfOnlyALineBreakIsNotEmpty();
    void emptyTextIsRefusedAndRolledBackWithAutoCommit();
    void refusedStatementRollsBackWithAutoCommit();
    void withoutAutoCommitStatementsShareOneTransaction();
    void refusedStatementKeepsTransactionWithoutAutoCommit();
    void commitWithoutTransactionIsRefused();
    void startWhileActiveJoinsSilently();
    void startOnClosedConnectionOpensIt();
    void transactionEventsUpdateTheFrame_data();
    void transactionEventsUpdateTheFrame();
    void reportsTheRowsAStatementChanged_data();
    void reportsTheRowsAStatementChanged();

    void listsTablesAndViews();
    void listingKeepsConnectionStateAsFound();
};

void TestIbDatabase::namesAndLiterals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name1");
    QTest::addColumn<QString>("name3");
    QTest::addColumn<QString>("literal1");
    QTest::addColumn<QString>("literal3");
    QTest::newRow("plain") << "T_1$X" << "T_1$X" << "T_1$X" << "\"T_1$X\"" << "'T_1$X'";
    QTest::newRow("lower case") << "t1" << "t1" << "\"t1\"" << "\"t1\"" << "'t1'";
    QTest::newRow("mixed case, blank")
        << "Customer Orders" << "Customer Orders" << "\"Customer Orders\""
        << "\"Customer Orders\"" << "'Customer Orders'";
    QTest::newRow("reserved word") << "ORDER" << "ORDER" << "\"ORDER\"" << "\"ORDER\""
                                   << "'ORDER'";
    QTest::newRow("leading digit") << "1A" << "1A" << "\"1A\"" << "\"1A\"" << "'1A'";
    QTest::newRow("leading underscore") << "_A" << "_A" << "\"_A\"" << "\"_A\"" << "'_A'";
    QTest::newRow("non-ASCII") << "PREÇO" << "PREÇO" << "\"PREÇO\"" << "\"PREÇO\""
                               << "'PREÇO'";
    QTest::newRow("quotes") << "a\"b'c" << "a\"b'c" << "\"a\"\"b'c\"" << "\"a\"\"b'c\""
                            << "'a\"b''c'";
    QTest::newRow("system name") << "RDB$1" << "RDB$1" << "RDB$1" << "\"RDB$1\"" << "'RDB$1'";
}

void TestIbDatabase::namesAndLiterals()
{
    QFETCH(QString, text);
    QFETCH(QString, name1);
    QFETCH(QString, name3);
    QFETCH(QString, literal1);
    QFETCH(QString, literal3);
    QCOMPARE(SqlLiteral::name(text, 1), name1);
    QCOMPARE(SqlLiteral::name(text, 3), name3);
    QCOMPARE(SqlLiteral::string(text, 1), literal1);
    QCOMPARE(SqlLiteral::string(text, 3), literal3);
}

void TestIbDatabase::statementsSpeakTheDatabasesDialect_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("half");
    // Dialect 1 divides in floating point; the integer column rounds 3.5 up.
    QTest::newRow("dialect 1") << 1 << "4";
    QTest::newRow("dialect 3") << 3 << "3";
}

// The tool's own statements are compiled in the database's dialect, which
// decides what 7 / 2 stores.
void TestIbDatabase::statementsSpeakTheDatabasesDialect()
{
    QFETCH(int, dialect);
    QFETCH(QString, half);
    TestSession session(true, dialect);
    session.db.execute("CREATE TABLE T (N INTEGER, V VARCHAR(20))");
    QCOMPARE(session.ib()->statementDialect(), dialect);
    session.ib()->ExecuteStatement("INSERT INTO T (N) VALUES (7 / 2)", true);
    QCOMPARE(session.db.scalar("SELECT N FROM T"), half);
    const QString literal = session.ib()->sqlString("It's \"x\"");
    session.ib()->ExecuteStatement("UPDATE T SET V = " + literal, true);
    QCOMPARE(session.db.scalar("SELECT V FROM T"), "It's \"x\"");
    session.ib()->Close();
    QCOMPARE(session.ib()->statementDialect(), 1);
}

void TestIbDatabase::splitsAndJoinsLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line") << "DROP EXCEPTION E1" << QStringList{"DROP EXCEPTION E1"};
    QTest::newRow("mixed ends") << "a\rb\nc\r\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("trailing break") << "a\r\n" << QStringList{"a"};
    QTest::newRow("only a break") << "\r\n" << QStringList{""};
    QTest::newRow("blank lines kept") << "a\n\nb" << QStringList{"a", "", "b"};
    QTest::newRow("ends at NUL") << QStringLiteral("a\nb") + QChar(0) + QStringLiteral("c")
                                 << QStringList{"a", "b"};
}

void TestIbDatabase::splitsAndJoinsLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(StatementLines::split(text), lines);
    QString joined;
    for (const QString &line : lines)
        joined += line + "\r\n";
    QCOMPARE(StatementLines::join(lines), joined);
}

void TestIbDatabase::statusVectorWithoutErrorIsNoError()
{
    const ISC_STATUS vector[] = {1, 0, isc_arg_end};
    QVERIFY(!IbStatus::failed(vector));
    IbStatus::check(vector);
}

void TestIbDatabase::serverTextHasOneCarriageReturnPerLine()
{
    TestSession session;
    const QString message = failureOf<DatabaseError>(
        [&] { session.ib()->ExecuteStatement("DROP EXCEPTION NO_SUCH", true); });
    QVERIFY2(message.startsWith('\r'), qPrintable(message));
    QVERIFY(!message.endsWith('\r'));
    QVERIFY(!message.contains('\n'));
    const QStringList lines = message.mid(1).split('\r');
    QVERIFY2(lines.size() >= 2, qPrintable(message));
    QVERIFY(message.contains("NO_SUCH"));
}

void TestIbDatabase::serverTextHasNoMissingArguments_data()
{
    QTest::addColumn<QList<ISC_STATUS>>("vector");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole")
        << QList<ISC_STATUS>{isc_arg_gds, isc_no_meta_update, isc_arg_gds,
                             isc_dsql_alter_proc_failed, isc_arg_string, reinterpret_cast<ISC_STATUS>("P"),
                             isc_arg_end}
        << "\runsuccessful metadata update\rALTER PROCEDURE P failed";
    QTest::newRow("argument cut off")
        << QList<ISC_STATUS>{isc_arg_gds, isc_no_meta_update, isc_arg_gds,
                             isc_dsql_alter_proc_failed, isc_arg_end}
        << "\runsuccessful metadata update";
}

void TestIbDatabase::serverTextHasNoMissingArguments()
{
    QFETCH(QList<ISC_STATUS>, vector);
    QFETCH(QString, text);
    QCOMPARE(IbStatus::text(vector.constData()), text);
}

void TestIbDatabase::refusedProcedureTextIsWhole()
{
    // The error of a refused body fills more than the 20 words the client
    // hands back; its last line used to come back with "Missing arg" debris.
    TestSession session;
    session.db.execute("CREATE PROCEDURE P (A INTEGER) RETURNS (R INTEGER) AS BEGIN R = A; END");
    const QString message = failureOf<DatabaseError>([&] {
        session.ib()->ExecuteStatement("ALTER PROCEDURE P (A INTEGER) RETURNS (R INTEGER) AS\n"
                                       "BEGIN\n  R = NO_SUCH_COLUMN;\nEND",
                                       true);
    });
    QVERIFY2(!message.contains("Missing arg"), qPrintable(message));
    QVERIFY2(message.startsWith("\runsuccessful metadata update\r"), qPrintable(message));
    QVERIFY2(message.contains("NO_SUCH_COLUMN"), qPrintable(message));
}

void TestIbDatabase::singleLineStatementIsSentWithCrLf()
{
    TestSession session;
    session.db.execute("CREATE EXCEPTION E1 'x'");
    session.ib()->ExecuteStatement("DROP EXCEPTION E1", true);
    QCOMPARE(session.sent, QByteArrayList{"DROP EXCEPTION E1\r\n"});
    QVERIFY(!session.ib()->InTransaction());
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "0");
}

void TestIbDatabase::textOfOnlyALineBreakIsNotEmpty()
{
    TestSession session;
    const QString message =
        failureOf<DatabaseError>([&] { session.ib()->ExecuteStatement("\n", true); });
    QVERIFY2(message.startsWith('\r'), qPrintable(message));
    QCOMPARE(session.sent, QByteArrayList{"\r\n"});
}

void TestIbDatabase::emptyTextIsRefusedAndRolledBackWithAutoCommit()
{
    TestSession session;
    QCOMPARE(failureOf<GeneralError>([&] { session.ib()->ExecuteStatement(QString(), true); }),
             "Attempt to execute empty statement");
    QVERIFY(!session.ib()->InTransaction());
    QVERIFY(session.sent.isEmpty());

    QCOMPARE(failureOf<GeneralError>([&] { session.ib()->ExecuteStatement(QString(), false); }),
             "Attempt to execute empty statement");
    QVERIFY(session.ib()->InTransaction());
}

void TestIbDatabase::refusedStatementRollsBackWithAutoCommit()
{
    TestSession session;
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'one'", false);
    failureOf<DatabaseError>([&] { session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", true); });
    QVERIFY(!session.ib()->InTransaction());
    // The failure rolled back the earlier, uncommitted statement too.
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "0");
}

void TestIbDatabase::withoutAutoCommitStatementsShareOneTransaction()
{
    TestSession session(false);
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'one'", false);
    session.ib()->ExecuteStatement("CREATE EXCEPTION E2 'two'", false);
    QVERIFY(session.ib()->InTransaction());
    session.ib()->Rollback();
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "0");

    session.ib()->ExecuteStatement("CREATE EXCEPTION E3 'three'", false);
    session.ib()->Commit();
    QCOMPARE(session.db.column("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS"),
             QStringList{"E3"});
}

void TestIbDatabase::refusedStatementKeepsTransactionWithoutAutoCommit()
{
    TestSession session(false);
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'one'", false);
    failureOf<DatabaseError>([&] { session.ib()->ExecuteStatement("DROP EXCEPTION NONE", false); });
    QVERIFY(session.ib()->InTransaction());
    session.ib()->ExecuteStatement("CREATE EXCEPTION E2 'two'", false);
    session.ib()->Commit();
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "2");
}

void TestIbDatabase::commitWithoutTransactionIsRefused()
{
    TestSession session;
    QSignalSpy closed(session.ib(), &TIBDataBase::OnCloseTransaction);
    QCOMPARE(failureOf<GeneralError>([&] { session.ib()->Commit(); }),
             "Not active transaction for IB");
    QCOMPARE(failureOf<GeneralError>([&] { session.ib()->Rollback(); }),
             "Not active transaction for IB");
    QCOMPARE(closed.count(), 0);
}

void TestIbDatabase::startWhileActiveJoinsSilently()
{
    TestSession session;
    QSignalSpy started(session.ib(), &TIBDataBase::OnStartTransaction);
    session.ib()->StartTransaction();
    session.ib()->StartTransaction();
    QCOMPARE(started.count(), 1);
    session.ib()->Rollback();
}

void TestIbDatabase::startOnClosedConnectionOpensIt()
{
    TestSession session;
    session.ib()->Close();
    QVERIFY(!session.ib()->Connected());
    session.ib()->ExecuteStatement("CREATE GENERATOR G1", true);
    QVERIFY(session.ib()->Connected());
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'G1'"),
             "1");
}

void TestIbDatabase::transactionEventsUpdateTheFrame_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::addColumn<QString>("panelDuring");
    QTest::addColumn<QString>("panelAfter");
    QTest::newRow("auto-commit keeps AUTO") << true << "AUTO" << "AUTO";
    QTest::newRow("explicit shows TRANS") << false << "TRANS" << "";
}

void TestIbDatabase::transactionEventsUpdateTheFrame()
{
    QFETCH(bool, autoCommit);
    QFETCH(QString, panelDuring);
    QFETCH(QString, panelAfter);
    TestSession session(autoCommit);
    RecordingView view;
    session.dm.setTransactionView(&view);
    session.ib()->StartTransaction();
    QVERIFY(view.commitItems);
    QCOMPARE(view.panel, panelDuring);
    session.ib()->Commit();
    QVERIFY(!view.commitItems);
    QCOMPARE(view.panel, panelAfter);
    session.dm.setTransactionView(nullptr);
}

void TestIbDatabase::reportsTheRowsAStatementChanged_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("changed");
    QTest::addColumn<QString>("rowsAfter");
    // Waits for the server-call thread: start, prepare and run, commit; the
    // kinds that run immediately are prepared first to learn their kind.
    QTest::addColumn<int>("calls");
    for (const int dialect : {1, 3}) {
        const auto row = [dialect](const char *name) -> QTestData & {
            return QTest::addRow("%s, dialect %d", name, dialect) << dialect;
        };
        // The trigger's own row in LOG is no row the statement changed.
        row("update") << "UPDATE T SET N = N + 10 WHERE N > 1" << 2 << "1 12 13" << 3;
        row("update of nothing") << "UPDATE T SET N = 0 WHERE N > 100" << 0 << "1 2 3" << 3;
        row("insert") << "INSERT INTO T (N) VALUES (4)" << 1 << "1 2 3 4" << 3;
        row("insert from select") << "INSERT INTO T (N) SELECT N + 3 FROM T" << 3
                                  << "1 2 3 4 5 6" << 3;
        row("delete") << "DELETE FROM T" << 3 << "" << 3;
        row("DDL") << "CREATE EXCEPTION E1 'one'" << -1 << "1 2 3" << 3;
        row("block") << "EXECUTE BLOCK AS BEGIN DELETE FROM T WHERE N = 1; END" << -1 << "2 3"
                     << 4;
        row("returning") << "DELETE FROM T WHERE N = 3 RETURNING N" << -1 << "?" << 4;
    }
}

// A plain INSERT, UPDATE or DELETE tells how many rows it changed; anything
// else says it cannot, and every kind still does exactly what it says.
void TestIbDatabase::reportsTheRowsAStatementChanged()
{
    QFETCH(int, dialect);
    QFETCH(QString, statement);
    QFETCH(int, changed);
    QFETCH(QString, rowsAfter);
    QFETCH(int, calls);
    TestSession session(true, dialect);
    session.db.execute("CREATE TABLE T (N INTEGER)");
    session.db.execute("CREATE TABLE LOG (N INTEGER)");
    session.db.execute("CREATE TRIGGER T_AU FOR T AFTER UPDATE AS BEGIN "
                       "INSERT INTO LOG (N) VALUES (NEW.N); END");
    session.db.execute("INSERT INTO T (N) SELECT 1 FROM RDB$DATABASE UNION ALL "
                       "SELECT 2 FROM RDB$DATABASE UNION ALL SELECT 3 FROM RDB$DATABASE");
    session.ib()->ExecuteStatement("INSERT INTO LOG (N) VALUES (0)", true);
    QCOMPARE(session.ib()->changedRows(), 1);
    const quint64 before = ServerCall::callsStarted();
    try {
        session.ib()->ExecuteStatement(statement, true);
    } catch (const DatabaseError &) {
        // RETURNING needs an output area the tool's statements never give.
    }
    QCOMPARE(int(ServerCall::callsStarted() - before), calls);
    QCOMPARE(session.ib()->changedRows(), changed);
    if (rowsAfter != "?")
        QCOMPARE(session.db.column("SELECT N FROM T ORDER BY N").join(' '), rowsAfter);
    QCOMPARE(session.sent.size(), 2);
    QCOMPARE(session.sent.last(), (statement + "\r\n").toUtf8());
}

void TestIbDatabase::listsTablesAndViews()
{
    TestSession session;
    QStringList list{"stale"};
    session.ib()->ListTableNames(list, false, false);
    QVERIFY(list.isEmpty());

    session.db.execute({"CREATE TABLE T1 (A INTEGER)", "CREATE TABLE T2 (B INTEGER)",
                        "CREATE VIEW V1 AS SELECT A FROM T1"});
    session.ib()->ListTableNames(list, false, false);
    QCOMPARE(list, (QStringList{"T1", "T2"}));
    session.ib()->ListTableNames(list, true, false);
    QCOMPARE(list.size(), 3);
    QVERIFY(list.contains("V1"));
    session.ib()->ListTableNames(list, false, true);
    QVERIFY(list.contains("RDB$RELATIONS"));
    QVERIFY(!list.contains("V1"));
    session.ib()->ListViewNames(list);
    QCOMPARE(list, QStringList{"V1"});
}

void TestIbDatabase::listingKeepsConnectionStateAsFound()
{
    TestSession session;
    QStringList list;
    session.ib()->ListViewNames(list);
    QVERIFY(session.ib()->Connected());
    session.ib()->Close();
    session.ib()->ListTableNames(list, false, false);
    QVERIFY(!session.ib()->Connected());
}

QUORVEL_DATA_TEST_MAIN(TestIbDatabase)
#include "tst_ibdatabase.moc"
