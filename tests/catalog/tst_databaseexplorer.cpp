#include "catalog/ObjectTreeModel.h"
#include "catalog/TDatabaseExplorer.h"
#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TPackagesForm.h"
#include "catalog/TStoredProcsForm.h"
#include "catalog/TTrigSourceForm.h"
#include "core/ProgramSettings.h"
#include "support/ExplorerSchema.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/CatalogQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRegularExpression>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>

namespace {

using Kind = ObjectDirectory::Kind;

// A kind's names, as opening it reads them.
QModelIndex opened(ObjectTreeModel *model, Kind kind)
{
    const QModelIndex parent = model->kindIndex(kind);
    if (model->canFetchMore(parent))
        model->fetchMore(parent);
    return parent;
}

// The tree as the user reads it: each kind's row, then its names.
QStringList treeText(ObjectTreeModel *model)
{
    QStringList lines;
    for (const Kind kind : ObjectDirectory::kinds()) {
        const QModelIndex parent = opened(model, kind);
        QStringList names;
        for (int row = 0; row < model->rowCount(parent); ++row)
            names << model->index(row, 0, parent).data().toString();
        lines << parent.data().toString() + ": " + names.join('|');
    }
    return lines;
}

QModelIndex find(ObjectTreeModel *model, Kind kind, const QString &name)
{
    const QModelIndex parent = opened(model, kind);
    for (int row = 0; row < model->rowCount(parent); ++row) {
        if (model->nameOf(model->index(row, 0, parent)) == name)
            return model->index(row, 0, parent);
    }
    return {};
}

// The name in the row the window shows as current.
QString currentValue(const QTableView *grid, const CatalogQuery *query, const QString &field)
{
    return query->value(grid->currentIndex().row(), field).toString().trimmed();
}

} // namespace

class TestDatabaseExplorer : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void treeCountsAndNamesWhatTheServerHolds_data();
    void treeCountsAndNamesWhatTheServerHolds();
    void filterFindsAnyObjectByPartOfItsName_data();
    void filterFindsAnyObjectByPartOfItsName();
    void enterOpensTheObjectInItsWindow_data();
    void enterOpensTheObjectInItsWindow();
    void refreshReadsNewObjectsAndKeepsTheFilter();
    void namesAreReadWhenTheirKindOpens();
    void openAtConnectIsTheUsersChoice();

private:
    TDatabaseExplorer *openExplorer(int dialect);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestDatabaseExplorer::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

TDatabaseExplorer *TestDatabaseExplorer::openExplorer(int dialect)
{
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(ExplorerSchema::statements(dialect));
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    return TDatabaseExplorer::open();
}

void TestDatabaseExplorer::treeCountsAndNamesWhatTheServerHolds_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("dialect 1") << 1
        << QStringList{"Domains (2): D_MONEY|D_NAME", "Tables (2): CUSTOMER|ORDERS",
                       "Views (1): CUSTOMER_CITY", "Procedures (1): P_COUNT",
                       "Functions (1): F_TWICE", "Packages (1): PK_SHOP",
                       "Triggers (2): CUSTOMER_AU|ORDERS_BI", "Exceptions (1): E_NO_CUSTOMER",
                       "Generators (1): G_ORDER", "Roles (1): CLERK"};
    QTest::newRow("dialect 3") << 3
        << QStringList{"Domains (2): D_MONEY|D_NAME", "Tables (3): CUSTOMER|ORDERS|Order lines",
                       "Views (1): CUSTOMER_CITY", "Procedures (1): P_COUNT",
                       "Functions (1): F_TWICE", "Packages (1): PK_SHOP",
                       "Triggers (2): CUSTOMER_AU|ORDERS_BI",
                       "Exceptions (2): E_NO_CUSTOMER|e_lower", "Generators (1): G_ORDER",
                       "Roles (1): CLERK"};
}

void TestDatabaseExplorer::treeCountsAndNamesWhatTheServerHolds()
{
    QFETCH(int, dialect);
    QFETCH(QStringList, tree);
    TDatabaseExplorer *explorer = openExplorer(dialect);
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(explorer->windowTitle(), "Database Explorer");
    const QRegularExpression header(
        QStringLiteral("^%1\nFirebird 3\\.0\\.\\d+, ODS 12\\.0, dialect %2$")
            .arg(QRegularExpression::escape(m_session->db.path()))
            .arg(dialect));
    QVERIFY2(header.match(explorer->DatabaseLabel->text()).hasMatch(),
             qPrintable(explorer->DatabaseLabel->text()));
    QCOMPARE(treeText(explorer->Objects), tree);
    for (QWidget *control : std::initializer_list<QWidget *>{
             explorer->DatabaseLabel, explorer->FilterEdit, explorer->ObjectTree,
             explorer->NoteLabel, explorer->OpenAtConnect})
        QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
}

void TestDatabaseExplorer::filterFindsAnyObjectByPartOfItsName_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found"); // the kinds that still hold names
    QTest::newRow("part, any case") << 1 << "cust"
        << QStringList{"Tables (1 of 2): CUSTOMER", "Views (1): CUSTOMER_CITY",
                       "Triggers (1 of 2): CUSTOMER_AU", "Exceptions (1): E_NO_CUSTOMER"};
    QTest::newRow("inner part") << 1 << "_ORD"
        << QStringList{"Generators (1): G_ORDER"};
    QTest::newRow("blank inside a name") << 3 << "r l"
        << QStringList{"Tables (1 of 3): Order lines"};
    QTest::newRow("nothing") << 3 << "zzz" << QStringList{};
}

void TestDatabaseExplorer::filterFindsAnyObjectByPartOfItsName()
{
    QFETCH(int, dialect);
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    TDatabaseExplorer *explorer = openExplorer(dialect);
    QTest::keyClicks(explorer->FilterEdit, typed);
    QStringList holding;
    for (const QString &line : treeText(explorer->Objects)) {
        if (!line.endsWith(": "))
            holding << line;
    }
    QCOMPARE(holding, found);
    for (const Kind kind : ObjectDirectory::kinds())
        QVERIFY(explorer->ObjectTree->isExpanded(explorer->Objects->kindIndex(kind)));
    explorer->FilterEdit->clear();
    QCOMPARE(treeText(explorer->Objects).first(), "Domains (2): D_MONEY|D_NAME");
}

void TestDatabaseExplorer::enterOpensTheObjectInItsWindow_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown"); // what the opened window shows of it
    QTest::newRow("table") << 1 << Kind::Table << "ORDERS" << "structure of table ORDERS";
    QTest::newRow("view") << 1 << Kind::View << "CUSTOMER_CITY"
                          << "structure of view CUSTOMER_CITY";
    QTest::newRow("odd table name") << 3 << Kind::Table << "Order lines"
                                    << "structure of table Order lines";
    QTest::newRow("procedure") << 1 << Kind::Procedure << "P_COUNT" << "procedure P_COUNT";
    QTest::newRow("domain") << 3 << Kind::Domain << "D_NAME" << "domain D_NAME";
    QTest::newRow("exception") << 3 << Kind::Exception << "e_lower" << "exception e_lower";
    QTest::newRow("generator") << 1 << Kind::Generator << "G_ORDER" << "generator G_ORDER";
    QTest::newRow("trigger") << 3 << Kind::Trigger << "ORDERS_BI"
                             << "trigger ORDERS_BI on ORDERS at 3";
    QTest::newRow("function") << 1 << Kind::Function << "F_TWICE" << "function F_TWICE";
    QTest::newRow("package") << 3 << Kind::Package << "PK_SHOP" << "package PK_SHOP";
}

void TestDatabaseExplorer::enterOpensTheObjectInItsWindow()
{
    QFETCH(int, dialect);
    QFETCH(Kind, kind);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    TDatabaseExplorer *explorer = openExplorer(dialect);
    const QModelIndex index = find(explorer->Objects, kind, name);
    QVERIFY(index.isValid());
    explorer->ObjectTree->setCurrentIndex(index);
    const qsizetype before = m_shell->opened.size();
    QTest::keyClick(explorer->ObjectTree, Qt::Key_Return);
    QCOMPARE(m_prompts->errors(), QStringList());
    QString actual = "note " + explorer->NoteLabel->text();
    if (auto *form = m_shell->last<TFormTblStr>()) {
        QVERIFY(form->StrQuery->rowCount() > 0);
        actual = QString("structure of %1 %2")
                     .arg(form->isView() ? "view" : "table", form->relationName());
    } else if (auto *form = m_shell->last<TStoredProcsForm>()) {
        actual = "procedure " + currentValue(form->DataGrid, form->StorProcsQuery,
                                             "RDB$PROCEDURE_NAME");
    } else if (auto *form = m_shell->last<TFunctionsForm>()) {
        actual = "function " + form->currentName();
    } else if (auto *form = m_shell->last<TPackagesForm>()) {
        actual = "package " + form->currentName();
    } else if (auto *form = m_shell->last<TDomainsForm>()) {
        actual = "domain " + currentValue(form->DBGrid1, form->DMQuery, "RDB$FIELD_NAME");
    } else if (auto *form = m_shell->last<TExceptionsForm>()) {
        actual = "exception "
                 + currentValue(form->FGrid, form->ExceptionsTable, "RDB$EXCEPTION_NAME");
    } else if (auto *form = m_shell->last<TGeneratorsForm>()) {
        QVERIFY(form->GeneratorList->currentItem());
        actual = "generator " + form->GeneratorList->currentItem()->text(0);
    } else if (auto *form = m_shell->last<TTrigSourceForm>()) {
        actual = QString("trigger %1 on %2 at %3")
                     .arg(form->TrigNameEdit->text(), form->TableNameEdit->currentText())
                     .arg(form->PositionEdit->value());
        QVERIFY(form->sourceLines().join('\n').contains("GEN_ID(G_ORDER, 1)"));
    }
    QCOMPARE(actual, shown);
    QCOMPARE(m_shell->opened.size(), before + (shown.startsWith("note") ? 0 : 1));
}

void TestDatabaseExplorer::refreshReadsNewObjectsAndKeepsTheFilter()
{
    TDatabaseExplorer *explorer = openExplorer(1);
    QTest::keyClicks(explorer->FilterEdit, "order");
    m_session->db.execute("CREATE EXCEPTION E_ORDER_LATE 'late'");
    explorer->RefreshBtnClick();
    QCOMPARE(treeText(explorer->Objects).at(7), "Exceptions (1 of 2): E_ORDER_LATE");
}

// The tree opens on counts alone; a kind's names come when the user opens
// it, and a key taken back widens what the filter found.
void TestDatabaseExplorer::namesAreReadWhenTheirKindOpens()
{
    TDatabaseExplorer *explorer = openExplorer(1);
    const QModelIndex domains = explorer->Objects->kindIndex(Kind::Domain);
    QCOMPARE(explorer->Objects->rowCount(domains), 0);
    QCOMPARE(domains.data().toString(), "Domains (2)");
    QVERIFY(explorer->Objects->hasChildren(domains));
    explorer->ObjectTree->expand(domains);
    QCOMPARE(explorer->Objects->rowCount(domains), 2);
    QTest::keyClicks(explorer->FilterEdit, "custx");
    QCOMPARE(treeText(explorer->Objects).at(1), "Tables (0 of 2): ");
    QTest::keyClick(explorer->FilterEdit, Qt::Key_Backspace);
    QCOMPARE(treeText(explorer->Objects).at(1), "Tables (1 of 2): CUSTOMER");
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestDatabaseExplorer::openAtConnectIsTheUsersChoice()
{
    ProgramSettings::instance().ExplorerAtConnect = true;
    TDatabaseExplorer *explorer = openExplorer(1);
    QVERIFY(explorer->OpenAtConnect->isChecked());
    explorer->OpenAtConnect->click();
    QCOMPARE(ProgramSettings::instance().ExplorerAtConnect, false);
    QCOMPARE(TDatabaseExplorer::open()->OpenAtConnect->isChecked(), false);
    ProgramSettings::instance().ExplorerAtConnect = true;
}

QUORVEL_TEST_MAIN(TestDatabaseExplorer)
#include "tst_databaseexplorer.moc"
