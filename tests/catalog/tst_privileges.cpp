#include "catalog/PrivilegeGridModel.h"
#include "catalog/TPrivilegesForm.h"
#include "controls/TOfficeButton.h"
#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTableView>

using Privilege = PrivilegeTarget::Privilege;
Q_DECLARE_METATYPE(Privilege)

// The privileges matrix on a real database: each change gives exactly the
// statements shown and sent, and the catalogue's rows after them say what
// the matrix said.
class TestPrivileges : public QObject
{
    Q_OBJECT

private slots:
    void init() { open(1); }
    void cleanup();
    void changeGivesStatementAndRows_data();
    void changeGivesStatementAndRows();
    void columnPrivileges();
    void byObjectListsGrantees();
    void refusedSetUndoesItAll_data();
    void refusedSetUndoesItAll();
    void dialect3QuotesNames();

private:
    void open(int dialect);
    // Approves the preview and records what it showed.
    ScopedFormRunner approving();
    // Double-clicks the cell `clicks` times.
    void toggle(QTableView *grid, int row, Privilege privilege, int clicks = 1);
    void toggleRow(const QString &kind, const QString &name, Privilege privilege, int clicks = 1);
    // The grantee's rows on the object: "privilege:column:option".
    QStringList rows(const QString &grantee, const QString &object) const;

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    TPrivilegesForm *m_form = nullptr;
    QStringList m_shown;
};

void TestPrivileges::open(int dialect)
{
    cleanup();
    m_session = std::make_unique<TestSession>(true, dialect);
    const QString generator = dialect == 1 ? QStringLiteral("CREATE GENERATOR G_ONE")
                                           : QStringLiteral("CREATE SEQUENCE G_ONE");
    m_session->db.execute(QStringList{
        "CREATE TABLE T_ONE (ID INTEGER, NAME VARCHAR(10))",
        "CREATE VIEW V_ONE AS SELECT ID FROM T_ONE",
        "CREATE PROCEDURE P_ONE AS BEGIN END",
        "CREATE FUNCTION F_ONE RETURNS INTEGER AS BEGIN RETURN 1; END",
        "CREATE PACKAGE K_ONE AS BEGIN PROCEDURE KP; END",
        "CREATE PACKAGE BODY K_ONE AS BEGIN PROCEDURE KP AS BEGIN END END",
        generator,
        "CREATE EXCEPTION E_ONE 'x'",
        "CREATE DOMAIN D_ONE AS INTEGER",
        "CREATE ROLE R_ONE",
        "CREATE TRIGGER TR_ONE FOR T_ONE BEFORE INSERT AS BEGIN END",
        "GRANT SELECT ON T_ONE TO USER QV_HOLDER WITH GRANT OPTION",
        "GRANT INSERT ON T_ONE TO USER QV_PLAIN"});
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_shell->area.show();
    m_form = TPrivilegesForm::open();
    m_shown.clear();
}

void TestPrivileges::cleanup()
{
    m_prompts.reset();
    m_shell.reset();
    m_session.reset();
    ProgramSettings::instance().AutoCommit = true;
}

ScopedFormRunner TestPrivileges::approving()
{
    return ScopedFormRunner([this](QDialog *dialog) {
        if (auto *preview = qobject_cast<TSQLSourceForm *>(dialog))
            m_shown << preview->lines();
        return int(QDialog::Accepted);
    });
}

void TestPrivileges::toggle(QTableView *grid, int row, Privilege privilege, int clicks)
{
    const QModelIndex cell =
        grid->model()->index(row, PrivilegeGridModel::kLeadingColumns + int(privilege));
    grid->scrollTo(cell);
    // A double click counts on the cell the press before it chose.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    for (int i = 0; i < clicks; ++i)
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

void TestPrivileges::toggleRow(const QString &kind, const QString &name, Privilege privilege,
                               int clicks)
{
    const int row = m_form->MatrixModel->find(kind, name);
    QVERIFY2(row >= 0, qPrintable(kind + u' ' + name));
    toggle(m_form->MatrixGrid, row, privilege, clicks);
}

QStringList TestPrivileges::rows(const QString &grantee, const QString &object) const
{
    return m_session->db.column(
        QStringLiteral("SELECT TRIM(RDB$PRIVILEGE) || ':' || TRIM(COALESCE(RDB$FIELD_NAME, '')) "
                       "|| ':' || RDB$GRANT_OPTION FROM RDB$USER_PRIVILEGES "
                       "WHERE RDB$USER = '%1' AND RDB$RELATION_NAME = '%2' "
                       "ORDER BY RDB$PRIVILEGE, RDB$FIELD_NAME")
            .arg(grantee, object));
}

void TestPrivileges::changeGivesStatementAndRows_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Privilege>("privilege");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("grantee");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QStringList>("after");

    // A cell steps on: not granted, granted, with grant option, not granted.
    QTest::newRow("table, user: revoke") << "User QV_HOLDER" << "Table" << "T_ONE"
        << Privilege::Select << 1 << "REVOKE SELECT ON T_ONE FROM USER QV_HOLDER"
        << "QV_HOLDER" << "T_ONE" << QStringList();
    QTest::newRow("table, user: grant option revoked") << "User QV_HOLDER" << "Table" << "T_ONE"
        << Privilege::Select << 2
        << "REVOKE GRANT OPTION FOR SELECT ON T_ONE FROM USER QV_HOLDER" << "QV_HOLDER"
        << "T_ONE" << QStringList{"S::0"};
    QTest::newRow("table, user: grant option added") << "User QV_PLAIN" << "Table" << "T_ONE"
        << Privilege::Insert << 1 << "GRANT INSERT ON T_ONE TO USER QV_PLAIN WITH GRANT OPTION"
        << "QV_PLAIN" << "T_ONE" << QStringList{"I::1"};
    QTest::newRow("view, user") << "User QV_PLAIN" << "View" << "V_ONE" << Privilege::Select << 1
        << "GRANT SELECT ON V_ONE TO USER QV_PLAIN" << "QV_PLAIN" << "V_ONE"
        << QStringList{"S::0"};
    QTest::newRow("view, role, with grant option") << "Role R_ONE" << "View" << "V_ONE"
        << Privilege::Delete << 2 << "GRANT DELETE ON V_ONE TO ROLE R_ONE WITH GRANT OPTION"
        << "R_ONE" << "V_ONE" << QStringList{"D::1"};
    QTest::newRow("procedure, public") << "PUBLIC" << "Procedure" << "P_ONE"
        << Privilege::Execute << 1 << "GRANT EXECUTE ON PROCEDURE P_ONE TO PUBLIC" << "PUBLIC"
        << "P_ONE" << QStringList{"X::0"};
    QTest::newRow("function, procedure") << "Procedure P_ONE" << "Function" << "F_ONE"
        << Privilege::Execute << 1 << "GRANT EXECUTE ON FUNCTION F_ONE TO PROCEDURE P_ONE"
        << "P_ONE" << "F_ONE" << QStringList{"X::0"};
    QTest::newRow("package, trigger") << "Trigger TR_ONE" << "Package" << "K_ONE"
        << Privilege::Execute << 1 << "GRANT EXECUTE ON PACKAGE K_ONE TO TRIGGER TR_ONE"
        << "TR_ONE" << "K_ONE" << QStringList{"X::0"};
    QTest::newRow("generator, view") << "View V_ONE" << "Generator" << "G_ONE" << Privilege::Usage
        << 1 << "GRANT USAGE ON SEQUENCE G_ONE TO VIEW V_ONE" << "V_ONE" << "G_ONE"
        << QStringList{"G::0"};
    QTest::newRow("exception, function") << "Function F_ONE" << "Exception" << "E_ONE"
        << Privilege::Usage << 1 << "GRANT USAGE ON EXCEPTION E_ONE TO FUNCTION F_ONE" << "F_ONE"
        << "E_ONE" << QStringList{"G::0"};
    QTest::newRow("table, package") << "Package K_ONE" << "Table" << "T_ONE" << Privilege::Update
        << 1 << "GRANT UPDATE ON T_ONE TO PACKAGE K_ONE" << "K_ONE" << "T_ONE"
        << QStringList{"U::0"};
    QTest::newRow("ddl create, user") << "User QV_PLAIN" << "DDL" << "TABLE" << Privilege::Create
        << 1 << "GRANT CREATE TABLE TO USER QV_PLAIN" << "QV_PLAIN" << "SQL$TABLES"
        << QStringList{"C::0"};
    QTest::newRow("ddl alter any, role, with grant option") << "Role R_ONE" << "DDL"
        << "PROCEDURE" << Privilege::AlterAny << 2
        << "GRANT ALTER ANY PROCEDURE TO ROLE R_ONE WITH GRANT OPTION" << "R_ONE"
        << "SQL$PROCEDURES" << QStringList{"L::1"};
    QTest::newRow("ddl drop any, user") << "User QV_PLAIN" << "DDL" << "SEQUENCE"
        << Privilege::DropAny << 1 << "GRANT DROP ANY SEQUENCE TO USER QV_PLAIN" << "QV_PLAIN"
        << "SQL$GENERATORS" << QStringList{"O::0"};
}

void TestPrivileges::changeGivesStatementAndRows()
{
    QFETCH(QString, subject);
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(Privilege, privilege);
    QFETCH(int, clicks);
    QFETCH(QString, statement);
    QFETCH(QString, grantee);
    QFETCH(QString, object);
    QFETCH(QStringList, after);

    QVERIFY(m_form->selectSubject(subject));
    toggleRow(kind, name, privilege, clicks);
    QVERIFY(m_form->ApplyBtn->isEnabled());
    m_session->sent.clear();
    {
        const ScopedFormRunner runner = approving();
        m_form->formMenu()->actions().first()->trigger();
    }
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_shown, QStringList{statement});
    // Sent as every statement text goes: its line ended by CR LF.
    QCOMPARE(m_session->sent, QByteArrayList{statement.toUtf8() + "\r\n"});
    QCOMPARE(rows(grantee, object), after);
    // Read again, the matrix shows what the catalogue now holds, unchanged.
    QVERIFY(!m_form->matrix().changed());
    QCOMPARE(m_form->MatrixModel->data(
                 m_form->MatrixModel->index(m_form->MatrixModel->find(kind, name),
                                            PrivilegeGridModel::kLeadingColumns + int(privilege)),
                 Qt::DisplayRole),
             QVariant(after.isEmpty() ? QString()
                      : after.first().endsWith(u'1') ? QStringLiteral("With grant option")
                                                     : QStringLiteral("Granted")));
}

void TestPrivileges::columnPrivileges()
{
    QVERIFY(m_form->selectSubject(QStringLiteral("User QV_PLAIN")));
    QVERIFY(m_form->selectRow(QStringLiteral("Table"), QStringLiteral("T_ONE")));
    QCOMPARE(m_form->ColumnsLabel->text(), QStringLiteral("Columns of T_ONE for User QV_PLAIN"));
    PrivilegeGridModel *columns = m_form->ColumnModel;
    QCOMPARE(columns->rowCount(), 2);
    const int name = columns->find(QStringLiteral("Column"), QStringLiteral("NAME"));
    QCOMPARE(name, 1);
    // A column takes UPDATE and REFERENCES only.
    QVERIFY(!(columns->flags(columns->index(name, PrivilegeGridModel::kLeadingColumns
                                                     + int(Privilege::Select)))
              & Qt::ItemIsEnabled));
    toggle(m_form->ColumnGrid, name, Privilege::Update);
    toggle(m_form->ColumnGrid, name, Privilege::References, 2);
    toggle(m_form->ColumnGrid, name, Privilege::Select);
    const ScopedFormRunner runner = approving();
    m_form->ApplyBtnClick();
    QCOMPARE(m_shown,
             (QStringList{"GRANT UPDATE (NAME) ON T_ONE TO USER QV_PLAIN",
                          "GRANT REFERENCES (NAME) ON T_ONE TO USER QV_PLAIN WITH GRANT OPTION"}));
    QCOMPARE(rows("QV_PLAIN", "T_ONE"), (QStringList{"I::0", "R:NAME:1", "U:NAME:0"}));

    QVERIFY(m_form->selectSubject(QStringLiteral("User QV_PLAIN")));
    QVERIFY(m_form->selectRow(QStringLiteral("Table"), QStringLiteral("T_ONE")));
    toggle(m_form->ColumnGrid, name, Privilege::Update, 2);
    m_shown.clear();
    m_form->ApplyBtnClick();
    QCOMPARE(m_shown, QStringList{"REVOKE UPDATE (NAME) ON T_ONE FROM USER QV_PLAIN"});
    QCOMPARE(rows("QV_PLAIN", "T_ONE"), (QStringList{"I::0", "R:NAME:1"}));
}

void TestPrivileges::byObjectListsGrantees()
{
    m_form->setMode(TPrivilegesForm::Mode::ByObject);
    // A user's domain is an object; a column's own domain (RDB$n) is not.
    QStringList subjects;
    for (int i = 0; i < m_form->SubjectBox->count(); ++i)
        subjects << m_form->SubjectBox->itemText(i);
    QVERIFY(subjects.contains(QStringLiteral("Domain D_ONE")));
    QVERIFY2(!subjects.join(u',').contains(QLatin1String("Domain RDB$")),
             qPrintable(subjects.join(u',')));
    QVERIFY(m_form->selectSubject(QStringLiteral("Table T_ONE")));
    QStringList listed;
    for (const PrivilegeGridModel::Row &row : m_form->MatrixModel->rows())
        listed << (row.kind + u' ' + row.name).trimmed();
    // Users and roles always; a routine, trigger or view once it holds something.
    QVERIFY2(listed.value(0) == u"PUBLIC", qPrintable(listed.join(u',')));
    for (const char *expected : {"User QV_HOLDER", "User QV_PLAIN", "Role R_ONE"})
        QVERIFY2(listed.contains(QLatin1String(expected)), expected);
    QVERIFY(!listed.contains(QStringLiteral("Procedure P_ONE")));
    const int holder = m_form->MatrixModel->find(QStringLiteral("User"), QStringLiteral("QV_HOLDER"));
    QCOMPARE(m_form->MatrixModel->index(holder, PrivilegeGridModel::kLeadingColumns).data(),
             QVariant(QStringLiteral("With grant option")));
    // An object takes only its own privileges.
    QVERIFY(!(m_form->MatrixModel->flags(m_form->MatrixModel->index(
                  holder, PrivilegeGridModel::kLeadingColumns + int(Privilege::Execute)))
              & Qt::ItemIsEnabled));
    toggleRow(QStringLiteral("Role"), QStringLiteral("R_ONE"), Privilege::Select);
    toggleRow(QStringLiteral("Role"), QStringLiteral("R_ONE"), Privilege::Insert);
    toggleRow(QStringLiteral("User"), QStringLiteral("QV_HOLDER"), Privilege::Select);
    const ScopedFormRunner runner = approving();
    m_form->ApplyBtnClick();
    QCOMPARE(m_shown, (QStringList{"REVOKE SELECT ON T_ONE FROM USER QV_HOLDER",
                                   "GRANT SELECT, INSERT ON T_ONE TO ROLE R_ONE"}));
    QCOMPARE(rows("R_ONE", "T_ONE"), (QStringList{"I::0", "S::0"}));
    QCOMPARE(rows("QV_HOLDER", "T_ONE"), QStringList());
}

void TestPrivileges::refusedSetUndoesItAll_data()
{
    QTest::addColumn<bool>("autoCommit");
    QTest::newRow("auto-commit") << true;
    QTest::newRow("explicit commit") << false;
}

// The second statement names a function another user dropped meanwhile.
void TestPrivileges::refusedSetUndoesItAll()
{
    QFETCH(bool, autoCommit);
    ProgramSettings::instance().AutoCommit = autoCommit;
    QVERIFY(m_form->selectSubject(QStringLiteral("User QV_PLAIN")));
    toggleRow(QStringLiteral("Table"), QStringLiteral("T_ONE"), Privilege::Select);
    QVERIFY(m_form->selectSubject(QStringLiteral("Function F_ONE")));
    toggleRow(QStringLiteral("Procedure"), QStringLiteral("P_ONE"), Privilege::Execute);
    m_session->db.execute(QStringLiteral("DROP FUNCTION F_ONE"));
    // Begun after the drop, the tool's transaction sees the function gone.
    if (!autoCommit)
        m_session->dm.execute(QStringLiteral("CREATE TABLE KEEP_ME (ID INTEGER)"));
    const ScopedFormRunner runner = approving();
    m_form->formMenu()->actions().first()->trigger();
    QCOMPARE(m_shown, (QStringList{"GRANT SELECT ON T_ONE TO USER QV_PLAIN",
                                   "GRANT EXECUTE ON PROCEDURE P_ONE TO FUNCTION F_ONE"}));
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY2(m_prompts->errors().first().contains(u"F_ONE"), qPrintable(m_prompts->errors().first()));
    // The changes stay on screen to be corrected and applied again.
    QVERIFY(m_form->matrix().changed());
    QCOMPARE(m_session->ib()->InTransaction(), !autoCommit);
    if (!autoCommit)
        m_session->ib()->Commit();
    QCOMPARE(rows("QV_PLAIN", "T_ONE"), QStringList{"I::0"});
    // The user's own earlier work in the open transaction is kept.
    if (!autoCommit)
        QCOMPARE(m_session->db.scalar(QStringLiteral(
                     "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'KEEP_ME'")),
                 QStringLiteral("1"));
}

void TestPrivileges::dialect3QuotesNames()
{
    open(3);
    m_session->db.execute(QStringLiteral("CREATE TABLE \"lower t\" (\"a b\" INTEGER)"));
    m_form->RefreshBtnClick();
    QVERIFY(m_form->selectSubject(QStringLiteral("User QV_PLAIN")));
    toggleRow(QStringLiteral("Table"), QStringLiteral("lower t"), Privilege::Select);
    QVERIFY(m_form->selectRow(QStringLiteral("Table"), QStringLiteral("lower t")));
    toggle(m_form->ColumnGrid, 0, Privilege::References);
    const ScopedFormRunner runner = approving();
    m_form->ApplyBtnClick();
    QCOMPARE(m_shown, (QStringList{"GRANT SELECT ON \"lower t\" TO USER QV_PLAIN",
                                   "GRANT REFERENCES (\"a b\") ON \"lower t\" TO USER QV_PLAIN"}));
    QCOMPARE(rows("QV_PLAIN", "lower t"), (QStringList{"R:a b:0", "S::0"}));
}

QUORVEL_TEST_MAIN(TestPrivileges)
#include "tst_privileges.moc"
