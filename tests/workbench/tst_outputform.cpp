#include "core/AppError.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "uikit/RelationNameList.h"
#include "workbench/TOutputForm.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSqlQueryModel>
#include <QTableView>

class TstOutputForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void relationNamesLeaveOutSystemRelations();
    void selectOpensWindowWithRowsAndText();
    void sameTextTwiceOpensTwoWindows();
    void largeResultFetchesFirstBatchOnly();
    void rowCountSaysWhenAllRowsAreFetched_data();
    void rowCountSaysWhenAllRowsAreFetched();
    void blockReadsItsOwnVariables();
    void failingTextLeavesNoWindow_data();
    void failingTextLeavesNoWindow();
    void queriesSpeakTheDatabasesDialect_data();
    void queriesSpeakTheDatabasesDialect();

private:
    int openWindows() const { return int(shell->area.subWindowList().size()); }

    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestShell> shell;
};

void TstOutputForm::init()
{
    session = std::make_unique<TestSession>();
    session->db.execute({QStringLiteral("CREATE TABLE T (A INTEGER, B VARCHAR(10))"),
                         QStringLiteral("CREATE VIEW V (A) AS SELECT A FROM T"),
                         QStringLiteral("CREATE PROCEDURE P_ADD RETURNS (N INTEGER) AS BEGIN "
                                        "INSERT INTO T VALUES (9, 'nine'); N = 9; END"),
                         QStringLiteral("INSERT INTO T VALUES (1, 'one')"),
                         QStringLiteral("INSERT INTO T VALUES (2, 'two')")});
    shell = std::make_unique<TestShell>();
}

void TstOutputForm::cleanup()
{
    shell.reset();
    session.reset();
}

void TstOutputForm::relationNamesLeaveOutSystemRelations()
{
    QStringList names = RelationNameList();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("T"), QStringLiteral("V")}));
}

void TstOutputForm::selectOpensWindowWithRowsAndText()
{
    const QString text = QStringLiteral("SELECT A, B\r\nFROM T\r\nORDER BY A\r\n");
    OpenAsResultSet(text);
    auto *form = shell->last<TOutputForm>();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("SQL Output"));
    QCOMPARE(form->OutSQL->rowCount(), 2);
    QCOMPARE(form->OutSQL->headerData(0, Qt::Horizontal).toString(), QStringLiteral("A"));
    QCOMPARE(form->OutSQL->headerData(1, Qt::Horizontal).toString(), QStringLiteral("B"));
    QCOMPARE(form->OutSQL->data(form->OutSQL->index(1, 1)).toString(), QStringLiteral("two"));
    QCOMPARE(form->StmStrings->toPlainText(), QStringLiteral("SELECT A, B\nFROM T\nORDER BY A\n"));
    QVERIFY(form->StmStrings->isReadOnly());
    QVERIFY(!(form->OutSQL->flags(form->OutSQL->index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(form->GridResult->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The query ran beside the tool's transaction, not in it.
    QVERIFY(!session->ib()->InTransaction());
    QVERIFY(session->sent.isEmpty());
}

void TstOutputForm::sameTextTwiceOpensTwoWindows()
{
    OpenAsResultSet(QStringLiteral("SELECT * FROM T"));
    auto *first = shell->last<TOutputForm>();
    OpenAsResultSet(QStringLiteral("SELECT * FROM T"));
    auto *second = shell->last<TOutputForm>();
    QVERIFY(first && second && first != second);
    QCOMPARE(openWindows(), 2);
    QCOMPARE(second->OutSQL->rowCount(), 2);
}

void TstOutputForm::largeResultFetchesFirstBatchOnly()
{
    session->db.execute({QStringLiteral("CREATE TABLE BIG (N INTEGER)"),
                         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                                        "WHILE (I < 20000) DO BEGIN "
                                        "INSERT INTO BIG VALUES (:I); I = I + 1; END END")});
    OpenAsResultSet(QStringLiteral("SELECT N FROM BIG"));
    QSqlQueryModel *rows = shell->last<TOutputForm>()->OutSQL;
    QVERIFY(rows->rowCount() > 0);
    QVERIFY(rows->rowCount() < 20000);
    QVERIFY(rows->canFetchMore());
    QCOMPARE(shell->last<TOutputForm>()->RowCount->text(),
             QStringLiteral("%1 rows fetched, more to come").arg(rows->rowCount()));
    while (rows->canFetchMore())
        rows->fetchMore();
    QCOMPARE(rows->rowCount(), 20000);
    QCOMPARE(shell->last<TOutputForm>()->RowCount->text(), QStringLiteral("All 20000 rows fetched"));
}

void TstOutputForm::rowCountSaysWhenAllRowsAreFetched_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("none") << 0 << "No rows" << "No rows";
    QTest::newRow("one") << 1 << "All 1 row fetched" << "All 1 row fetched";
    QTest::newRow("a few") << 3 << "All 3 rows fetched" << "All 3 rows fetched";
    // The grid's first block ends on the last row: only the next fetch finds
    // the end, and it adds no row to tell of it.
    QTest::newRow("one block") << 256 << "256 rows fetched, more to come"
                               << "All 256 rows fetched";
    QTest::newRow("a block and one") << 257 << "256 rows fetched, more to come"
                                     << "All 257 rows fetched";
}

void TstOutputForm::rowCountSaysWhenAllRowsAreFetched()
{
    QFETCH(int, rows);
    QFETCH(QString, first);
    QFETCH(QString, last);
    session->db.execute({QStringLiteral("CREATE TABLE R (N INTEGER)"),
                         QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                                        "WHILE (I < %1) DO BEGIN "
                                        "INSERT INTO R VALUES (:I); I = I + 1; END END")
                             .arg(rows)});
    OpenAsResultSet(QStringLiteral("SELECT N FROM R"));
    auto *form = shell->last<TOutputForm>();
    QCOMPARE(form->RowCount->text(), first);
    QCOMPARE(form->RowCount->accessibleName(), QStringLiteral("Row count"));
    // Scrolled to the bottom, the grid asks for the rest.
    QScrollBar *scroll = form->GridResult->verticalScrollBar();
    scroll->setRange(0, 10);
    scroll->setValue(10);
    QTRY_COMPARE(form->RowCount->text(), last);
}

// An EXECUTE BLOCK that returns rows is a query; its `:N` is the block's
// variable, not a value the window would have to supply.
void TstOutputForm::blockReadsItsOwnVariables()
{
    ScriptedPrompts prompts;
    Command::run([] {
        OpenAsResultSet(QStringLiteral("EXECUTE BLOCK RETURNS (N VARCHAR(10)) AS BEGIN\r\n"
                                       "FOR SELECT B FROM T ORDER BY A INTO :N DO SUSPEND;\r\n"
                                       "END\r\n"));
    });
    QCOMPARE(prompts.errors(), QStringList());
    auto *form = shell->last<TOutputForm>();
    QVERIFY(form);
    QCOMPARE(form->OutSQL->rowCount(), 2);
    QCOMPARE(form->OutSQL->data(form->OutSQL->index(1, 0)).toString(), QStringLiteral("two"));
}

void TstOutputForm::failingTextLeavesNoWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QString() << QStringLiteral("Attempt to execute empty statement.");
    QTest::newRow("unknown table") << QStringLiteral("SELECT * FROM NOPE")
                                   << QStringLiteral("Table unknown");
    QTest::newRow("update") << QStringLiteral("UPDATE T SET A = 7")
                            << QStringLiteral("Error creating cursor handle.");
    QTest::newRow("ddl") << QStringLiteral("CREATE TABLE X (A INTEGER)")
                         << QStringLiteral("Error creating cursor handle.");
    // Result columns of their own, yet they change rows.
    QTest::newRow("update returning") << QStringLiteral("UPDATE T SET A = 7 RETURNING A")
                                      << QStringLiteral("Error creating cursor handle.");
    QTest::newRow("insert returning") << QStringLiteral("INSERT INTO T VALUES (3, 'x') RETURNING A")
                                      << QStringLiteral("Error creating cursor handle.");
    QTest::newRow("delete returning") << QStringLiteral("DELETE FROM T WHERE A = 1 RETURNING A")
                                      << QStringLiteral("Error creating cursor handle.");
    QTest::newRow("execute procedure") << QStringLiteral("EXECUTE PROCEDURE P_ADD")
                                       << QStringLiteral("Error creating cursor handle.");
}

void TstOutputForm::failingTextLeavesNoWindow()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    ScriptedPrompts prompts;
    Command::run([&] { OpenAsResultSet(text); });
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().endsWith(QLatin1Char('.')));
    QVERIFY2(prompts.errors().first().contains(error), qPrintable(prompts.errors().first()));
    QCOMPARE(openWindows(), 0);
    QVERIFY(!shell->last<TOutputForm>());
    // Nothing the refused text said was carried out.
    QCOMPARE(session->db.column(QStringLiteral("SELECT A FROM T ORDER BY A")),
             (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(session->db.scalar(QStringLiteral(
                 "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'X'")),
             QStringLiteral("0"));
}

void TstOutputForm::queriesSpeakTheDatabasesDialect_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("value");
    QTest::newRow("dialect 1, string") << 1 << "SELECT \"B\" FROM T ORDER BY A" << "B";
    QTest::newRow("dialect 1, division") << 1 << "SELECT 7/2 FROM T" << "3.5";
    QTest::newRow("dialect 3, name") << 3 << "SELECT \"B\" FROM T ORDER BY A" << "one";
    QTest::newRow("dialect 3, division") << 3 << "SELECT 7/2 FROM T" << "3";
}

// What a typed query means follows the database's dialect: "B" is a text
// in dialect 1 and a column in dialect 3.
void TstOutputForm::queriesSpeakTheDatabasesDialect()
{
    QFETCH(int, dialect);
    QFETCH(QString, query);
    QFETCH(QString, value);
    shell.reset();
    session.reset();
    session = std::make_unique<TestSession>(true, dialect);
    session->db.execute({QStringLiteral("CREATE TABLE T (A INTEGER, B VARCHAR(10))"),
                         QStringLiteral("INSERT INTO T VALUES (1, 'one')")});
    shell = std::make_unique<TestShell>();
    ScriptedPrompts prompts;
    OpenAsResultSet(query);
    QCOMPARE(prompts.errors(), QStringList());
    auto *form = shell->last<TOutputForm>();
    QVERIFY(form);
    QCOMPARE(form->OutSQL->data(form->OutSQL->index(0, 0)).toString(), value);
}

QUORVEL_TEST_MAIN(TstOutputForm)
#include "tst_outputform.moc"
