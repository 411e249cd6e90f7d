#include "ibdb/StatementProfile.h"
#include "ibdb/TIBDataBase.h"
#include "support/TestMain.h"
#include "support/TestSession.h"

#include <memory>

// The plans and counts come from a Firebird 4 server as from a Firebird 3
// one, in that server's own words.
class TestFb4Plans : public QObject
{
    Q_OBJECT

private slots:
    void plansAndCountsComeOut();
};

void TestFb4Plans::plansAndCountsComeOut()
{
    if (TestDatabase::firebird4().folder.isEmpty())
        QSKIP("no Firebird 4 server named (QUORVEL_FB4_FOLDER)");
    TestSession session(TestDatabase::firebird4(), 3);
    session.db.execute(
        {QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N INT128)"),
         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 300) DO "
                        "BEGIN INSERT INTO T VALUES (:I, :I); I = I + 1; END END")});
    StatementProfile planned;
    session.ib()->PlanStatement(QStringLiteral("SELECT * FROM T WHERE ID = 3"), planned);
    QCOMPARE(planned.plan().plan, QStringLiteral("PLAN (T INDEX (RDB$PRIMARY1))"));
    QVERIFY2(planned.plan().detailed.contains(
                 QStringLiteral("-> Index \"RDB$PRIMARY1\" Unique Scan")),
             qPrintable(planned.plan().detailed));

    StatementProfile ran;
    session.ib()->ExecuteStatement(
        QStringLiteral("EXECUTE BLOCK AS DECLARE S INT128; BEGIN SELECT SUM(N) FROM T INTO :S; "
                       "END"),
        true, ran);
    ran.nameTables(session.ib()->connection());
    QCOMPARE(ran.plan().plan, QStringLiteral("PLAN (T NATURAL)"));
    QVERIFY(ran.plan().detailed.contains(QStringLiteral("Table \"T\" Full Scan")));
    QCOMPARE(ran.tables().size(), 1);
    QCOMPARE(ran.tables().first().name, QStringLiteral("T"));
    QCOMPARE(ran.tables().first().counts[TableCounts::NonIndexedReads], qint64(300));
}

QUORVEL_TEST_MAIN(TestFb4Plans)
#include "tst_fb4plans.moc"
