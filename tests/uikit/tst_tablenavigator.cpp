#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "support/Failures.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "uikit/TableNavigator.h"

#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlTableModel>
#include <QTableView>

using Button = TDBNavigator::Button;
using State = TableNavigator::State;

class TstTableNavigator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void closedTableRefusesCommands_data();
    void closedTableRefusesCommands();
    void buttonsFollowCursorAndState();
    void editPostedWhenLeavingRow();
    void serverRefusalKeepsRowInEdit();
    void insertPostsNewRowAndFindsIt();
    void deleteAsksAndRemoves_data();
    void deleteAsksAndRemoves();
    void largeTableOpensWithFirstBatch();
    void rowDeletedElsewhereIsNotSoughtToTheEnd();
    void memoFollowsCurrentRow();
    void memoTypingSurvivesMissingField();
    void readOnlyGivesReason();

private:
    QStringList stored() const
    {
        return session->db.column(QStringLiteral("SELECT ID || '=' || NAME FROM T ORDER BY ID"));
    }
    bool enabled(Button button) const { return navigator->button(button)->isEnabled(); }
    // 5,003 rows: many more than the grid reads at first.
    void fillLargeTable() const
    {
        session->db.execute(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 100; BEGIN WHILE (I < 5100) DO BEGIN "
            "INSERT INTO T VALUES (:I, 'n'); I = I + 1; END END"));
    }

    std::unique_ptr<TestSession> session;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<QWidget> form;
    TDBNavigator *navigator = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
    TableNavigator *table = nullptr;
};

void TstTableNavigator::init()
{
    session = std::make_unique<TestSession>();
    session->db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                        "NAME VARCHAR(20), CHECK (NAME <> 'bad'))"),
                         QStringLiteral("INSERT INTO T VALUES (1, 'one')"),
                         QStringLiteral("INSERT INTO T VALUES (2, 'two')"),
                         QStringLiteral("INSERT INTO T VALUES (3, 'three')")});
    prompts = std::make_unique<ScriptedPrompts>();
    form = std::make_unique<QWidget>();
    navigator = new TDBNavigator(form.get());
    view = new QTableView(form.get());
    model = new QSqlTableModel(form.get(), QSqlDatabase::database(TDMSys::ibName()));
    table = new TableNavigator(navigator, view, form.get());
    table->setModel(model);
    form->show();
    model->setTable(QStringLiteral("T"));
    model->setSort(0, Qt::AscendingOrder);
}

void TstTableNavigator::cleanup()
{
    form.reset();
    prompts.reset();
    session.reset();
}

void TstTableNavigator::closedTableRefusesCommands_data()
{
    QTest::addColumn<Button>("button");
    for (Button button : {Button::First, Button::Next, Button::Insert, Button::Delete,
                          Button::Edit, Button::Post, Button::Refresh})
        QTest::newRow(qPrintable(TDBNavigator::hint(button))) << button;
}

void TstTableNavigator::closedTableRefusesCommands()
{
    QFETCH(Button, button);
    QCOMPARE(table->state(), State::Inactive);
    QCOMPARE(failureOf<DatabaseError>([&] { table->run(button); }),
             QStringLiteral("Cannot perform this operation on a closed dataset"));
    QVERIFY(!enabled(button));
}

void TstTableNavigator::buttonsFollowCursorAndState()
{
    table->open();
    QCOMPARE(table->state(), State::Browse);
    QCOMPARE(table->currentRow(), 0);
    QVERIFY(!enabled(Button::First) && !enabled(Button::Prior));
    QVERIFY(enabled(Button::Next) && enabled(Button::Last) && enabled(Button::Edit));
    QVERIFY(!enabled(Button::Post) && !enabled(Button::Cancel));
    navigator->button(Button::Last)->click();
    QCOMPARE(table->currentRow(), 2);
    QVERIFY(enabled(Button::First) && !enabled(Button::Next));
    navigator->button(Button::Edit)->click();
    QCOMPARE(table->state(), State::Edit);
    QVERIFY(enabled(Button::Post) && enabled(Button::Cancel) && !enabled(Button::Edit));
    navigator->button(Button::Cancel)->click();
    QCOMPARE(table->state(), State::Browse);
    QCOMPARE(prompts->errors(), QStringList());
}

void TstTableNavigator::editPostedWhenLeavingRow()
{
    table->open();
    table->setValue(QStringLiteral("NAME"), QStringLiteral("uno"));
    QCOMPARE(table->state(), State::Edit);
    QCOMPARE(stored().first(), QStringLiteral("1=one"));
    // The user moves the grid's cursor: the row left behind is written.
    view->setCurrentIndex(model->index(2, 1));
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(table->state(), State::Browse);
    QCOMPARE(table->currentRow(), 2);
    QCOMPARE(table->value(QStringLiteral("NAME")).toString(), QStringLiteral("three"));
    QCOMPARE(stored(), (QStringList{QStringLiteral("1=uno"), QStringLiteral("2=two"),
                                    QStringLiteral("3=three")}));
}

void TstTableNavigator::serverRefusalKeepsRowInEdit()
{
    table->open();
    table->next();
    table->setValue(QStringLiteral("NAME"), QStringLiteral("bad"));
    view->setCurrentIndex(model->index(0, 1));
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY2(prompts->errors().first().contains(QStringLiteral("CHECK")),
             qPrintable(prompts->errors().first()));
    QCOMPARE(table->state(), State::Edit);
    QCOMPARE(table->currentRow(), 1);
    QVERIFY(!failureOf<DatabaseError>([&] { table->post(); }).isEmpty());
    table->setValue(QStringLiteral("NAME"), QStringLiteral("good"));
    navigator->button(Button::Post)->click();
    QCOMPARE(table->state(), State::Browse);
    QCOMPARE(stored()[1], QStringLiteral("2=good"));
}

void TstTableNavigator::insertPostsNewRowAndFindsIt()
{
    table->open();
    navigator->button(Button::Insert)->click();
    QCOMPARE(table->state(), State::Insert);
    QCOMPARE(model->rowCount(), 4);
    table->setValue(QStringLiteral("ID"), 10);
    table->setValue(QStringLiteral("NAME"), QStringLiteral("ten"));
    table->post();
    QCOMPARE(table->state(), State::Browse);
    QCOMPARE(table->currentRow(), 3);
    QCOMPARE(table->value(QStringLiteral("NAME")).toString(), QStringLiteral("ten"));
    QCOMPARE(stored().last(), QStringLiteral("10=ten"));

    // Cancelling an insert leaves no row behind.
    table->insert();
    table->cancel();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(prompts->errors(), QStringList());
}

void TstTableNavigator::deleteAsksAndRemoves_data()
{
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::addColumn<int>("rows");
    QTest::newRow("OK") << Prompts::Answer::Ok << 2;
    QTest::newRow("Cancel") << Prompts::Answer::Cancel << 3;
}

void TstTableNavigator::deleteAsksAndRemoves()
{
    QFETCH(Prompts::Answer, answer);
    QFETCH(int, rows);
    table->open();
    table->last();
    prompts->answers.enqueue(answer);
    navigator->button(Button::Delete)->click();
    QCOMPARE(prompts->questions(), QStringList{QStringLiteral("Delete record?")});
    QCOMPARE(stored().size(), rows);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(table->currentRow(), rows - 1);
}

void TstTableNavigator::largeTableOpensWithFirstBatch()
{
    fillLargeTable();
    table->open();
    QVERIFY(model->rowCount() < 5003);
    QVERIFY(enabled(Button::Last));
    table->last();
    QCOMPARE(model->rowCount(), 5003);
    QCOMPARE(table->value(QStringLiteral("ID")).toInt(), 5099);
    // A row written far down is found again after the table is read anew.
    table->setValue(QStringLiteral("NAME"), QStringLiteral("last"));
    table->post();
    QCOMPARE(table->currentRow(), 5002);
    QCOMPARE(table->value(QStringLiteral("NAME")).toString(), QStringLiteral("last"));
}

void TstTableNavigator::rowDeletedElsewhereIsNotSoughtToTheEnd()
{
    fillLargeTable();
    table->open();
    table->next();
    const int fetched = model->rowCount();
    session->db.execute(QStringLiteral("DELETE FROM T WHERE ID = 2"));
    table->refresh();
    // Read anew, the grid holds no more rows than it read at first.
    QVERIFY2(model->rowCount() <= fetched, qPrintable(QString::number(model->rowCount())));
    QCOMPARE(table->currentRow(), 1);
    QCOMPARE(table->value(QStringLiteral("ID")).toInt(), 3);
}

void TstTableNavigator::memoFollowsCurrentRow()
{
    auto *memo = new QPlainTextEdit(form.get());
    table->bindMemo(memo, QStringLiteral("NAME"));
    QVERIFY(memo->isReadOnly());
    table->open();
    QVERIFY(!memo->isReadOnly());
    QCOMPARE(memo->toPlainText(), QStringLiteral("one"));
    table->next();
    QCOMPARE(memo->toPlainText(), QStringLiteral("two"));
    memo->setPlainText(QStringLiteral("a\nb"));
    QCOMPARE(table->state(), State::Edit);
    table->post();
    QCOMPARE(stored()[1], QStringLiteral("2=a\r\nb"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("a\nb"));
}

void TstTableNavigator::memoTypingSurvivesMissingField()
{
    auto *memo = new QPlainTextEdit(form.get());
    table->bindMemo(memo, QStringLiteral("NAME"));
    table->open();
    {
        QPlainTextEdit stray;
        QCOMPARE(failureOf<DatabaseError>(
                     [&] { table->bindMemo(&stray, QStringLiteral("NOTE")); }),
                 QStringLiteral("Field 'NOTE' not found"));
    }
    // The failed load must not leave the memos deaf to typing.
    memo->setPlainText(QStringLiteral("uno"));
    QCOMPARE(table->state(), State::Edit);
    table->post();
    QCOMPARE(stored().first(), QStringLiteral("1=uno"));
}

void TstTableNavigator::readOnlyGivesReason()
{
    const QString reason = QStringLiteral("The rows of V cannot be changed here");
    table->setReadOnly(reason);
    table->open();
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    navigator->button(Button::Insert)->click();
    navigator->button(Button::Delete)->click();
    QCOMPARE(prompts->errors(), (QStringList{reason + u'.', reason + u'.'}));
    QCOMPARE(prompts->questions(), QStringList());
    QCOMPARE(stored().size(), 3);
    table->setReadOnly(QString());
    QVERIFY(view->editTriggers() & QAbstractItemView::DoubleClicked);
}

QUORVEL_TEST_MAIN(TstTableNavigator)
#include "tst_tablenavigator.moc"
