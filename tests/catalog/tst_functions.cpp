#include "catalog/TFunctionsForm.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "workbench/TSQLExprForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>

namespace {

const QString kAddSource = "BEGIN\n  RETURN A + B;\nEND";

QStringList functions()
{
    return {
        "CREATE FUNCTION F_ADD (A INTEGER, B NUMERIC(9,2)) RETURNS NUMERIC(18,2) "
        "DETERMINISTIC AS\n" + kAddSource,
        "CREATE FUNCTION F_NAME (S VARCHAR(10)) RETURNS VARCHAR(20) AS BEGIN RETURN S || S; END",
        "CREATE FUNCTION F_CALLER RETURNS INTEGER AS BEGIN RETURN F_ADD(1, 2); END",
        "DECLARE EXTERNAL FUNCTION F_EXT INTEGER, CSTRING(20) RETURNS INTEGER BY VALUE "
        "ENTRY_POINT 'ext_entry' MODULE_NAME 'ext_module'",
        "CREATE PACKAGE PKG AS BEGIN FUNCTION F_IN_PKG (X INTEGER) RETURNS INTEGER; END",
        "CREATE PACKAGE BODY PKG AS BEGIN FUNCTION F_IN_PKG (X INTEGER) RETURNS INTEGER "
        "AS BEGIN RETURN X; END END",
    };
}

QStringList listed(const TFunctionsForm *form)
{
    return TestWidgets::rowsShown(form->FunctionsGrid, QStringLiteral("|"));
}

QStringList arguments(const TFunctionsForm *form)
{
    return TestWidgets::rowsShown(form->ArgumentsGrid, QStringLiteral("|"));
}

// What the server holds of the functions, to compare before and after.
const QString kCatalogue =
    "SELECT A.RDB$FUNCTION_NAME || ':' || A.RDB$ARGUMENT_POSITION || ':' || "
    "COALESCE(A.RDB$ARGUMENT_NAME, '') || ':' || COALESCE(A.RDB$MECHANISM, -9) || ':' || "
    "COALESCE(A.RDB$FIELD_TYPE, F.RDB$FIELD_TYPE) || ':' || "
    "COALESCE(A.RDB$FIELD_SCALE, F.RDB$FIELD_SCALE, 0) || ':' || "
    "COALESCE(A.RDB$FIELD_PRECISION, F.RDB$FIELD_PRECISION, 0) || ':' || "
    "COALESCE(FN.RDB$DETERMINISTIC_FLAG, 0) || ':' || COALESCE(FN.RDB$RETURN_ARGUMENT, 0) "
    "FROM RDB$FUNCTION_ARGUMENTS A JOIN RDB$FUNCTIONS FN "
    "ON FN.RDB$FUNCTION_NAME = A.RDB$FUNCTION_NAME "
    "LEFT JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = A.RDB$FIELD_SOURCE "
    "WHERE A.RDB$PACKAGE_NAME IS NULL AND COALESCE(A.RDB$SYSTEM_FLAG, 0) = 0 "
    "ORDER BY A.RDB$FUNCTION_NAME, A.RDB$ARGUMENT_POSITION";

} // namespace

class tst_Functions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shown_data();
    void shown();
    void rebuiltRunsUnchanged_data();
    void rebuiltRunsUnchanged();
    void drop_data();
    void drop();
    void refusedStatementShown();

private:
    void start(int dialect);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_Functions::start(int dialect)
{
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(functions());
    m_shell = std::make_unique<TestShell>();
}

void tst_Functions::init()
{
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_Functions::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void tst_Functions::shown_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("returns");
    QTest::addColumn<bool>("deterministic");

    for (const int dialect : {1, 3}) {
        const QByteArray d = "d" + QByteArray::number(dialect) + " ";
        // Dialect 1 keeps a NUMERIC(18,2) as a DOUBLE; dialect 3 as a BIGINT.
        QTest::newRow(d + "psql") << dialect << "F_ADD"
                                  << QStringList{"1|A|INTEGER", "2|B|NUMERIC(9,2)"}
                                  << (dialect == 1 ? "NUMERIC(15,2)" : "NUMERIC(18,2)") << true;
        QTest::newRow(d + "no arguments") << dialect << "F_CALLER" << QStringList{} << "INTEGER"
                                          << false;
        QTest::newRow(d + "external") << dialect << "F_EXT"
                                      << QStringList{"1||INTEGER", "2||CSTRING(20)"} << "INTEGER"
                                      << false;
    }
}

void tst_Functions::shown()
{
    QFETCH(int, dialect);
    QFETCH(QString, function);
    QFETCH(QStringList, rows);
    QFETCH(QString, returns);
    QFETCH(bool, deterministic);
    start(dialect);

    TFunctionsForm *form = TFunctionsForm::open();
    QCOMPARE(form->windowTitle(), "Functions");
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    // Package members are rebuilt with their package, not here.
    QCOMPARE(listed(form), (QStringList{"F_ADD", "F_CALLER", "F_EXT", "F_NAME"}));
    QCOMPARE(form->currentName(), "F_ADD");
    QVERIFY(form->selectFunction(function));
    QCOMPARE(arguments(form), rows);
    QCOMPARE(form->ReturnsEdit->text(), returns);
    QCOMPARE(form->DeterministicBox->isChecked(), deterministic);
    if (function != "F_CALLER")
        QCOMPARE(form->SourceMemo->toPlainText(), function == "F_ADD" ? kAddSource : QString());
}

void tst_Functions::rebuiltRunsUnchanged_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("text");

    for (const int dialect : {1, 3}) {
        const QByteArray d = "d" + QByteArray::number(dialect) + " ";
        const QByteArray result = dialect == 1 ? "NUMERIC(15,2)" : "NUMERIC(18,2)";
        QTest::newRow(d + "psql")
            << dialect << "F_ADD"
            << "ALTER FUNCTION F_ADD (A INTEGER, B NUMERIC(9,2))\r\nRETURNS " + result
                   + " DETERMINISTIC\r\nAS\r\nBEGIN\r\n  RETURN A + B;\r\nEND";
        QTest::newRow(d + "external")
            << dialect << "F_EXT"
            << QByteArray("DECLARE EXTERNAL FUNCTION F_EXT\r\n    INTEGER,\r\n    CSTRING(20)\r\n"
                          "    RETURNS INTEGER BY VALUE\r\n    ENTRY_POINT ")
                   // Dialect 1 quotes its strings either way; the server reads both.
                   + (dialect == 1 ? "\"ext_entry\" MODULE_NAME \"ext_module\""
                                   : "'ext_entry' MODULE_NAME 'ext_module'");
    }
}

void tst_Functions::rebuiltRunsUnchanged()
{
    QFETCH(int, dialect);
    QFETCH(QString, function);
    QFETCH(QByteArray, text);
    start(dialect);
    const QStringList before = m_session->db.column(kCatalogue);

    TFunctionsForm *form = TFunctionsForm::open();
    QVERIFY(form->selectFunction(function));
    form->DDLBtn->click();
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().join("\r\n").toUtf8(), text);

    // An external function is declared again after it goes.
    if (function == "F_EXT")
        m_session->db.execute(QStringList{"DROP EXTERNAL FUNCTION F_EXT"});
    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(kCatalogue), before);
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
}

void tst_Functions::drop_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<bool>("failed");

    QTest::newRow("cancel") << "F_NAME" << false << QByteArrayList{} << false;
    QTest::newRow("ok") << "F_NAME" << true << QByteArrayList{"DROP FUNCTION F_NAME\r\n"} << false;
    QTest::newRow("external") << "F_EXT" << true
                              << QByteArrayList{"DROP EXTERNAL FUNCTION F_EXT\r\n"} << false;
    QTest::newRow("in use") << "F_ADD" << true << QByteArrayList{"DROP FUNCTION F_ADD\r\n"}
                            << true;
}

void tst_Functions::drop()
{
    QFETCH(QString, function);
    QFETCH(bool, ok);
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, failed);
    start(3);

    TFunctionsForm *form = TFunctionsForm::open();
    QVERIFY(form->selectFunction(function));
    m_prompts->answers << (ok ? Prompts::Answer::Ok : Prompts::Answer::Cancel);
    form->BtnDropFunc->click();

    QCOMPARE(m_prompts->questions(),
             QStringList{"Proceed to delete function " + function + " from database?"});
    QCOMPARE(m_prompts->asked.first().caption, QStringLiteral("OkCancel"));
    QCOMPARE(m_session->sent, sent);
    QCOMPARE(m_prompts->errors().size(), failed ? 1 : 0);
    QVERIFY(!m_session->ib()->InTransaction());
    const bool dropped = ok && !failed;
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = '"
                                  + function + "'"),
             dropped ? "0" : "1");
    QCOMPARE(listed(form).contains(function), !dropped);
}

// A function another user dropped since the window showed it is not rebuilt
// from the old reading: the user is told, and the window stays usable.
void tst_Functions::refusedStatementShown()
{
    start(3);
    TFunctionsForm *form = TFunctionsForm::open();
    m_session->db.execute({"DROP FUNCTION F_CALLER", "DROP FUNCTION F_ADD"});
    QVERIFY(form->selectFunction("F_CALLER"));
    form->DDLBtn->click();
    QCOMPARE(m_prompts->errors(),
             QStringList{"F_CALLER was dropped by another user since it was shown."});
    QVERIFY(!m_shell->last<TSQLExprForm>());
    form->RefreshBtn->click();
    QCOMPARE(listed(form), (QStringList{"F_EXT", "F_NAME"}));
}

QUORVEL_TEST_MAIN(tst_Functions)
#include "tst_functions.moc"
