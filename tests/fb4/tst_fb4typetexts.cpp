#include "catalog/TDomainsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFunctionsForm.h"
#include "catalog/TGenValueForm.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TPackagesForm.h"
#include "catalog/TRelationPickerDlg.h"
#include "catalog/TStoredProcsForm.h"
#include "controls/TOfficeButton.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/CatalogQuery.h"
#include "workbench/TSQLExprForm.h"

#include <QLineEdit>
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QTableView>

#include <memory>

// Firebird 4's types as the catalogue windows show them: a column of the
// structure window, a domain, a procedure's and a function's parameters;
// and what Firebird 4 stores beside them, which a window's rebuilt
// statement must say again.
class TestFb4TypeTexts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyWindowNamesTheType_data();
    void everyWindowNamesTheType();
    void identityShownAsStored();
    void rebuiltRoutineKeepsItsSqlSecurity_data();
    void rebuiltRoutineKeepsItsSqlSecurity();
    void generatorValueShownAndSetAsStored();

private:
    void start(const QStringList &schema);
    QStringList structureRows();
    QString structureType();
    QString domainType();
    QStringList procedureTypes();
    QStringList functionTypes();

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestFb4TypeTexts::init()
{
    if (TestDatabase::firebird4().folder.isEmpty())
        QSKIP("no Firebird 4 server named (QUORVEL_FB4_FOLDER)");
}

void TestFb4TypeTexts::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void TestFb4TypeTexts::start(const QStringList &schema)
{
    m_session = std::make_unique<TestSession>(TestDatabase::firebird4(), 3);
    m_session->db.execute(schema);
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

// The structure window's column rows of table T.
QStringList TestFb4TypeTexts::structureRows()
{
    const ScopedFormRunner picker([](QDialog *dialog) {
        auto *tables = static_cast<TRelationPickerDlg *>(dialog)->TablesList;
        tables->setCurrentItem(tables->findItems(QStringLiteral("T"), Qt::MatchExactly).value(0));
        return int(QDialog::Accepted);
    });
    TFormTblStr *form = TFormTblStr::open();
    form->SelectTableBtn->click();
    return TestWidgets::rowsShown(form->DBGrid1, QStringLiteral("|"));
}

// The Type of column C of table T.
QString TestFb4TypeTexts::structureType()
{
    return structureRows().value(1).section(u'|', 3, 3);
}

QString TestFb4TypeTexts::domainType()
{
    TDomainsForm *form = TDomainsForm::open();
    CatalogQuery *domains = form->DMQuery;
    for (int row = 0; row < domains->rowCount(); ++row) {
        if (domains->value(row, QStringLiteral("RDB$FIELD_NAME")).toString().trimmed() == "D")
            return domains->value(row, QStringLiteral("FTYPE")).toString();
    }
    return QStringLiteral("<no domain D>");
}

// The procedure's input, then its output.
QStringList TestFb4TypeTexts::procedureTypes()
{
    TStoredProcsForm *form = TStoredProcsForm::open();
    return TestWidgets::rowsShown(form->DBGrid1, QStringLiteral("|"))
           + TestWidgets::rowsShown(form->DBGrid2, QStringLiteral("|"));
}

// The function's argument, then what it returns.
QStringList TestFb4TypeTexts::functionTypes()
{
    TFunctionsForm *form = TFunctionsForm::open();
    return TestWidgets::rowsShown(form->ArgumentsGrid, QStringLiteral("|"))
           << form->ReturnsEdit->text();
}

void TestFb4TypeTexts::everyWindowNamesTheType_data()
{
    QTest::addColumn<QString>("declared");
    QTest::addColumn<QString>("shown");
    QTest::newRow("INT128") << "INT128" << "INT128";
    QTest::newRow("NUMERIC(38,4)") << "NUMERIC(38,4)" << "NUMERIC(38,4)";
    QTest::newRow("DECIMAL(19,2)") << "DECIMAL(19,2)" << "DECIMAL(19,2)";
    QTest::newRow("DECFLOAT(16)") << "DECFLOAT(16)" << "DECFLOAT(16)";
    QTest::newRow("DECFLOAT(34)") << "DECFLOAT(34)" << "DECFLOAT(34)";
    QTest::newRow("TIME WITH TIME ZONE") << "TIME WITH TIME ZONE" << "TIME WITH TIME ZONE";
    QTest::newRow("TIMESTAMP WITH TIME ZONE")
        << "TIMESTAMP WITH TIME ZONE" << "TIMESTAMP WITH TIME ZONE";
    // The catalogue holds a binary string as text of the character set
    // OCTETS, which every server reads.
    QTest::newRow("BINARY(4)") << "BINARY(4)" << "CHAR(4) CHARACTER SET OCTETS";
    QTest::newRow("VARBINARY(8)") << "VARBINARY(8)" << "VARCHAR(8) CHARACTER SET OCTETS";
}

void TestFb4TypeTexts::everyWindowNamesTheType()
{
    QFETCH(QString, declared);
    QFETCH(QString, shown);
    start({
        "CREATE TABLE T (ID INTEGER, C " + declared + ")",
        "CREATE DOMAIN D AS " + declared,
        "CREATE PROCEDURE P (A " + declared + ") RETURNS (R " + declared
            + ") AS BEGIN R = A; SUSPEND; END",
        "CREATE FUNCTION F (A " + declared + ") RETURNS " + declared + " AS BEGIN RETURN A; END",
    });

    const QStringList texts = QStringList{structureType(), domainType()} + procedureTypes()
                              + functionTypes();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(texts, (QStringList{shown, shown, "0|A|" + shown, "0|R|" + shown, "1|A|" + shown,
                                 shown}));
}

// The identity's kind and step, not only that it is one.
void TestFb4TypeTexts::identityShownAsStored()
{
    start({"CREATE TABLE T (A INTEGER GENERATED ALWAYS AS IDENTITY (START WITH 10 "
           "INCREMENT BY 2), B BIGINT GENERATED BY DEFAULT AS IDENTITY)"});
    const QStringList rows = structureRows();
    QCOMPARE(rows.value(0).section(u'|', -1), "GENERATED ALWAYS AS IDENTITY (START WITH 10 "
                                               "INCREMENT BY 2)");
    // Firebird 4 stores its default start, 1, where Firebird 3 stored 0.
    QCOMPARE(rows.value(1).section(u'|', -1), "GENERATED BY DEFAULT AS IDENTITY (START WITH 1)");
}

void TestFb4TypeTexts::rebuiltRoutineKeepsItsSqlSecurity_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("created");
    QTest::addColumn<QString>("security");
    QTest::newRow("procedure") << "PROCEDURE"
                               << "CREATE PROCEDURE X RETURNS (R INTEGER) SQL SECURITY DEFINER "
                                  "AS BEGIN R = 1; SUSPEND; END"
                               << "SQL SECURITY DEFINER";
    QTest::newRow("function") << "FUNCTION"
                              << "CREATE FUNCTION X RETURNS INTEGER SQL SECURITY INVOKER "
                                 "AS BEGIN RETURN 1; END"
                              << "SQL SECURITY INVOKER";
    QTest::newRow("package") << "PACKAGE"
                             << "CREATE PACKAGE X SQL SECURITY DEFINER AS BEGIN "
                                "FUNCTION G RETURNS INTEGER; END"
                             << "SQL SECURITY DEFINER";
}

// An ALTER or RECREATE that left the clause out would unset it: the window's
// statement says it before AS, and run unchanged leaves the catalogue as it was.
void TestFb4TypeTexts::rebuiltRoutineKeepsItsSqlSecurity()
{
    QFETCH(QString, kind);
    QFETCH(QString, created);
    QFETCH(QString, security);
    start({created});
    const QString stored = QStringLiteral(
        "SELECT COALESCE(CAST(RDB$SQL_SECURITY AS VARCHAR(5)), '-') FROM RDB$%1S "
        "WHERE RDB$%1_NAME = 'X'").arg(kind);
    const QStringList before = m_session->db.column(stored);
    if (kind == "PROCEDURE") {
        TStoredProcsForm::open()->DDLBtn->click();
    } else if (kind == "FUNCTION") {
        TFunctionsForm *form = TFunctionsForm::open();
        QVERIFY(form->selectFunction("X"));
        form->DDLBtn->click();
    } else {
        TPackagesForm *form = TPackagesForm::open();
        QVERIFY(form->selectPackage("X"));
        form->DDLBtn->click();
    }
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    const QStringList lines = ddl->lines();
    QCOMPARE(lines.value(lines.indexOf("AS") - 1), security);
    QCOMPARE(m_session->refusal(lines), QString());
    QCOMPARE(m_session->db.column(stored), before);
    QCOMPARE(m_prompts->errors(), QStringList());
}

// A sequence of Firebird 4, stepping by two: the window lists it with the
// value the server gives (its start less one step, before any NEXT VALUE),
// not the identity's own generator, and sets the widest value exactly.
void TestFb4TypeTexts::generatorValueShownAndSetAsStored()
{
    start({"CREATE SEQUENCE S START WITH 10 INCREMENT BY 2",
           "CREATE TABLE T (ID INTEGER GENERATED ALWAYS AS IDENTITY, C INTEGER)"});
    const QString current = "SELECT GEN_ID(S, 0) FROM RDB$DATABASE";
    TGeneratorsForm *form = TGeneratorsForm::open();
    QCOMPARE(form->GeneratorList->topLevelItemCount(), 1);
    QTreeWidgetItem *item = form->GeneratorList->topLevelItem(0);
    QCOMPARE(item->text(0), QStringLiteral("S"));
    QCOMPARE(item->text(1), m_session->db.scalar(current));
    form->GeneratorList->setCurrentItem(item);
    const QString widest = QStringLiteral("9223372036854775807");
    const ScopedFormRunner dialog([&widest](QDialog *shown) {
        auto *value = qobject_cast<TGenValueForm *>(shown);
        value->GenValueEdit->setText(widest);
        value->Ok->click();
        return value->result();
    });
    const auto trigger = [form](const QString &text) {
        for (QAction *action : form->formMenu()->actions()) {
            if (action->text() == text)
                action->trigger();
        }
    };
    trigger(QStringLiteral("&Value"));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->db.scalar(current), widest);
    trigger(QStringLiteral("&Refresh"));
    QCOMPARE(form->GeneratorList->findItems("S", Qt::MatchExactly).value(0)->text(1), widest);
}

QUORVEL_TEST_MAIN(TestFb4TypeTexts)
#include "tst_fb4typetexts.moc"
