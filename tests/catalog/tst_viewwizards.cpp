#include "catalog/TRelSelectionView.h"
#include "catalog/TViewInsertWiz.h"
#include "catalog/TViewUpdateWiz.h"
#include "core/AppError.h"
#include "support/Failures.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestWidgets.h"
#include "uikit/CatalogQuery.h"
#include "uikit/ModalForms.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include <functional>
#include <memory>

using Rows = QList<StatementRow>;

namespace {

// Answers the picker and the wizards in place of the user while it lives:
// the fill functions act on the form, the results close it.
struct FormScript
{
    std::function<void(TRelSelectionView *)> picker = [](TRelSelectionView *) {};
    int pickerResult = QDialog::Accepted;
    std::function<void(TViewStatementWiz *)> wizard = [](TViewStatementWiz *) {};
    int wizardResult = QDialog::Accepted;
    QStringList pickerRows; // what the picker listed, last time
    ScopedFormRunner runner{[this](QDialog *dialog) {
        if (auto *p = qobject_cast<TRelSelectionView *>(dialog)) {
            pickerRows.clear();
            for (int r = 0; r < p->SelQuery->rowCount(); ++r)
                pickerRows << p->SelQuery->value(r, "RDB$RELATION_NAME").toString();
            picker(p);
            return pickerResult;
        }
        wizard(qobject_cast<TViewStatementWiz *>(dialog));
        return wizardResult;
    }};
};

QStringList gridColumn(const QTableWidget *grid, int column)
{
    return TestWidgets::columnShown(grid->model(), column);
}

const QStringList kOrdersColumns{"ID", "PRICE", "QTY", "NOTE"};
const QStringList kOrdersValues{"NEW.ORD_ID", "NEW.ORD_PRICE", "", ""};

} // namespace

class TestViewWizards : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_session.reset(); }

    void insertStatement_data();
    void insertStatement();
    void updateStatement_data();
    void updateStatement();
    void modifier_data();
    void modifier();

    void insertWizard();
    void updateWizardKeepsCriteria();
    void refusals_data();
    void refusals();
    void pickerListsEachContext();
    void gridMenu();
    void dialect3WizardsRoundTrip();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestViewWizards::initTestCase()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({"CREATE TABLE ORDERS (ID INTEGER, PRICE INTEGER, QTY INTEGER, "
                           "NOTE VARCHAR(20))",
                           "CREATE TABLE CLIENTS (CID INTEGER, NAME VARCHAR(30))",
                           "CREATE VIEW V_ORDERS (ORD_ID, ORD_PRICE) AS SELECT ID, PRICE "
                           "FROM ORDERS",
                           "CREATE VIEW V_PAIRS (FIRST_ID, SECOND_ID, CNAME) AS "
                           "SELECT A.ID, B.ID, C.NAME FROM ORDERS A, ORDERS B, CLIENTS C"});
}

void TestViewWizards::insertStatement_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("three") << Rows{{"A", "NEW.A", ""}, {"B", "NEW.B", ""}, {"D", "NEW.D", ""}}
                           << "INSERT INTO R   (\r\n    A,\r\n    B,\r\n    D)\r\n"
                              "VALUES (\r\n    NEW.A,\r\n    NEW.B,\r\nNEW.D);\r\n";
    QTest::newRow("one") << Rows{{"A", "NEW.A", ""}}
                         << "INSERT INTO R   (\r\n    A)\r\nVALUES (\r\nNEW.A);\r\n";
    QTest::newRow("none") << Rows{} << "    INSERT INTO R   ()\r\nVALUES ();\r\n";
    QTest::newRow("blank cells left out")
        << Rows{{"", "NEW.X", ""}, {"A", "", "= 1"}, {"B", "OLD.B", ""}}
        << "INSERT INTO R   (\r\n    B)\r\nVALUES (\r\nOLD.B);\r\n";
}

void TestViewWizards::insertStatement()
{
    QFETCH(Rows, rows);
    QFETCH(QString, text);
    QCOMPARE(ViewTriggerStatements::BuildInsertStatement("R", rows), text);
    QCOMPARE(ViewTriggerStatements::BuildInsertStatement("R", rows, 1), text);
}

void TestViewWizards::updateStatement_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("example") << "R1" << Rows{{"A", "NEW.A", ""}, {"ID", "NEW.ID", "= OLD.ID"}}
                             << "UPDATE R R1 SET\r\n     R1.A = NEW.A,\r\n     R1.ID = NEW.ID\r\n"
                                "WHERE\r\nR1.ID = OLD.ID;\r\n";
    QTest::newRow("nothing") << "R1" << Rows{{"A", "", ""}} << "UPDATE R R1 SET\r\nWHERE;\r\n";
    QTest::newRow("empty alias") << "" << Rows{{"A", "NEW.A", "> 0"}}
                                 << "UPDATE R  SET\r\n     .A = NEW.A\r\nWHERE\r\n.A > 0;\r\n";
    QTest::newRow("conditions not joined")
        << "R1" << Rows{{"A", "", "= 1 AND"}, {"", "NEW.X", "R1.B = 2"}, {"C", "NEW.C", ""}}
        << "UPDATE R R1 SET\r\n     R1.C = NEW.C\r\nWHERE\r\nR1.A = 1 AND\r\nR1. R1.B = 2;\r\n";
}

void TestViewWizards::updateStatement()
{
    QFETCH(QString, alias);
    QFETCH(Rows, rows);
    QFETCH(QString, text);
    QCOMPARE(ViewTriggerStatements::BuildUpdateStatement("R", alias, rows), text);
}

void TestViewWizards::modifier_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("result");
    QTest::newRow("new to old") << "NEW.A" << "OLD." << "OLD.A";
    QTest::newRow("bare") << "A" << "OLD." << "OLD.A";
    QTest::newRow("first stop only") << "X.Y.Z" << "OLD." << "OLD.Y.Z";
    QTest::newRow("old to new") << "OLD.A" << "NEW." << "NEW.A";
    QTest::newRow("empty") << "" << "NEW." << "";
}

void TestViewWizards::modifier()
{
    QFETCH(QString, value);
    QFETCH(QString, prefix);
    QFETCH(QString, result);
    QCOMPARE(ViewTriggerStatements::WithModifier(value, prefix), result);
}

// Every base column is listed in the relation's order with the view column
// built on it; unmapped columns stay out of the statement.
void TestViewWizards::insertWizard()
{
    FormScript script;
    script.wizard = [](TViewStatementWiz *wizard) {
        QCOMPARE(wizard->VNameLabel->text(), QString("V_ORDERS"));
        QCOMPARE(wizard->StmGrid->rowCount(), 4);
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->RelName->text(), QString("ORDERS"));
        QCOMPARE(wizard->StmGrid->horizontalHeaderItem(1)->text(), QString("Value"));
        QCOMPARE(gridColumn(wizard->StmGrid, 0), kOrdersColumns);
        QCOMPARE(gridColumn(wizard->StmGrid, 1), kOrdersValues);
    };
    ScriptedPrompts prompts;
    QCOMPARE(RunInsertWizard("V_ORDERS"),
             QString("INSERT INTO ORDERS   (\r\n    ID,\r\n    PRICE)\r\n"
                     "VALUES (\r\n    NEW.ORD_ID,\r\nNEW.ORD_PRICE);\r\n"));
    QCOMPARE(script.pickerRows, QStringList{"ORDERS"});
    QCOMPARE(prompts.errors(), QStringList());
}

// The alias follows the relation; choosing again rewrites fields and values
// but leaves the criteria the user typed.
void TestViewWizards::updateWizardKeepsCriteria()
{
    FormScript script;
    script.wizard = [](TViewStatementWiz *base) {
        auto *wizard = qobject_cast<TViewUpdateWiz *>(base);
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->AliasEdit->text(), QString("ORDERS1"));
        wizard->StmGrid->setItem(0, 2, new QTableWidgetItem("= OLD.ORD_ID"));
        wizard->StmGrid->setItem(1, 1, new QTableWidgetItem("99"));
        wizard->SelRelBtn->click();
        QCOMPARE(gridColumn(wizard->StmGrid, 1), kOrdersValues);
        QCOMPARE(gridColumn(wizard->StmGrid, 2), QStringList({"= OLD.ORD_ID", "", "", ""}));
        wizard->AliasEdit->setText("O");
    };
    QCOMPARE(RunUpdateWizard("V_ORDERS"),
             QString("UPDATE ORDERS O SET\r\n     O.ID = NEW.ORD_ID,\r\n"
                     "     O.PRICE = NEW.ORD_PRICE\r\nWHERE\r\nO.ID = OLD.ORD_ID;\r\n"));
}

void TestViewWizards::refusals_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<int>("wizardResult");
    QTest::newRow("insert cancelled") << false << int(QDialog::Rejected);
    QTest::newRow("update cancelled") << true << int(QDialog::Rejected);
    QTest::newRow("insert without relation") << false << int(QDialog::Accepted);
    QTest::newRow("update without relation") << true << int(QDialog::Accepted);
}

// Cancel in the picker changes nothing; Cancel in the wizard ends silently;
// OK without a relation raises the message.
void TestViewWizards::refusals()
{
    QFETCH(bool, update);
    QFETCH(int, wizardResult);
    ScriptedPrompts prompts;
    FormScript script;
    script.pickerResult = QDialog::Rejected;
    script.wizardResult = wizardResult;
    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->RelName->text(), QString());
    };
    const auto run = [update] {
        return update ? RunUpdateWizard("V_ORDERS") : RunInsertWizard("V_ORDERS");
    };
    if (wizardResult == QDialog::Rejected) {
        QVERIFY(threw<SilentAbort>(run));
    } else {
        QCOMPARE(failureOf<GeneralError>(run),
                 QString("You should set the relation to updte first"));
    }
    QCOMPARE(prompts.asked.size(), 0);
}

// A relation used twice in the view is offered twice. OK on an empty list
// empties the relation, the alias becomes "1", the column table cannot be
// read, and the grid keeps its rows.
void TestViewWizards::pickerListsEachContext()
{
    FormScript script;
    script.picker = [](TRelSelectionView *picker) {
        QCOMPARE(picker->SelQuery->rowCount(), 3);
        for (int r = 0; r < 3; ++r) {
            if (picker->SelQuery->value(r, "RDB$RELATION_NAME").toString() == "CLIENTS")
                picker->DBGrid1->setCurrentIndex(picker->SelQuery->index(r, 0));
        }
    };
    QCOMPARE(SelectBaseRelation("V_PAIRS"), QString("CLIENTS"));
    QCOMPARE(script.pickerRows.count("ORDERS"), 2);

    ScriptedPrompts prompts;
    script.picker = [](TRelSelectionView *) {};
    script.wizardResult = QDialog::Rejected;
    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        wizard->setViewName("NO_SUCH_VIEW");
        wizard->SelRelBtn->click();
        QCOMPARE(qobject_cast<TViewUpdateWiz *>(wizard)->AliasEdit->text(), QString("1"));
        QCOMPARE(gridColumn(wizard->StmGrid, 0), kOrdersColumns);
    };
    QVERIFY(threw<SilentAbort>([] { RunUpdateWizard("V_ORDERS"); }));
    QCOMPARE(script.pickerRows, QStringList());
    QCOMPARE(prompts.errors().size(), 1);
}

// A right click on a cell makes it current and opens the menu; New, Old and
// Clear work on the value column of the current row.
void TestViewWizards::gridMenu()
{
    TViewInsertWiz wizard;
    wizard.StmGrid->setItem(1, 1, new QTableWidgetItem("NEW.ORD_PRICE"));
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    const QRect cell = wizard.StmGrid->visualRect(wizard.StmGrid->model()->index(1, 0));
    QTest::mouseClick(wizard.StmGrid->viewport(), Qt::RightButton, {}, cell.center());
    QCOMPARE(wizard.StmGrid->currentRow(), 1);
    QTRY_VERIFY(wizard.GridMenu->isVisible());
    wizard.GridMenu->close();
    const auto value = [&wizard] { return wizard.StmGrid->item(1, 1)->text(); };
    wizard.MnOld->trigger();
    QCOMPARE(value(), QString("OLD.ORD_PRICE"));
    wizard.MnNew->trigger();
    QCOMPARE(value(), QString("NEW.ORD_PRICE"));
    wizard.MnClear->trigger();
    wizard.MnOld->trigger();
    QCOMPARE(value(), QString());

    const QPoint outside(5, wizard.StmGrid->viewport()->height() - 2);
    QTest::mouseClick(wizard.StmGrid->viewport(), Qt::RightButton, {}, outside);
    QVERIFY(!wizard.GridMenu->isVisible());
}

// On a dialect-3 database the wizards quote the names that need it; the
// statements they write make view triggers that work as written.
void TestViewWizards::dialect3WizardsRoundTrip()
{
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({
        "CREATE TABLE \"Customer Orders\" (ID INTEGER, \"Amount\" INTEGER, \"Order\" INTEGER)",
        "CREATE VIEW \"Order View\" (\"Order Id\", \"Amount\", HALF) AS "
        "SELECT ID, \"Amount\", \"Amount\" / 2 FROM \"Customer Orders\"",
    });
    ScriptedPrompts prompts;
    FormScript script;
    script.picker = [](TRelSelectionView *picker) {
        QVERIFY(picker->SelQuery->rowCount() > 0);
    };
    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        QCOMPARE(gridColumn(wizard->StmGrid, 0), (QStringList{"ID", "Amount", "Order"}));
        QCOMPARE(gridColumn(wizard->StmGrid, 1),
                 (QStringList{"NEW.\"Order Id\"", "NEW.\"Amount\"", ""}));
        if (auto *update = qobject_cast<TViewUpdateWiz *>(wizard))
            update->StmGrid->setItem(0, 2, new QTableWidgetItem("= OLD.\"Order Id\""));
    };
    const QString insert = RunInsertWizard("Order View");
    QCOMPARE(insert, QString("INSERT INTO \"Customer Orders\"   (\r\n    ID,\r\n    \"Amount\")\r\n"
                             "VALUES (\r\n    NEW.\"Order Id\",\r\nNEW.\"Amount\");\r\n"));
    const QString update = RunUpdateWizard("Order View");
    QCOMPARE(update, QString("UPDATE \"Customer Orders\" \"Customer Orders1\" SET\r\n"
                             "     \"Customer Orders1\".ID = NEW.\"Order Id\",\r\n"
                             "     \"Customer Orders1\".\"Amount\" = NEW.\"Amount\"\r\nWHERE\r\n"
                             "\"Customer Orders1\".ID = OLD.\"Order Id\";\r\n"));
    QCOMPARE(prompts.errors(), QStringList());

    m_session->db.execute({
        "CREATE TRIGGER V_BI FOR \"Order View\" BEFORE INSERT AS BEGIN " + insert + " END",
        "CREATE TRIGGER V_BU FOR \"Order View\" BEFORE UPDATE AS BEGIN " + update + " END",
        "INSERT INTO \"Order View\" (\"Order Id\", \"Amount\") VALUES (1, 7)",
        "UPDATE \"Order View\" SET \"Amount\" = 9 WHERE \"Order Id\" = 1",
    });
    QCOMPARE(m_session->db.scalar("SELECT \"Amount\" || '/' || HALF FROM \"Order View\""),
             "9/4");
}

QUORVEL_TEST_MAIN(TestViewWizards)
#include "tst_viewwizards.moc"
