#include "AppError.h"
#include "CatalogQuery.h"
#include "ModalForms.h"
#include "ScriptedPrompts.h"
#include "TRelSelectionView.h"
#include "TViewInsertWiz.h"
#include "TViewUpdateWiz.h"
#include "TestMain.h"
#include "TestSession.h"
#include "ViewTriggerStatements.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <memory>

using Rows = QList<StatementRow>;

namespace {

// Answers the picker and the wizards in place of the user while it lives:
// the fill functions act on the form, the results close it.
class FormScript
{
public:
    std::function<void(TRelSelectionView *)> picker = [](TRelSelectionView *) {};
    int pickerResult = QDialog::Accepted;
    std::function<void(TViewStatementWiz *)> wizard = [](TViewStatementWiz *) {};
    int wizardResult = QDialog::Accepted;
    QStringList pickerRows; // what the picker listed, last time

    FormScript()
        : m_previous(ModalForms::setRunner([this](QDialog *dialog) {
              if (auto *p = qobject_cast<TRelSelectionView *>(dialog)) {
                  pickerRows.clear();
                  for (int r = 0; r < p->SelQuery->rowCount(); ++r)
                      pickerRows << p->SelQuery->value(r, "RDB$RELATION_NAME").toString();
                  picker(p);
                  return pickerResult;
              }
              wizard(qobject_cast<TViewStatementWiz *>(dialog));
              return wizardResult;
          }))
    {
    }
    ~FormScript() { ModalForms::setRunner(m_previous); }

private:
    ModalForms::Runner m_previous;
};

QStringList gridColumn(const QTableWidget *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << (grid->item(r, column) ? grid->item(r, column)->text() : QString());
    return texts;
}

QStringList titles(const QTableWidget *grid)
{
    QStringList texts;
    for (int c = 0; c < grid->columnCount(); ++c)
        texts << grid->horizontalHeaderItem(c)->text();
    return texts;
}

void setCell(QTableWidget *grid, int row, int column, const QString &text)
{
    grid->setItem(row, column, new QTableWidgetItem(text));
}

} // namespace

class TestViewWizards : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void insertStatement_data();
    void insertStatement();
    void updateStatement_data();
    void updateStatement();
    void noRelation();
    void modifier_data();
    void modifier();

    void insertWizard();
    void updateWizardKeepsCriteria();
    void cancel_data();
    void cancel();
    void confirmWithoutRelation();
    void pickerListsEachContext();
    void emptyPickerChoice();
    void gridMenu();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestViewWizards::initTestCase()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({
        "CREATE TABLE ORDERS (ID INTEGER NOT NULL, PRICE NUMERIC(9,2), QTY INTEGER, NOTE "
        "VARCHAR(20))",
        "CREATE TABLE CLIENTS (CID INTEGER, NAME VARCHAR(30))",
        "CREATE VIEW V_ORDERS (ORD_ID, ORD_PRICE) AS SELECT ID, PRICE FROM ORDERS",
        "CREATE VIEW V_PAIRS (FIRST_ID, SECOND_ID, CNAME) AS SELECT A.ID, B.ID, C.NAME "
        "FROM ORDERS A, ORDERS B, CLIENTS C",
    });
}

void TestViewWizards::cleanupTestCase()
{
    m_session.reset();
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
        << Rows{{"", "NEW.X", ""}, {"A", "", "= 1"}, {"B", "OLD.B", ""}, {"", "", ""}}
        << "INSERT INTO R   (\r\n    B)\r\nVALUES (\r\nOLD.B);\r\n";
}

void TestViewWizards::insertStatement()
{
    QFETCH(Rows, rows);
    QFETCH(QString, text);
    QCOMPARE(ViewTriggerStatements::BuildInsertStatement("R", rows), text);
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

void TestViewWizards::noRelation()
{
    const Rows rows{{"A", "NEW.A", "= 1"}};
    const QString message("You should set the relation to updte first");
    try {
        ViewTriggerStatements::BuildInsertStatement("", rows);
        QFAIL("no error");
    } catch (const GeneralError &e) {
        QCOMPARE(e.message(), message);
    }
    try {
        ViewTriggerStatements::BuildUpdateStatement("", "X1", rows);
        QFAIL("no error");
    } catch (const GeneralError &e) {
        QCOMPARE(e.message(), message);
    }
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

// The grid lists every base column in the relation's order, pre-filled with
// the view column built on it; unmapped columns stay out of the statement.
void TestViewWizards::insertWizard()
{
    FormScript script;
    script.wizard = [](TViewStatementWiz *wizard) {
        QCOMPARE(wizard->windowTitle(), QString("View Insert statement wizard"));
        QCOMPARE(wizard->VNameLabel->text(), QString("V_ORDERS"));
        QCOMPARE(wizard->StmGrid->rowCount(), 4);
        QCOMPARE(titles(wizard->StmGrid), QStringList({"", ""}));
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->RelName->text(), QString("ORDERS"));
        QCOMPARE(titles(wizard->StmGrid), QStringList({"Field", "Value"}));
        QCOMPARE(gridColumn(wizard->StmGrid, 0), QStringList({"ID", "PRICE", "QTY", "NOTE"}));
        QCOMPARE(gridColumn(wizard->StmGrid, 1),
                    QStringList({"NEW.ORD_ID", "NEW.ORD_PRICE", "", ""}));
    };
    ScriptedPrompts prompts;
    QCOMPARE(RunInsertWizard("V_ORDERS"), "INSERT INTO ORDERS   (\r\n    ID,\r\n    PRICE)\r\n"
                                          "VALUES (\r\n    NEW.ORD_ID,\r\nNEW.ORD_PRICE);\r\n");
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
        QCOMPARE(wizard->windowTitle(), QString("View update statement  wizard"));
        QCOMPARE(wizard->AliasEdit->text(), QString());
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->AliasEdit->text(), QString("ORDERS1"));
        QCOMPARE(titles(wizard->StmGrid), QStringList({"Field", "Value", "Criteria"}));
        setCell(wizard->StmGrid, 0, 2, "= OLD.ORD_ID");
        setCell(wizard->StmGrid, 1, 1, "99");
        wizard->SelRelBtn->click();
        QCOMPARE(gridColumn(wizard->StmGrid, 1),
                    QStringList({"NEW.ORD_ID", "NEW.ORD_PRICE", "", ""}));
        QCOMPARE(gridColumn(wizard->StmGrid, 2), QStringList({"= OLD.ORD_ID", "", "", ""}));
        wizard->AliasEdit->setText("O");
    };
    QCOMPARE(RunUpdateWizard("V_ORDERS"), "UPDATE ORDERS O SET\r\n     O.ID = NEW.ORD_ID,\r\n"
                                          "     O.PRICE = NEW.ORD_PRICE\r\nWHERE\r\n"
                                          "O.ID = OLD.ORD_ID;\r\n");
}

void TestViewWizards::cancel_data()
{
    QTest::addColumn<bool>("update");
    QTest::newRow("insert") << false;
    QTest::newRow("update") << true;
}

// Cancel in the picker leaves the wizard as it was; Cancel in the wizard
// ends the command silently.
void TestViewWizards::cancel()
{
    QFETCH(bool, update);
    ScriptedPrompts prompts;
    FormScript script;
    script.pickerResult = QDialog::Rejected;
    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        QCOMPARE(wizard->RelName->text(), QString());
        QCOMPARE(wizard->StmGrid->rowCount(), 4);
    };
    script.wizardResult = QDialog::Rejected;
    QVERIFY_THROWS_EXCEPTION(SilentAbort,
                             update ? RunUpdateWizard("V_ORDERS") : RunInsertWizard("V_ORDERS"));
    QCOMPARE(prompts.asked.size(), 0);
}

void TestViewWizards::confirmWithoutRelation()
{
    FormScript script;
    try {
        RunUpdateWizard("V_ORDERS");
        QFAIL("no error");
    } catch (const GeneralError &e) {
        QCOMPARE(e.message(), QString("You should set the relation to updte first"));
    }
}

// A relation used twice in the view is offered twice; the chosen row is the
// one returned, and only columns of that relation are mapped.
void TestViewWizards::pickerListsEachContext()
{
    FormScript script;
    script.picker = [](TRelSelectionView *picker) {
        QCOMPARE(picker->windowTitle(), QString("Select relation"));
        QCOMPARE(picker->SelQuery->rowCount(), 3);
        for (int r = 0; r < 3; ++r) {
            if (picker->SelQuery->value(r, "RDB$RELATION_NAME").toString() == "CLIENTS")
                picker->DBGrid1->setCurrentIndex(picker->SelQuery->index(r, 0));
        }
    };
    QCOMPARE(SelectBaseRelation("V_PAIRS"), QString("CLIENTS"));
    QCOMPARE(script.pickerRows.count("ORDERS"), 2);

    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        QCOMPARE(gridColumn(wizard->StmGrid, 1), QStringList({"", "NEW.CNAME"}));
    };
    QCOMPARE(RunInsertWizard("V_PAIRS"),
             "INSERT INTO CLIENTS   (\r\n    NAME)\r\nVALUES (\r\nNEW.CNAME);\r\n");
}

// OK on an empty list: the relation and alias change, the column table
// cannot be opened, the grid keeps its rows and the error is shown.
void TestViewWizards::emptyPickerChoice()
{
    ScriptedPrompts prompts;
    FormScript script;
    script.wizard = [](TViewStatementWiz *wizard) {
        wizard->SelRelBtn->click();
        wizard->setViewName("NO_SUCH_VIEW");
        wizard->SelRelBtn->click();
        auto *update = qobject_cast<TViewUpdateWiz *>(wizard);
        QCOMPARE(update->AliasEdit->text(), QString("1"));
        QCOMPARE(gridColumn(wizard->StmGrid, 0), QStringList({"ID", "PRICE", "QTY", "NOTE"}));
    };
    script.wizardResult = QDialog::Rejected;
    QVERIFY_THROWS_EXCEPTION(SilentAbort, RunUpdateWizard("V_ORDERS"));
    QCOMPARE(script.pickerRows, QStringList());
    QCOMPARE(prompts.errors().size(), 1);
}

// A right click on a cell makes it current and opens the menu; New, Old and
// Clear always work on the value column of the current row.
void TestViewWizards::gridMenu()
{
    TViewInsertWiz wizard;
    QCOMPARE(wizard.MnNew->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(wizard.MnNew->statusTip(), QString("Change modifier to NEW"));
    QCOMPARE(wizard.MnOld->shortcut(), QKeySequence("Ctrl+O"));
    QCOMPARE(wizard.MnClear->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(wizard.MnClear->statusTip(), QString("Clear contents of cell"));
    setCell(wizard.StmGrid, 1, 0, "PRICE");
    setCell(wizard.StmGrid, 1, 1, "NEW.ORD_PRICE");
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    const QRect cell = wizard.StmGrid->visualRect(wizard.StmGrid->model()->index(1, 0));
    QTest::mouseClick(wizard.StmGrid->viewport(), Qt::RightButton, {}, cell.center());
    QCOMPARE(wizard.StmGrid->currentRow(), 1);
    QCOMPARE(wizard.StmGrid->currentColumn(), 0);
    QTRY_VERIFY(wizard.GridMenu->isVisible());
    wizard.GridMenu->close();

    wizard.MnOld->trigger();
    QCOMPARE(wizard.StmGrid->item(1, 1)->text(), QString("OLD.ORD_PRICE"));
    wizard.MnNew->trigger();
    QCOMPARE(wizard.StmGrid->item(1, 1)->text(), QString("NEW.ORD_PRICE"));
    wizard.MnClear->trigger();
    QCOMPARE(wizard.StmGrid->item(1, 1)->text(), QString());
    wizard.MnOld->trigger();
    QCOMPARE(wizard.StmGrid->item(1, 1)->text(), QString());

    const QPoint outside(5, wizard.StmGrid->viewport()->height() - 2);
    QTest::mouseClick(wizard.StmGrid->viewport(), Qt::RightButton, {}, outside);
    QVERIFY(!wizard.GridMenu->isVisible());
}

QUORVEL_TEST_MAIN(TestViewWizards)
#include "tst_viewwizards.moc"
