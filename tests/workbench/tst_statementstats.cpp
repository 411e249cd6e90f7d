#include "controls/StatementEditor.h"
#include "controls/TableReadsChart.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TIBDataBase.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "workbench/StatementStatsPane.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSQLExprForm.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableWidget>

namespace {

constexpr int kRows = 10000;

// The row of a table in the pane: its name and eight counts.
QStringList paneRow(const StatementStatsPane *pane, const QString &table)
{
    for (int row = 0; row < pane->Tables->rowCount(); ++row) {
        if (pane->Tables->item(row, 0)->text() != table)
            continue;
        QStringList cells;
        for (int column = 0; column < pane->Tables->columnCount(); ++column)
            cells << pane->Tables->item(row, column)->text();
        return cells;
    }
    return {};
}

} // namespace

class TstStatementStats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void runShowsThePaneWithItsFigures();
    void showPlanRunsNothing();
    void resultWindowCountsPerBatchUntilFinal();
    void barsShareOneScale_data();
    void barsShareOneScale();

private:
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestShell> shell;
};

void TstStatementStats::initTestCase()
{
    session = std::make_unique<TestSession>(true, 3);
    session->db.execute(
        {QStringLiteral("CREATE TABLE BIG (ID INTEGER NOT NULL PRIMARY KEY, V VARCHAR(10))"),
         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO "
                        "BEGIN INSERT INTO BIG VALUES (:I, 'v'); I = I + 1; END END")
             .arg(kRows)});
    shell = std::make_unique<TestShell>();
}

void TstStatementStats::cleanupTestCase()
{
    shell.reset();
    session.reset();
}

void TstStatementStats::runShowsThePaneWithItsFigures()
{
    TSQLExprForm *form = TSQLExprForm::open();
    QVERIFY(!form->Stats->isVisibleTo(form));
    form->ExecSql->setPlainText(QStringLiteral("UPDATE BIG SET V = 'w' WHERE ID <= 10"));
    form->execbtnClick();
    StatementStatsPane *pane = form->Stats;
    QVERIFY(pane->isVisibleTo(form));
    QCOMPARE(form->RunResult->text(), QStringLiteral("Statement executed, 10 rows changed"));
    QCOMPARE(pane->PlanText->toPlainText(), QStringLiteral("PLAN (BIG INDEX (RDB$PRIMARY1))"));
    // The editor's own face, wherever the window's font puts its size.
    QCOMPARE(pane->PlanText->font(), form->ExecSql->font());
    QCOMPARE(pane->DetailedPlanText->font(), form->ExecSql->font());
    QCOMPARE(paneRow(pane, QStringLiteral("BIG")),
             (QStringList{"BIG", "0", "10", "0", "10", "0", "0", "0", "0"}));
    QVERIFY(pane->Figures->text().split(u'\n').contains(QStringLiteral("Final")));
    // Most rows read first: the catalogue's few of a first run come after.
    QCOMPARE(pane->Chart->bars().first().label, QStringLiteral("BIG"));
    QCOMPARE(pane->Chart->bars().first().indexed, qint64(10));
    QCOMPARE(pane->Chart->bars().size(), pane->Tables->rowCount());
    pane->CopyBtn->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), pane->text());
    QVERIFY(pane->text().contains(QStringLiteral("BIG\t0\t10\t0\t10\t0\t0\t0\t0")));
    form->close();
}

void TstStatementStats::showPlanRunsNothing()
{
    TSQLExprForm *form = TSQLExprForm::open();
    form->ExecSql->setPlainText(QStringLiteral("DELETE FROM BIG"));
    form->PlanBtnClick();
    QCOMPARE(form->Stats->currentWidget(), form->Stats->PlanText);
    QCOMPARE(form->Stats->PlanText->toPlainText(), QStringLiteral("PLAN (BIG NATURAL)"));
    QCOMPARE(form->Stats->DetailedPlanText->toPlainText(),
             QStringLiteral("Select Expression\n    -> Table \"BIG\" Full Scan"));
    QCOMPARE(form->Stats->Tables->rowCount(), 0);
    QVERIFY(form->RunResult->text().isEmpty());
    QCOMPARE(session->db.scalar(QStringLiteral("SELECT COUNT(*) FROM BIG")),
             QString::number(kRows));
    form->close();
}

// The grid fetches as it scrolls; the pane follows each batch, asking the
// server for the counts once a batch, and says when the last row is in.
void TstStatementStats::resultWindowCountsPerBatchUntilFinal()
{
    OpenAsResultSet(QStringLiteral("SELECT * FROM BIG"));
    auto *form = shell->last<TOutputForm>();
    QVERIFY(form);
    StatementStatsPane *pane = form->Stats;
    QCOMPARE(pane->PlanText->toPlainText(), QStringLiteral("PLAN (BIG NATURAL)"));
    QCOMPARE(pane->DetailedPlanText->toPlainText(),
             QStringLiteral("Select Expression\n    -> Table \"BIG\" Full Scan"));
    const int first = form->OutSQL->rowCount();
    QVERIFY(first < kRows);
    QVERIFY(pane->Figures->text().contains(
        QStringLiteral("So far: %1 rows fetched, more to come").arg(first)));
    int batches = 0;
    const quint64 before = ServerCall::callsStarted();
    while (form->OutSQL->canFetchMore()) {
        form->OutSQL->fetchMore();
        ++batches;
    }
    // One fetch and at most one count per batch, never one per row.
    QVERIFY2(ServerCall::callsStarted() - before <= quint64(2 * batches),
             qPrintable(QString::number(ServerCall::callsStarted() - before)));
    QVERIFY(pane->Figures->text().contains(
        QStringLiteral("Final: all %1 rows fetched").arg(kRows)));
    QCOMPARE(paneRow(pane, QStringLiteral("BIG")).value(1), QString::number(kRows));
    QCOMPARE(form->profile().tables().first().name, QStringLiteral("BIG"));
    QVERIFY(form->profile().times().fetchNs > 0);
    form->close();
}

void TstStatementStats::barsShareOneScale_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<qint64>("largest");
    QTest::addColumn<int>("room");
    QTest::addColumn<int>("length");
    QTest::newRow("largest fills the room") << qint64(500) << qint64(500) << 200 << 200;
    QTest::newRow("half") << qint64(250) << qint64(500) << 200 << 100;
    QTest::newRow("one read of millions still shows") << qint64(1) << qint64(5000000) << 200 << 1;
    QTest::newRow("none") << qint64(0) << qint64(500) << 200 << 0;
    QTest::newRow("no room") << qint64(5) << qint64(5) << 0 << 0;
    QTest::newRow("beyond 32 bits")
        << qint64(6000000000) << qint64(12000000000) << 300 << 150;
}

void TstStatementStats::barsShareOneScale()
{
    QFETCH(qint64, value);
    QFETCH(qint64, largest);
    QFETCH(int, room);
    QFETCH(int, length);
    QCOMPARE(TableReadsChart::barLength(value, largest, room), length);
}

QUORVEL_TEST_MAIN(TstStatementStats)
#include "tst_statementstats.moc"
