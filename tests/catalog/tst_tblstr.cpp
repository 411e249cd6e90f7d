#include "catalog/TFormTblStr.h"
#include "catalog/TRelationPickerDlg.h"
#include "schema/ViewDdl.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/CatalogQuery.h"
#include "uikit/ModalForms.h"
#include "workbench/TDataForm.h"
#include "workbench/TSQLExprForm.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

// The picker answers with the given name, or cancels when it is empty.
class PickerScript
{
public:
    explicit PickerScript(const QString &name)
        : m_runner([name](QDialog *dialog) {
              auto *picker = static_cast<TRelationPickerDlg *>(dialog);
              const auto found = picker->TablesList->findItems(name, Qt::MatchExactly);
              if (name.isEmpty() || found.isEmpty())
                  return int(QDialog::Rejected);
              picker->TablesList->setCurrentItem(found.first());
              return int(QDialog::Accepted);
          })
    {
    }

private:
    ScopedFormRunner m_runner;
};

QStringList gridRows(const QTableView *grid)
{
    return TestWidgets::rowsShown(grid, QStringLiteral(" | "));
}

QStringList gridTitles(const QTableView *grid)
{
    const QAbstractItemModel *model = grid->model();
    QStringList titles;
    for (int visual = 0; visual < model->columnCount(); ++visual) {
        const int column = grid->horizontalHeader()->logicalIndex(visual);
        if (!grid->isColumnHidden(column))
            titles << model->headerData(column, Qt::Horizontal).toString();
    }
    return titles;
}

} // namespace

class TestTblStr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dependencyTypeName_data();
    void dependencyTypeName();
    void createViewText_data();
    void createViewText();

    void tableStructure();
    void viewStructure();
    void viewStatementInDDLWindow();
    void viewStatementFromCatalogueAsNow();
    void showData_data();
    void showData();
    void dialect3ViewRoundTrip();

private:
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    TFormTblStr *m_form = nullptr;
};

void TestTblStr::init()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({
        QStringLiteral("CREATE DOMAIN DNAME AS VARCHAR(20)"),
        QStringLiteral("CREATE TABLE T (A INTEGER NOT NULL PRIMARY KEY, B DNAME, C INTEGER)"),
        QStringLiteral("CREATE VIEW V (A, B) AS SELECT A, B FROM T"),
        QStringLiteral("CREATE TRIGGER TRG FOR T BEFORE INSERT AS BEGIN NEW.C = 0; END"),
        QStringLiteral("CREATE PROCEDURE P RETURNS (N INTEGER) AS "
                       "BEGIN SELECT COUNT(*) FROM T INTO :N; SUSPEND; END"),
    });
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_form = TFormTblStr::open();
}

void TestTblStr::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void TestTblStr::dependencyTypeName_data()
{
    QTest::addColumn<QVariant>("code");
    QTest::addColumn<QString>("expected");
    const QStringList names = {"Table", "View", "Trigger", "Computed Field", "Validation",
                               "Procedure", "Expression Index", "Exception", "User", "Field",
                               "Index"};
    for (int code = 0; code < names.size(); ++code)
        QTest::addRow("%d", code) << QVariant(code) << names[code];
    QTest::newRow("missing") << QVariant() << "Table";
    // Codes Firebird 3 records for its newer objects.
    QTest::newRow("11") << QVariant(11) << "Character Set";
    QTest::newRow("14") << QVariant(14) << "Generator";
    QTest::newRow("15") << QVariant(15) << "Function";
    QTest::newRow("18") << QVariant(18) << "Package";
    QTest::newRow("19") << QVariant(19) << "Package Body";
    QTest::newRow("20") << QVariant(20) << "N/A";
    QTest::newRow("negative") << QVariant(-1) << "N/A";
}

void TestTblStr::dependencyTypeName()
{
    QFETCH(QVariant, code);
    QFETCH(QString, expected);
    QCOMPARE(TFormTblStr::DependencyTypeName(code), expected);
}

void TestTblStr::createViewText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one line") << "V" << QStringList{"A", "B"} << "SELECT A, B FROM T"
                              << "CREATE VIEW V \r\n(A, B)\r\nAS\r\nSELECT A, B FROM T\r\n";
    QTest::newRow("line ends") << "V" << QStringList{"A"} << "SELECT A\rFROM T\nWHERE 1=1\r\n"
                               << "CREATE VIEW V \r\n(A)\r\nAS\r\nSELECT A\r\nFROM T\r\n"
                                  "WHERE 1=1\r\n";
    QTest::newRow("empty lines kept") << "V" << QStringList{"A"} << "SELECT A\n\nFROM T"
                                      << "CREATE VIEW V \r\n(A)\r\nAS\r\nSELECT A\r\n\r\n"
                                         "FROM T\r\n";
    QTest::newRow("padded names") << "V   " << QStringList{"A  ", "B"} << "SELECT A, B FROM T"
                                  << "CREATE VIEW V \r\n(A, B)\r\nAS\r\nSELECT A, B FROM T\r\n";
    QTest::newRow("dialect 1 leaves odd names") << "Order View" << QStringList{"Order Id"}
        << "SELECT 1 FROM T"
        << "CREATE VIEW Order View \r\n(Order Id)\r\nAS\r\nSELECT 1 FROM T\r\n";
}

void TestTblStr::createViewText()
{
    QFETCH(QString, name);
    QFETCH(QStringList, columns);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QCOMPARE(ViewDdl::text(name, columns, source), expected);
    QCOMPARE(ViewDdl::text(name, columns, source, 1), expected);
}

void TestTblStr::tableStructure()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Table Structure"));
    PickerScript picker(QStringLiteral("T"));
    m_form->SelectTableBtn->click();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Table structure -T"));
    QVERIFY(!m_form->DDLBtn->isEnabled());
    // The described columns first, then what the schema layer adds.
    QCOMPARE(gridTitles(m_form->DBGrid1),
             QStringList({"#", "Field name", "DOMAIN", "Type", "Not null", "Default",
                          "Collation", "Computed / identity"}));
    const QStringList columns = gridRows(m_form->DBGrid1);
    QCOMPARE(columns.size(), 3);
    QVERIFY(columns[0].startsWith(QStringLiteral("0 | A | RDB$")));
    QVERIFY(columns[0].endsWith(QStringLiteral(" | INTEGER | NOT NULL |  |  | ")));
    QCOMPARE(columns[1], QStringLiteral("1 | B | DNAME | VARCHAR(20) |  |  |  | "));
    QVERIFY(columns[2].startsWith(QStringLiteral("2 | C | RDB$")));
    QCOMPARE(m_form->DBGrid1->currentIndex().row(), 0);

    QCOMPARE(gridTitles(m_form->DBGrid2),
             QStringList({"Field Name", "Object Type", "Object Name"}));
    // Rows on the relation as a whole come first, with an empty field name.
    QCOMPARE(gridRows(m_form->DBGrid2),
             QStringList({" | Procedure | P", " | View | V", "A | View | V", "B | View | V",
                          "C | Trigger | TRG"}));
    QVERIFY(m_prompts->errors().isEmpty());
}

// A view enables the statement button and menu item; a cancelled picker
// keeps it; a table chosen after it disables them again.
void TestTblStr::viewStructure()
{
    {
        PickerScript picker(QStringLiteral("V"));
        m_form->SelViewBtn->click();
    }
    QCOMPARE(m_form->windowTitle(), QStringLiteral("View structure -V"));
    QVERIFY(m_form->DDLBtn->isEnabled());
    QVERIFY(m_form->ShowSelectItem->isEnabled());
    QCOMPARE(gridRows(m_form->DBGrid1).size(), 2);
    QVERIFY(gridRows(m_form->DBGrid2).isEmpty());
    {
        PickerScript cancel{QString()};
        m_form->SelectTableBtn->click();
    }
    QCOMPARE(m_form->windowTitle(), QStringLiteral("View structure -V"));
    QCOMPARE(m_form->relationName(), QStringLiteral("V"));
    QVERIFY(m_form->DDLBtn->isEnabled());
    QCOMPARE(gridRows(m_form->DBGrid1).size(), 2);
    QVERIFY(m_prompts->asked.isEmpty());

    PickerScript picker(QStringLiteral("T"));
    m_form->SelectTableBtn->click();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Table structure -T"));
    QVERIFY(!m_form->DDLBtn->isEnabled());
    QVERIFY(!m_form->ShowSelectItem->isEnabled());
}

// The rebuilt text reaches a new DDL window; the walk over the columns
// leaves the structure grid on the last one.
void TestTblStr::viewStatementInDDLWindow()
{
    PickerScript picker(QStringLiteral("V"));
    m_form->SelViewBtn->click();
    m_form->DDLBtn->click();
    QVERIFY(m_prompts->errors().isEmpty());
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    QCOMPARE(ddl->lines(),
             QStringList({"CREATE VIEW V ", "(A, B)", "AS", "SELECT A, B FROM T"}));
    QCOMPARE(m_form->DBGrid1->currentIndex().row(), 1);
}

// Another user recreates the view with a column more after the window showed
// it: the statement carries the view as it is now, and the window shows it.
void TestTblStr::viewStatementFromCatalogueAsNow()
{
    PickerScript picker(QStringLiteral("V"));
    m_form->SelViewBtn->click();
    m_session->db.execute({QStringLiteral("RECREATE VIEW V (A, B, C) AS SELECT A, B, C FROM T")});
    m_form->DDLBtn->click();
    QCOMPARE(m_prompts->told(),
             QStringList{"V was changed by another user since it was shown; the statement is "
                         "built from its current text."});
    QCOMPARE(m_shell->last<TSQLExprForm>()->lines(),
             QStringList({"CREATE VIEW V ", "(A, B, C)", "AS", "SELECT A, B, C FROM T"}));
    QCOMPARE(m_form->StrQuery->rowCount(), 3);

    m_session->db.execute({QStringLiteral("DROP VIEW V")});
    const qsizetype opened = m_shell->opened.size();
    m_form->DDLBtn->click();
    QCOMPARE(m_prompts->errors(), QStringList{"V was dropped by another user since it was shown."});
    QCOMPARE(m_shell->opened.size(), opened);
}

// Before any choice the data layer refuses the empty name; the empty data
// view stays open.
void TestTblStr::showData_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("caption");
    QTest::newRow("no choice") << QString() << "Data Viewer";
    QTest::newRow("table") << "T" << "Data Viewer-T";
}

void TestTblStr::showData()
{
    QFETCH(QString, relation);
    QFETCH(QString, caption);
    if (!relation.isEmpty()) {
        PickerScript picker(relation);
        m_form->SelectTableBtn->click();
    }
    m_form->SelectforViewBtn->click();
    auto *data = m_shell->last<TDataForm>();
    QVERIFY(data);
    QCOMPARE(data->windowTitle(), caption);
    QCOMPARE(m_prompts->errors().size(), relation.isEmpty() ? 1 : 0);
}

// A dialect-3 view with quoted names and integer division: the rebuilt text
// creates it again with the same columns, source and rows. The dependency
// grid names the Firebird 3 objects that use the table.
void TestTblStr::dialect3ViewRoundTrip()
{
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({
        "CREATE TABLE \"Customer Orders\" (\"Order Id\" INTEGER, \"Who\" VARCHAR(10), Q INTEGER)",
        "INSERT INTO \"Customer Orders\" VALUES (1, 'Ann', 7)",
        "CREATE VIEW \"Order View\" (\"Order Id\", \"Who\", HALF, \"SELECT\") AS "
        "SELECT \"Order Id\", \"Who\", Q / 2, Q FROM \"Customer Orders\"",
        "CREATE FUNCTION F_COUNT RETURNS INTEGER AS DECLARE N INTEGER; "
        "BEGIN SELECT COUNT(*) FROM \"Customer Orders\" INTO N; RETURN N; END",
        "CREATE PACKAGE PK AS BEGIN FUNCTION F RETURNS INTEGER; END",
        "CREATE PACKAGE BODY PK AS BEGIN FUNCTION F RETURNS INTEGER AS DECLARE N INTEGER; "
        "BEGIN SELECT COUNT(*) FROM \"Customer Orders\" INTO N; RETURN N; END END",
    });
    const QString columns = "SELECT TRIM(RDB$FIELD_NAME) || ':' || RDB$FIELD_POSITION FROM "
                            "RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'Order View' "
                            "ORDER BY RDB$FIELD_POSITION";
    const QString source =
        "SELECT RDB$VIEW_SOURCE FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'Order View'";
    const QString rows = "SELECT \"Order Id\" || \"Who\" || HALF || \"SELECT\" FROM \"Order View\"";
    const QStringList columnsBefore = m_session->db.column(columns);
    const QString sourceBefore = m_session->db.scalar(source);
    QCOMPARE(m_session->db.scalar(rows), "1Ann37");

    m_form = TFormTblStr::open();
    {
        PickerScript picker(QStringLiteral("Customer Orders"));
        m_form->SelectTableBtn->click();
    }
    QStringList dependants; // "type name", once each, from "field | type | name"
    for (const QString &row : gridRows(m_form->DBGrid2)) {
        const QStringList cells = row.split(" | ");
        const QString dependant = cells.value(1) + ' ' + cells.value(2);
        if (!dependants.contains(dependant))
            dependants << dependant;
    }
    // The view's computed column shows too, under a name the server makes up.
    for (const char *expected : {"Function F_COUNT", "Package Body PK", "View Order View"})
        QVERIFY2(dependants.contains(expected), qPrintable(dependants.join(", ")));
    QVERIFY2(!dependants.join(',').contains("N/A"), qPrintable(dependants.join(", ")));
    {
        PickerScript picker(QStringLiteral("Order View"));
        m_form->SelViewBtn->click();
    }
    m_form->DDLBtn->click();
    QVERIFY2(m_prompts->errors().isEmpty(), qPrintable(m_prompts->errors().join('|')));
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().mid(0, 2),
             QStringList({"CREATE VIEW \"Order View\" ",
                          "(\"Order Id\", \"Who\", HALF, \"SELECT\")"}));

    m_session->db.execute("DROP VIEW \"Order View\"");
    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(columns), columnsBefore);
    QCOMPARE(m_session->db.scalar(source), sourceBefore);
    QCOMPARE(m_session->db.scalar(rows), "1Ann37");
}

QUORVEL_TEST_MAIN(TestTblStr)
#include "tst_tblstr.moc"
