#include "schema/ProcedureDdl.h"
#include "catalog/TStoredProcsForm.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/CatalogQuery.h"
#include "workbench/TSQLExprForm.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>

using Param = ProcedureDdl::Parameter;
Q_DECLARE_METATYPE(QList<Param>)

namespace {

// Source bodies sent with exactly these line breaks.
const QString kNoneSource = "BEGIN EXIT; END";
const QString kOutSource = "BEGIN\n  R = 1;\n  C = 'x';\n  SUSPEND;\nEND";
const QString kInSource = "BEGIN\r\n  EXIT;\r\nEND";
const QString kBothSource = "BEGIN\n  R = A;\n\n  SUSPEND;\nEND";

QStringList procedures()
{
    return {
        "CREATE PROCEDURE P_NONE AS " + kNoneSource,
        "CREATE PROCEDURE P_OUT RETURNS (R NUMERIC(9,2), C CHAR(5)) AS\n" + kOutSource,
        "CREATE PROCEDURE P_IN (A INTEGER, B VARCHAR(10)) AS\n" + kInSource,
        "CREATE PROCEDURE P_BOTH (B VARCHAR(10), A INTEGER) RETURNS (R NUMERIC(9,2)) "
        "AS\n" + kBothSource,
        "CREATE PROCEDURE P_CALLER AS BEGIN EXECUTE PROCEDURE P_NONE; END",
    };
}

void trigger(TStoredProcsForm *form, const QString &text)
{
    for (QAction *action : form->formMenu()->actions()) {
        if (action->text() == text)
            return action->trigger();
    }
    QFAIL(qPrintable("no menu item " + text));
}

QStringList listed(const TStoredProcsForm *form)
{
    QStringList names;
    for (int row = 0; row < form->StorProcsQuery->rowCount(); ++row)
        names << form->StorProcsQuery->value(row, "RDB$PROCEDURE_NAME").toString();
    return names;
}

void selectProcedure(TStoredProcsForm *form, const QString &name)
{
    const int row = int(listed(form).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    form->DataGrid->setCurrentIndex(
        form->StorProcsQuery->index(row, form->StorProcsQuery->fieldIndex("RDB$PROCEDURE_NAME")));
}

// The procedures window's ALTER PROCEDURE for a procedure, in the DDL window
// it opens.
TSQLExprForm *rebuilt(TestShell &shell, const QString &procedure)
{
    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, procedure);
    form->DDLBtn->click();
    return shell.last<TSQLExprForm>();
}

// The parameter grids' rows as "position|name|type".
QStringList shownRows(const QTableView *grid)
{
    return TestWidgets::rowsShown(grid, QStringLiteral("|"));
}

} // namespace

class tst_StoredProcs : public QObject
{
    Q_OBJECT

private slots:
    void ddlText_data();
    void ddlText();

    void init();
    void cleanup();

    void listAndParametersFollow();
    void rebuiltStatement_data();
    void rebuiltStatement();
    void rebuiltFromCatalogueAsNow_data();
    void rebuiltFromCatalogueAsNow();
    void drop_data();
    void drop();
    void refreshReadsNewList();
    void rebuiltKeepsInterface();
    void dialect1TypesKept();
    void dialect3RoundTrip();
    void dialect3QuotedCollation();

private:
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_StoredProcs::ddlText_data()
{
    QTest::addColumn<QList<Param>>("inputs");
    QTest::addColumn<QList<Param>>("outputs");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("both, two source lines")
        << QList<Param>{{"A", "INTEGER"}, {"B", "VARCHAR(10)"}}
        << QList<Param>{{"R", "NUMERIC(9,2)"}} << "BEGIN\r\nEND"
        << QByteArray("ALTER PROCEDURE P \r\n( A INTEGER, B VARCHAR(10))\r\n"
                      " RETURNS ( R NUMERIC(9,2))\r\nAS\r\nBEGIN\r\nEND\r\n");
    QTest::newRow("no parameters, no source") << QList<Param>{} << QList<Param>{} << ""
        << QByteArray("ALTER PROCEDURE P \r\nAS\r\n");
    QTest::newRow("carriage returns, percent signs") << QList<Param>{{"%1", "%2"}}
        << QList<Param>{} << "%1\r\rEND\n"
        << QByteArray("ALTER PROCEDURE P \r\n( %1 %2)\r\nAS\r\n%1\r\n\r\nEND\r\n");
    Param typeOf{"A", "INTEGER", "TYPE OF D_POS"};
    typeOf.notNull = true;
    typeOf.defaultSource = "= 1 ";
    Param text{"B", "VARCHAR(5)", "", "UTF8"};
    text.collation = "UNICODE_CI";
    text.defaultSource = "DEFAULT 'x'";
    QTest::newRow("beyond the type") << QList<Param>{typeOf, text}
        << QList<Param>{{"R", "INTEGER", "TYPE OF COLUMN T.C"}} << ""
        << QByteArray("ALTER PROCEDURE P \r\n( A TYPE OF D_POS NOT NULL = 1, B VARCHAR(5) "
                      "CHARACTER SET UTF8 COLLATE UNICODE_CI DEFAULT 'x')\r\n"
                      " RETURNS ( R TYPE OF COLUMN T.C)\r\nAS\r\n");
}

void tst_StoredProcs::ddlText()
{
    QFETCH(QList<Param>, inputs);
    QFETCH(QList<Param>, outputs);
    QFETCH(QString, source);
    QFETCH(QByteArray, text);
    const ProcedureDdl::Procedure procedure{"P", source, inputs, outputs};
    QCOMPARE(ProcedureDdl::text(procedure).toUtf8(), text);
}

void tst_StoredProcs::init()
{
    m_session = std::make_unique<TestSession>(true);
    m_session->db.execute(procedures());
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_StoredProcs::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void tst_StoredProcs::listAndParametersFollow()
{
    TStoredProcsForm *form = TStoredProcsForm::open();
    QCOMPARE(m_shell->last<TStoredProcsForm>(), form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Stored Procedures"));
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QCOMPARE(listed(form), (QStringList{"P_BOTH", "P_CALLER", "P_IN", "P_NONE", "P_OUT"}));

    // The first procedure is current at once.
    QCOMPARE(shownRows(form->DBGrid1), (QStringList{"0|B|VARCHAR(10)", "1|A|INTEGER"}));
    QCOMPARE(shownRows(form->DBGrid2), (QStringList{"0|R|NUMERIC(9,2)"}));
    QCOMPARE(form->DBMemo1->toPlainText(), kBothSource);

    selectProcedure(form, "P_OUT");
    QCOMPARE(shownRows(form->DBGrid1), QStringList());
    QCOMPARE(shownRows(form->DBGrid2), (QStringList{"0|R|NUMERIC(9,2)", "1|C|CHAR(5)"}));
    QCOMPARE(form->DBMemo1->toPlainText(), kOutSource);
    QVERIFY(m_prompts->asked.isEmpty());
}

void tst_StoredProcs::rebuiltStatement_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("no parameters") << "P_NONE"
        << QStringList{"ALTER PROCEDURE P_NONE ", "AS", "BEGIN EXIT; END"};
    QTest::newRow("outputs only") << "P_OUT"
        << QStringList{"ALTER PROCEDURE P_OUT ", " RETURNS ( R NUMERIC(9,2), C CHAR(5))", "AS",
                       "BEGIN", "  R = 1;", "  C = 'x';", "  SUSPEND;", "END"};
    QTest::newRow("inputs only") << "P_IN"
        << QStringList{"ALTER PROCEDURE P_IN ", "( A INTEGER, B VARCHAR(10))", "AS", "BEGIN",
                       "  EXIT;", "END"};
    QTest::newRow("both, parameter number order") << "P_BOTH"
        << QStringList{"ALTER PROCEDURE P_BOTH ", "( B VARCHAR(10), A INTEGER)",
                       " RETURNS ( R NUMERIC(9,2))", "AS", "BEGIN", "  R = A;", "",
                       "  SUSPEND;", "END"};
}

void tst_StoredProcs::rebuiltStatement()
{
    QFETCH(QString, procedure);
    QFETCH(QStringList, lines);
    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, procedure);
    form->DDLBtn->click();
    emit form->DataGrid->doubleClicked(form->DataGrid->currentIndex());

    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QList<TSQLExprForm *> windows; // one new window each time
    for (const auto &opened : m_shell->opened) {
        if (auto *ddl = qobject_cast<TSQLExprForm *>(opened.data()))
            windows << ddl;
    }
    QCOMPARE(windows.size(), 2);
    QCOMPARE(windows[0]->lines(), lines);
    QCOMPARE(windows[1]->lines(), lines);
    QVERIFY(m_session->sent.isEmpty());

    // The rebuilt statement is accepted by the server as it stands.
    QCOMPARE(m_session->refusal(lines), QString());
}

void tst_StoredProcs::rebuiltFromCatalogueAsNow_data()
{
    QTest::addColumn<QString>("otherUser"); // what another attachment commits meanwhile
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QStringList>("lines"); // of the DDL window opened, if any
    const QStringList original{"ALTER PROCEDURE P_IN ", "( A INTEGER, B VARCHAR(10))", "AS",
                               "BEGIN", "  EXIT;", "END"};
    QTest::newRow("unchanged") << "" << QStringList() << QStringList() << original;
    QTest::newRow("altered")
        << "ALTER PROCEDURE P_IN (A INTEGER, B VARCHAR(10)) AS BEGIN A = A + 100; END"
        << QStringList{"P_IN was changed by another user since it was shown; the statement is "
                       "built from its current text."}
        << QStringList()
        << QStringList{"ALTER PROCEDURE P_IN ", "( A INTEGER, B VARCHAR(10))", "AS",
                       "BEGIN A = A + 100; END"};
    QTest::newRow("dropped") << "DROP PROCEDURE P_IN" << QStringList()
                             << QStringList{"P_IN was dropped by another user since it was "
                                            "shown."}
                             << QStringList();
}

// The window rebuilt from the rows it read when it opened: another user's
// change was undone by the next Run, without a word.
void tst_StoredProcs::rebuiltFromCatalogueAsNow()
{
    QFETCH(QString, otherUser);
    QFETCH(QStringList, told);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, lines);
    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, "P_IN");
    if (!otherUser.isEmpty())
        m_session->db.execute({otherUser});
    form->DDLBtn->click();
    QCOMPARE(m_prompts->told(), told);
    QCOMPARE(m_prompts->errors(), errors);
    auto *ddl = m_shell->last<TSQLExprForm>();
    QCOMPARE(ddl ? ddl->lines() : QStringList(), lines);
    QCOMPARE(listed(form).contains("P_IN"), errors.isEmpty());
}

void tst_StoredProcs::drop_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<bool>("failed");

    QTest::newRow("cancel") << "P_IN" << false << QByteArrayList{} << false;
    QTest::newRow("ok") << "P_IN" << true << QByteArrayList{"DROP PROCEDURE P_IN\r\n"} << false;
    QTest::newRow("in use") << "P_NONE" << true << QByteArrayList{"DROP PROCEDURE P_NONE\r\n"}
                            << true;
}

void tst_StoredProcs::drop()
{
    QFETCH(QString, procedure);
    QFETCH(bool, ok);
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, failed);

    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, procedure);
    m_prompts->answers << (ok ? Prompts::Answer::Ok : Prompts::Answer::Cancel);
    form->BtnDropProc->click();

    QCOMPARE(m_prompts->questions(),
             QStringList{"Proceed to delete procedure " + procedure + " from database?"});
    QCOMPARE(m_prompts->asked.first().caption, QStringLiteral("OkCancel"));
    QCOMPARE(m_session->sent, sent);
    QCOMPARE(m_prompts->errors().size(), failed ? 1 : 0);
    QVERIFY(!m_session->ib()->InTransaction());
    const bool dropped = ok && !failed;
    const QString count = m_session->db.scalar(
        "SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = '" + procedure + "'");
    QCOMPARE(count, dropped ? "0" : "1");

    // Still listed until the list is read again.
    QVERIFY(listed(form).contains(procedure));
    trigger(form, "&Refresh");
    QCOMPARE(listed(form).contains(procedure), !dropped);
}

void tst_StoredProcs::refreshReadsNewList()
{
    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, "P_OUT");
    m_session->db.execute("CREATE PROCEDURE P_AAA (Z SMALLINT) AS BEGIN EXIT; END");
    form->RefreshBtn->click();
    QVERIFY(form->DataGrid->updatesEnabled());
    QCOMPARE(listed(form).first(), QStringLiteral("P_AAA"));
    QCOMPARE(form->DataGrid->currentIndex().row(), 0);
    QCOMPARE(shownRows(form->DBGrid1), QStringList{"0|Z|SMALLINT"});
    QCOMPARE(shownRows(form->DBGrid2), QStringList());

    // A list that cannot be read again leaves the window empty, controls released.
    m_session->ib()->Close();
    m_session->ib()->setParam("SERVER NAME", m_session->db.folder() + "/missing.fdb");
    form->RefreshBtn->click();
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY(form->DataGrid->updatesEnabled());
    QCOMPARE(form->StorProcsQuery->rowCount(), 0);
    QCOMPARE(form->DBMemo1->toPlainText(), QString());
}

void tst_StoredProcs::rebuiltKeepsInterface()
{
    m_session->db.execute({
        "CREATE DOMAIN D_POS INTEGER CHECK (VALUE > 0)",
        "CREATE TABLE ITEMS_T (NAME VARCHAR(20))",
        "CREATE PROCEDURE P_RICH (A INTEGER NOT NULL, B TYPE OF D_POS, C D_POS, "
        "N TYPE OF COLUMN ITEMS_T.NAME, T VARCHAR(5) CHARACTER SET UTF8 COLLATE UNICODE_CI "
        "= 'x', E INTEGER DEFAULT 7) RETURNS (R VARCHAR(80)) AS BEGIN "
        "R = A || '/' || B || '/' || C || '/' || N || '/' || T || '/' || E; SUSPEND; END",
    });
    const QString catalogue =
        "SELECT RDB$PARAMETER_NAME || ':' || COALESCE(RDB$PARAMETER_MECHANISM, 0) || ':' || "
        "COALESCE(RDB$NULL_FLAG, 0) || ':' || COALESCE(RDB$RELATION_NAME, '') || ':' || "
        "COALESCE(RDB$FIELD_NAME, '') || ':' || COALESCE(RDB$COLLATION_ID, 0) || ':' || "
        "CASE WHEN RDB$FIELD_SOURCE STARTING WITH 'RDB$' THEN '' ELSE RDB$FIELD_SOURCE END || "
        "':' || COALESCE(RDB$DEFAULT_SOURCE, '') FROM RDB$PROCEDURE_PARAMETERS "
        "WHERE RDB$PROCEDURE_NAME = 'P_RICH' ORDER BY RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER";
    const QString call = "SELECT R FROM P_RICH(1, 2, 3, 'n')";
    const QStringList parametersBefore = m_session->db.column(catalogue);
    const QString resultBefore = m_session->db.scalar(call);
    QCOMPARE(resultBefore, "1/2/3/n/x/7");

    auto *ddl = rebuilt(*m_shell, "P_RICH");
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().value(1),
             "( A INTEGER NOT NULL, B TYPE OF D_POS, C D_POS, N TYPE OF COLUMN ITEMS_T.NAME, "
             "T VARCHAR(5) CHARACTER SET UTF8 COLLATE UNICODE_CI = 'x', E INTEGER DEFAULT 7)");
    QCOMPARE(ddl->lines().value(2), " RETURNS ( R VARCHAR(80))");

    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(catalogue), parametersBefore);
    QCOMPARE(m_session->db.scalar(call), resultBefore);
}

// The grid shows dialect 1's display forms; the rebuilt statement declares
// what the server stores, so it runs and keeps every sub-type and precision.
void tst_StoredProcs::dialect1TypesKept()
{
    m_session->db.execute("CREATE PROCEDURE P_D1 (N BLOB SUB_TYPE TEXT SEGMENT SIZE 80, "
                          "F DOUBLE PRECISION, M DECIMAL(9,2), R NUMERIC(3,1), W NUMERIC(15,2)) "
                          "AS BEGIN EXIT; END");
    const QString catalogue =
        "SELECT P.RDB$PARAMETER_NAME || ':' || F.RDB$FIELD_TYPE || ':' || "
        "COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ':' || COALESCE(F.RDB$FIELD_SCALE, 0) || ':' || "
        "COALESCE(F.RDB$FIELD_PRECISION, 0) || ':' || COALESCE(F.RDB$SEGMENT_LENGTH, 0) "
        "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
        "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE WHERE P.RDB$PROCEDURE_NAME = 'P_D1' "
        "ORDER BY P.RDB$PARAMETER_NUMBER";
    const QStringList before = m_session->db.column(catalogue);

    TStoredProcsForm *form = TStoredProcsForm::open();
    selectProcedure(form, "P_D1");
    QCOMPARE(shownRows(form->DBGrid1).mid(0, 2),
             (QStringList{"0|N|BLOB SUBTYPE TEXT SEGMENT SIZE 80", "1|F|DOUBLE"}));
    form->DDLBtn->click();
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().value(1),
             "( N BLOB SUB_TYPE TEXT SEGMENT SIZE 80, F DOUBLE PRECISION, M DECIMAL(9,2), "
             "R NUMERIC(3,1), W NUMERIC(15,2))");
    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(catalogue), before);
}

// A dialect-3 procedure with the types people use, quoted names and integer
// arithmetic: the rebuilt text runs unchanged and leaves the catalogue and
// the results as they were. Package members are not listed.
void tst_StoredProcs::dialect3RoundTrip()
{
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({
        "CREATE DOMAIN \"d_Pos\" INTEGER CHECK (VALUE > 0)",
        "CREATE TABLE \"Customer Orders\" (\"Amount\" NUMERIC(18,2))",
        "CREATE PROCEDURE \"P_div3\" (A INTEGER, B INTEGER, \"big\" BIGINT, D DATE, "
        "TS TIMESTAMP, FLAG BOOLEAN, N NUMERIC(18,4), DC DECIMAL(5,1), "
        "\"Order\" TYPE OF \"d_Pos\", AM TYPE OF COLUMN \"Customer Orders\".\"Amount\", "
        "TX BLOB SUB_TYPE TEXT, U VARCHAR(10) CHARACTER SET UTF8 = 'x') "
        "RETURNS (R INTEGER, S NUMERIC(9,2), T TIMESTAMP, TM TIME, DP DOUBLE PRECISION) AS "
        "BEGIN R = A / B; S = A / B; T = TS; TM = CAST(TS AS TIME); DP = 7 / 2; SUSPEND; END",
        "CREATE PACKAGE PKG AS BEGIN PROCEDURE P_IN_PKG (X INTEGER) RETURNS (Y INTEGER); END",
        "CREATE PACKAGE BODY PKG AS BEGIN PROCEDURE P_IN_PKG (X INTEGER) RETURNS (Y INTEGER) "
        "AS BEGIN Y = X; SUSPEND; END END",
    });
    const QString catalogue =
        "SELECT P.RDB$PARAMETER_NAME || ':' || P.RDB$PARAMETER_TYPE || ':' || "
        "COALESCE(P.RDB$PARAMETER_MECHANISM, 0) || ':' || COALESCE(P.RDB$RELATION_NAME, '') "
        "|| ':' || COALESCE(P.RDB$FIELD_NAME, '') || ':' || F.RDB$FIELD_TYPE || ':' || "
        "COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ':' || COALESCE(F.RDB$FIELD_SCALE, 0) || ':' || "
        "COALESCE(F.RDB$FIELD_PRECISION, 0) || ':' || COALESCE(F.RDB$CHARACTER_SET_ID, -1) || "
        "':' || CASE WHEN P.RDB$FIELD_SOURCE STARTING WITH 'RDB$' THEN '' "
        "ELSE P.RDB$FIELD_SOURCE END || ':' || COALESCE(P.RDB$DEFAULT_SOURCE, '') "
        "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
        "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE WHERE P.RDB$PROCEDURE_NAME = 'P_div3' "
        "ORDER BY P.RDB$PARAMETER_TYPE, P.RDB$PARAMETER_NUMBER";
    const QString source =
        "SELECT RDB$PROCEDURE_SOURCE FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = 'P_div3'";
    const QString call = "SELECT R || '|' || S || '|' || T || '|' || TM || '|' || DP FROM "
                         "\"P_div3\"(5, 2, 9000000000, DATE '2020-01-02', "
                         "TIMESTAMP '2020-01-02 10:11:12.3456', TRUE, 12345678901234.5678, "
                         "1.5, 3, 4.25, 'text', 'u')";
    const QStringList parametersBefore = m_session->db.column(catalogue);
    const QString sourceBefore = m_session->db.scalar(source);
    const QString resultBefore = m_session->db.scalar(call);
    QCOMPARE(resultBefore, "2|2.00|2020-01-02 10:11:12.3456|10:11:12.3456|3.000000000000000");

    TStoredProcsForm *form = TStoredProcsForm::open();
    QCOMPARE(listed(form), QStringList{"P_div3"});
    selectProcedure(form, "P_div3");
    QCOMPARE(shownRows(form->DBGrid1).mid(2, 6),
             (QStringList{"2|big|BIGINT", "3|D|DATE", "4|TS|TIMESTAMP", "5|FLAG|BOOLEAN",
                          "6|N|NUMERIC(18,4)", "7|DC|DECIMAL(5,1)"}));
    form->DDLBtn->click();
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().value(0), "ALTER PROCEDURE \"P_div3\" ");
    QCOMPARE(ddl->lines().value(1),
             "( A INTEGER, B INTEGER, \"big\" BIGINT, D DATE, TS TIMESTAMP, FLAG BOOLEAN, "
             "N NUMERIC(18,4), DC DECIMAL(5,1), \"Order\" TYPE OF \"d_Pos\", "
             "AM TYPE OF COLUMN \"Customer Orders\".\"Amount\", "
             "TX BLOB SUB_TYPE TEXT SEGMENT SIZE 80, U VARCHAR(10) CHARACTER SET UTF8 = 'x')");
    QCOMPARE(ddl->lines().value(2),
             " RETURNS ( R INTEGER, S NUMERIC(9,2), T TIMESTAMP, TM TIME, DP DOUBLE PRECISION)");

    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(catalogue), parametersBefore);
    QCOMPARE(m_session->db.scalar(source), sourceBefore);
    QCOMPARE(m_session->db.scalar(call), resultBefore);
}

// A user's collation whose name needs quotes, on a parameter of its own, after
// TYPE OF, and through a domain and a column: the rebuilt text runs and the
// comparisons still ignore case.
void tst_StoredProcs::dialect3QuotedCollation()
{
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({
        "CREATE COLLATION \"My Coll\" FOR UTF8 FROM UNICODE CASE INSENSITIVE",
        "CREATE DOMAIN \"d_Coll\" VARCHAR(10) CHARACTER SET UTF8 COLLATE \"My Coll\"",
        "CREATE DOMAIN \"d_Text\" VARCHAR(10) CHARACTER SET UTF8",
        "CREATE TABLE \"Notes\" (\"Body\" VARCHAR(20) CHARACTER SET UTF8 COLLATE \"My Coll\")",
        "CREATE PROCEDURE \"P_coll\" (A VARCHAR(10) CHARACTER SET UTF8 COLLATE \"My Coll\", "
        "B \"d_Coll\", C TYPE OF \"d_Text\" COLLATE \"My Coll\", D TYPE OF COLUMN "
        "\"Notes\".\"Body\") RETURNS (R VARCHAR(10) CHARACTER SET UTF8 COLLATE \"My Coll\") AS "
        "BEGIN R = IIF(A = 'abc', 'a', '-') || IIF(B = 'abc', 'b', '-') || "
        "IIF(C = 'abc', 'c', '-') || IIF(D = 'abc', 'd', '-'); "
        "R = IIF(R = 'ABCD', R, '?'); SUSPEND; END",
    });
    const QString catalogue =
        "SELECT P.RDB$PARAMETER_NAME || ':' || COALESCE(P.RDB$PARAMETER_MECHANISM, 0) || ':' || "
        "COALESCE(P.RDB$RELATION_NAME, '') || ':' || COALESCE(P.RDB$FIELD_NAME, '') || ':' || "
        "COALESCE(P.RDB$COLLATION_ID, -1) || ':' || COALESCE(F.RDB$COLLATION_ID, -1) || ':' || "
        "COALESCE(F.RDB$CHARACTER_SET_ID, -1) || ':' || CASE WHEN P.RDB$FIELD_SOURCE "
        "STARTING WITH 'RDB$' THEN '' ELSE P.RDB$FIELD_SOURCE END "
        "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
        "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE WHERE P.RDB$PROCEDURE_NAME = 'P_coll' "
        "ORDER BY P.RDB$PARAMETER_TYPE, P.RDB$PARAMETER_NUMBER";
    const QString call = "SELECT R FROM \"P_coll\"('ABC', 'ABC', 'ABC', 'ABC')";
    const QStringList parametersBefore = m_session->db.column(catalogue);
    QCOMPARE(m_session->db.scalar(call), "abcd");

    auto *ddl = rebuilt(*m_shell, "P_coll");
    QVERIFY(ddl);
    QCOMPARE(ddl->lines().value(1),
             "( A VARCHAR(10) CHARACTER SET UTF8 COLLATE \"My Coll\", B \"d_Coll\", "
             "C TYPE OF \"d_Text\" COLLATE \"My Coll\", D TYPE OF COLUMN \"Notes\".\"Body\")");
    QCOMPARE(ddl->lines().value(2),
             " RETURNS ( R VARCHAR(10) CHARACTER SET UTF8 COLLATE \"My Coll\")");

    QCOMPARE(m_session->refusal(ddl->lines()), QString());
    QCOMPARE(m_session->db.column(catalogue), parametersBefore);
    QCOMPARE(m_session->db.scalar(call), "abcd");
}

QUORVEL_TEST_MAIN(tst_StoredProcs)
#include "tst_storedprocs.moc"
