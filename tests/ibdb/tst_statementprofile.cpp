#include "core/AppError.h"
#include "ibdb/AttachmentCounters.h"
#include "ibdb/ServerCall.h"
#include "ibdb/StatementPlan.h"
#include "ibdb/StatementProfile.h"
#include "ibdb/TIBDataBase.h"
#include "support/DataTestMain.h"
#include "support/IsqlScript.h"
#include "support/TestSession.h"

#include <QRegularExpression>

#include <memory>

namespace {

using Kind = TableCounts::Kind;

const QStringList kSchema{
    QStringLiteral("CREATE TABLE BIG (ID INTEGER NOT NULL PRIMARY KEY, V VARCHAR(10), "
                   "G INTEGER)"),
    QStringLiteral("CREATE TABLE SMALL (ID INTEGER NOT NULL PRIMARY KEY, BIG_ID INTEGER "
                   "REFERENCES BIG (ID))"),
    QStringLiteral("CREATE INDEX BIG_G ON BIG (G)"),
    QStringLiteral("CREATE VIEW VBIG AS SELECT ID, V FROM BIG WHERE G > 1"),
    QStringLiteral("CREATE PROCEDURE P RETURNS (X INTEGER) AS BEGIN FOR SELECT ID FROM BIG "
                   "INTO :X DO SUSPEND; END"),
    QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 10000) DO BEGIN "
                   "INSERT INTO BIG VALUES (:I, 'v', MOD(:I, 100)); I = I + 1; END END"),
    QStringLiteral("INSERT INTO SMALL SELECT ID, ID FROM BIG WHERE ID <= 20")};

qint64 count(const StatementProfile &profile, const QString &table, Kind kind)
{
    for (const StatementProfile::Table &t : profile.tables()) {
        if (t.name == table)
            return t.counts[kind];
    }
    return -1;
}

QStringList tableNames(const StatementProfile &profile)
{
    QStringList names;
    for (const StatementProfile::Table &t : profile.tables())
        names << t.name;
    names.sort();
    return names;
}

// What isql prints for the statement alone, with the setting given.
QByteArray isqlPlan(const TestDatabase &db, const char *setting, const QString &statement)
{
    const QByteArray script = QByteArray("SET PLANONLY ON;\nSET ") + setting
                              + " ON;\nSET TERM ^ ;\n" + statement.toUtf8() + "^\n";
    return IsqlScript::output(db, script);
}

QByteArray answer(std::initializer_list<int> bytes)
{
    QByteArray data;
    for (const int b : bytes)
        data.append(char(b));
    return data;
}

} // namespace

class TestStatementProfile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void runShowsPlansAndCounts_data();
    void runShowsPlansAndCounts();
    void planWithoutRunningRunsNothing();
    void plansEqualIsqls_data();
    void plansEqualIsqls();
    void otherWorkBetweenCallsIsNotCounted();
    void hostileAnswersParseSafely_data();
    void hostileAnswersParseSafely();
    void copiedTextHoldsEverything();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestStatementProfile::initTestCase()
{
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute(kSchema);
}

void TestStatementProfile::cleanupTestCase()
{
    m_session.reset();
}

void TestStatementProfile::runShowsPlansAndCounts_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("detailed");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<QStringList>("tables");
    const QStringList big{QStringLiteral("BIG")};
    QTest::newRow("full scan")
        << "EXECUTE BLOCK AS DECLARE N INTEGER; BEGIN SELECT COUNT(*) FROM BIG INTO :N; END"
        << "PLAN (BIG NATURAL)" << "Table \"BIG\" Full Scan" << "BIG" << int(Kind::NonIndexedReads)
        << qint64(10000) << big;
    QTest::newRow("primary key lookup")
        << "UPDATE BIG SET V = 'k' WHERE ID = 5" << "PLAN (BIG INDEX (RDB$PRIMARY1))"
        << "Index \"RDB$PRIMARY1\" Unique Scan" << "BIG" << int(Kind::IndexedReads)
        << qint64(1) << big;
    QTest::newRow("update of ten rows")
        << "UPDATE BIG SET V = 'u' WHERE ID BETWEEN 101 AND 110"
        << "PLAN (BIG INDEX (RDB$PRIMARY1))" << "Range Scan" << "BIG" << int(Kind::Updates)
        << qint64(10) << big;
    QTest::newRow("join")
        << "EXECUTE BLOCK AS DECLARE N INTEGER; BEGIN SELECT COUNT(*) FROM SMALL S JOIN BIG B "
           "ON B.ID = S.BIG_ID INTO :N; END"
        << "PLAN JOIN (S NATURAL, B INDEX (RDB$PRIMARY1))" << "Nested Loop Join (inner)"
        << "SMALL" << int(Kind::NonIndexedReads) << qint64(20)
        << QStringList{QStringLiteral("BIG"), QStringLiteral("SMALL")};
}

void TestStatementProfile::runShowsPlansAndCounts()
{
    QFETCH(QString, statement);
    QFETCH(QString, plan);
    QFETCH(QString, detailed);
    QFETCH(QString, table);
    QFETCH(int, kind);
    QFETCH(qint64, expected);
    QFETCH(QStringList, tables);
    StatementProfile profile;
    m_session->ib()->ExecuteStatement(statement, true, profile);
    profile.nameTables(m_session->ib()->connection());
    QCOMPARE(profile.plan().plan, plan);
    QVERIFY2(profile.plan().detailed.contains(detailed), qPrintable(profile.plan().detailed));
    QCOMPARE(count(profile, table, Kind(kind)), expected);
    // The first run of a statement may read the catalogue's own tables too.
    const QStringList names = tableNames(profile);
    QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^(?!RDB\\$)"))), tables);
    QVERIFY(profile.counters().fetches > 0);
    QVERIFY(profile.times().executeNs > 0);
    QCOMPARE(profile.stateText(), QStringLiteral("Final"));
    // The statement ran as it did before there were figures.
    QVERIFY(!m_session->ib()->InTransaction());
}

void TestStatementProfile::planWithoutRunningRunsNothing()
{
    StatementProfile profile;
    m_session->ib()->PlanStatement(QStringLiteral("DELETE FROM BIG WHERE G = 7"), profile);
    QCOMPARE(profile.plan().plan, QStringLiteral("PLAN (BIG INDEX (BIG_G))"));
    QCOMPARE(profile.stateText(), QStringLiteral("Not run: plans only"));
    QVERIFY(profile.tables().isEmpty());
    QVERIFY(!m_session->ib()->InTransaction());
    QCOMPARE(m_session->db.scalar(QStringLiteral("SELECT COUNT(*) FROM BIG WHERE G = 7")),
             QStringLiteral("100"));
    // A text the server refuses is its error, as a run would show it.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, m_session->ib()->PlanStatement(
                                                QStringLiteral("DELETE FROM NO_SUCH"), profile));
}

void TestStatementProfile::plansEqualIsqls_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("natural") << "SELECT * FROM BIG";
    QTest::newRow("index") << "SELECT * FROM BIG WHERE ID = 1";
    QTest::newRow("join") << "SELECT * FROM BIG B JOIN SMALL S ON S.BIG_ID = B.ID";
    QTest::newRow("sort") << "SELECT * FROM BIG ORDER BY V";
    QTest::newRow("merge") << "SELECT * FROM BIG B JOIN SMALL S ON B.G = S.BIG_ID "
                              "PLAN MERGE (SORT (B NATURAL), SORT (S NATURAL))";
    QTest::newRow("hash") << "SELECT * FROM BIG B JOIN SMALL S ON B.G + 0 = S.BIG_ID + 0";
    QTest::newRow("subquery") << "SELECT * FROM BIG WHERE ID IN (SELECT BIG_ID FROM SMALL)";
    QTest::newRow("procedure") << "SELECT * FROM P";
    QTest::newRow("view") << "SELECT * FROM VBIG";
    QTest::newRow("update") << "UPDATE BIG SET V = 'x' WHERE G = 3";
    QTest::newRow("execute block")
        << "EXECUTE BLOCK RETURNS (X INTEGER) AS BEGIN SELECT COUNT(*) FROM BIG INTO :X; "
           "SUSPEND; END";
}

void TestStatementProfile::plansEqualIsqls()
{
    QFETCH(QString, statement);
    StatementProfile profile;
    m_session->ib()->PlanStatement(statement, profile);
    // isql needs the database to itself.
    m_session->ib()->Close();
    const QByteArray plan = isqlPlan(m_session->db, "PLAN", statement);
    const QByteArray explained = isqlPlan(m_session->db, "EXPLAIN", statement);
    m_session->ib()->Open();
    QVERIFY(!profile.plan().plan.isEmpty());
    QCOMPARE(QByteArray('\n' + profile.plan().plan.toUtf8() + '\n'), plan);
    QCOMPARE(QByteArray('\n' + profile.plan().detailed.toUtf8() + '\n'), explained);
}

// A window's query between two batches of another statement reads tables
// too; those reads are its own.
void TestStatementProfile::otherWorkBetweenCallsIsNotCounted()
{
    TIBDataBase *ib = m_session->ib();
    const isc_db_handle attachment = ib->connection().driver()->handle().value<isc_db_handle>();
    StatementProfile profile;
    profile.beginCall(attachment);
    ib->ExecuteStatement(QStringLiteral("UPDATE SMALL SET BIG_ID = BIG_ID"), true);
    profile.endCall(attachment);
    ib->ExecuteStatement(QStringLiteral("UPDATE BIG SET V = V WHERE ID <= 50"), true);
    const quint64 calls = ServerCall::callsStarted();
    profile.beginCall(attachment);
    profile.endCall(attachment);
    // Nothing ran inside the second pair, so it asked the server nothing.
    QCOMPARE(ServerCall::callsStarted(), calls + 1);
    profile.nameTables(ib->connection());
    QCOMPARE(count(profile, QStringLiteral("SMALL"), Kind::Updates), qint64(20));
    QCOMPARE(count(profile, QStringLiteral("BIG"), Kind::Updates), qint64(-1));
}

void TestStatementProfile::hostileAnswersParseSafely_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<qint64>("reads");
    QTest::addColumn<int>("tables");
    QTest::addColumn<qint64>("tableReads"); // non-indexed, all tables together
    QTest::newRow("plan and end")
        << answer({isc_info_sql_get_plan, 3, 0, '\n', 'P', 'X', isc_info_end}) << "PX" << false
        << qint64(0) << 0 << qint64(0);
    QTest::newRow("truncated")
        << answer({isc_info_sql_get_plan, 1, 0, 'A', isc_info_truncated}) << "A" << true
        << qint64(0) << 0 << qint64(0);
    QTest::newRow("length past the end")
        << answer({isc_info_sql_get_plan, 50, 0, 'A'}) << "" << true << qint64(0) << 0
        << qint64(0);
    QTest::newRow("reads and two tables, odd tail ignored")
        << answer({isc_info_reads, 4, 0, 7, 0, 0, 0, isc_info_read_seq_count, 13, 0, 128, 0, 5,
                   0, 0, 0, 129, 0, 9, 0, 0, 0, 1, isc_info_end})
        << "" << false << qint64(7) << 2 << qint64(14);
    // A count past 2^31 takes eight bytes, with no length of its own.
    QTest::newRow("a table's count in eight bytes between two in four")
        << answer({isc_info_read_seq_count, 22, 0, 128, 0, 5, 0, 0, 0, 129, 0, 3, 0, 0, 0, 1, 0,
                   0, 0, 130, 0, 1, 0, 0, 0, isc_info_end})
        << "" << false << qint64(0) << 3 << qint64(5 + 4294967299LL + 1);
    QTest::newRow("count length past the end")
        << answer({isc_info_read_seq_count, 100, 0, 128, 0}) << "" << true << qint64(0) << 0
        << qint64(0);
    QTest::newRow("empty") << QByteArray() << "" << false << qint64(0) << 0 << qint64(0);
}

void TestStatementProfile::hostileAnswersParseSafely()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, plan);
    QFETCH(bool, truncated);
    QFETCH(qint64, reads);
    QFETCH(int, tables);
    QFETCH(qint64, tableReads);
    bool cut = false;
    QCOMPARE(StatementPlan::fromAnswer(bytes.constData(), int(bytes.size()), &cut).plan, plan);
    if (!bytes.startsWith(char(isc_info_reads)) && !bytes.startsWith(char(isc_info_read_seq_count)))
        QCOMPARE(cut, truncated);
    const AttachmentCounters counters =
        AttachmentCounters::fromAnswer(bytes.constData(), int(bytes.size()));
    QCOMPARE(counters.reads, reads);
    QCOMPARE(int(counters.tables.size()), tables);
    qint64 sum = 0;
    for (const TableCounts &counts : counters.tables)
        sum += counts[TableCounts::NonIndexedReads];
    QCOMPARE(sum, tableReads);
}

void TestStatementProfile::copiedTextHoldsEverything()
{
    StatementProfile profile;
    m_session->ib()->ExecuteStatement(QStringLiteral("UPDATE SMALL SET BIG_ID = 1 WHERE ID = 1"),
                                      true, profile);
    profile.nameTables(m_session->ib()->connection());
    profile.times() = StatementTimes{1500000, 2250000, 0};
    const QStringList lines = profile.text().split(u'\n');
    QCOMPARE(lines.mid(0, 6),
             (QStringList{"Plan", "PLAN (SMALL INDEX (RDB$PRIMARY2))", "", "Detailed plan",
                          "Select Expression", "    -> Filter"}));
    QVERIFY(lines.contains("Prepare 1.500 ms, execute 2.250 ms"));
    QVERIFY(lines.contains("Final"));
    QVERIFY(lines.contains("Table\tNon-indexed reads\tIndexed reads\tInserts\tUpdates\tDeletes"
                           "\tBackouts\tPurges\tExpunges"));
    QVERIFY(lines.contains("SMALL\t0\t1\t0\t1\t0\t0\t0\t0"));
}

QUORVEL_DATA_TEST_MAIN(TestStatementProfile)
#include "tst_statementprofile.moc"
