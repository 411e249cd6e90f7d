#include "catalog/TPackagesForm.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "workbench/TSQLExprForm.h"

#include <QPlainTextEdit>
#include <QTableView>

namespace {

const QString kHeader = "BEGIN\n  FUNCTION TWICE (X INTEGER) RETURNS INTEGER;\nEND";
const QString kBody = "BEGIN\n  FUNCTION TWICE (X INTEGER) RETURNS INTEGER\n  AS\n  BEGIN\n"
                      "    RETURN X * 2;\n  END\nEND";

QStringList packages(int dialect)
{
    const QString name = dialect == 3 ? "\"Shop pkg\"" : "SHOP";
    return {
        "CREATE PACKAGE " + name + " AS\n" + kHeader,
        "CREATE PACKAGE BODY " + name + " AS\n" + kBody,
        "CREATE PACKAGE HEAD_ONLY AS BEGIN PROCEDURE P; END",
    };
}

QStringList listed(const TPackagesForm *form)
{
    return TestWidgets::rowsShown(form->PackagesGrid, QStringLiteral("|"));
}

// What the server holds of the packages and their members.
const QString kCatalogue =
    "SELECT P.RDB$PACKAGE_NAME || ':' || COALESCE(P.RDB$VALID_BODY_FLAG, -1) || ':' || "
    "(SELECT LIST(F.RDB$FUNCTION_NAME || '/' || COALESCE(F.RDB$PRIVATE_FLAG, 0)) "
    "FROM RDB$FUNCTIONS F WHERE F.RDB$PACKAGE_NAME = P.RDB$PACKAGE_NAME) "
    "FROM RDB$PACKAGES P WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1";

const QString kCall = "SELECT %1.TWICE(21) FROM RDB$DATABASE";

} // namespace

class tst_Packages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listAndSources_data();
    void listAndSources();
    void rebuiltRunsUnchanged_data();
    void rebuiltRunsUnchanged();
    void rebuiltFromCatalogueAsNow();
    void drop_data();
    void drop();

private:
    void start(int dialect);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_Packages::start(int dialect)
{
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(packages(dialect));
    m_shell = std::make_unique<TestShell>();
}

void tst_Packages::init()
{
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_Packages::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void tst_Packages::listAndSources_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("body");

    QTest::newRow("d1") << 1 << "SHOP" << QStringList{"HEAD_ONLY", "SHOP"} << kBody;
    QTest::newRow("d3 quoted") << 3 << "Shop pkg" << QStringList{"HEAD_ONLY", "Shop pkg"} << kBody;
    QTest::newRow("no body") << 3 << "HEAD_ONLY" << QStringList{"HEAD_ONLY", "Shop pkg"}
                             << QString();
}

void tst_Packages::listAndSources()
{
    QFETCH(int, dialect);
    QFETCH(QString, package);
    QFETCH(QStringList, list);
    QFETCH(QString, body);
    start(dialect);

    TPackagesForm *form = TPackagesForm::open();
    QCOMPARE(form->windowTitle(), "Packages");
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QCOMPARE(listed(form), list);
    QCOMPARE(form->currentName(), "HEAD_ONLY");
    QVERIFY(form->selectPackage(package));
    if (!body.isEmpty())
        QCOMPARE(form->HeaderMemo->toPlainText(), kHeader);
    QCOMPARE(form->BodyMemo->toPlainText(), body);
}

void tst_Packages::rebuiltRunsUnchanged_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("spelled");

    QTest::newRow("d1") << 1 << "SHOP" << "SHOP";
    QTest::newRow("d3 quoted") << 3 << "Shop pkg" << "\"Shop pkg\"";
}

// The header and the body each in a DDL window, the header's on top: run in
// that order, the package is as it was and its function still answers.
void tst_Packages::rebuiltRunsUnchanged()
{
    QFETCH(int, dialect);
    QFETCH(QString, package);
    QFETCH(QString, spelled);
    start(dialect);
    const QStringList before = m_session->db.column(kCatalogue);
    QCOMPARE(m_session->db.scalar(kCall.arg(spelled)), "42");

    TPackagesForm *form = TPackagesForm::open();
    QVERIFY(form->selectPackage(package));
    const qsizetype opened = m_shell->opened.size();
    form->DDLBtn->click();
    QCOMPARE(m_shell->opened.size(), opened + 2);
    auto *header = m_shell->last<TSQLExprForm>();
    auto *body = qobject_cast<TSQLExprForm *>(m_shell->opened.at(opened));
    QVERIFY(header && body && header != body);
    QCOMPARE(header->lines().join("\r\n").toUtf8(),
             ("RECREATE PACKAGE " + spelled + "\r\nAS\r\n" + QString(kHeader).replace("\n", "\r\n"))
                 .toUtf8());
    QCOMPARE(body->lines().join("\r\n").toUtf8(),
             ("RECREATE PACKAGE BODY " + spelled + "\r\nAS\r\n"
              + QString(kBody).replace("\n", "\r\n"))
                 .toUtf8());

    QCOMPARE(m_session->refusal(header->lines()), QString());
    QCOMPARE(m_session->refusal(body->lines()), QString());
    QCOMPARE(m_session->db.column(kCatalogue), before);
    QCOMPARE(m_session->db.scalar(kCall.arg(spelled)), "42");
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
}

// Functions and packages share the list window: another user's new body is
// what the rebuilt statement carries, and the user is told.
void tst_Packages::rebuiltFromCatalogueAsNow()
{
    start(1);
    TPackagesForm *form = TPackagesForm::open();
    QVERIFY(form->selectPackage("SHOP"));
    const QString newBody = QString(kBody).replace("X * 2", "X * 3");
    m_session->db.execute({"RECREATE PACKAGE BODY SHOP AS\n" + newBody});
    form->DDLBtn->click();
    QCOMPARE(m_prompts->told(),
             QStringList{"SHOP was changed by another user since it was shown; the statement is "
                         "built from its current text."});
    QCOMPARE(form->BodyMemo->toPlainText(), newBody);
    auto *body = qobject_cast<TSQLExprForm *>(m_shell->opened.at(m_shell->opened.size() - 2));
    QVERIFY(body && body->lines().join("\n").endsWith(newBody));

    m_session->db.execute({"DROP PACKAGE BODY SHOP", "DROP PACKAGE SHOP"});
    const qsizetype opened = m_shell->opened.size();
    form->DDLBtn->click();
    QCOMPARE(m_prompts->errors(),
             QStringList{"SHOP was dropped by another user since it was shown."});
    QCOMPARE(m_shell->opened.size(), opened);
}

void tst_Packages::drop_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<bool>("failed");

    QTest::newRow("cancel") << "Shop pkg" << false << QByteArrayList{} << false;
    QTest::newRow("with body") << "Shop pkg" << true
                               << QByteArrayList{"DROP PACKAGE \"Shop pkg\"\r\n"} << false;
    QTest::newRow("in use") << "HEAD_ONLY" << true << QByteArrayList{"DROP PACKAGE HEAD_ONLY\r\n"}
                            << true;
}

void tst_Packages::drop()
{
    QFETCH(QString, package);
    QFETCH(bool, ok);
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, failed);
    start(3);
    m_session->db.execute(
        QStringList{"CREATE PROCEDURE P_USER AS BEGIN EXECUTE PROCEDURE HEAD_ONLY.P; END"});

    TPackagesForm *form = TPackagesForm::open();
    QVERIFY(form->selectPackage(package));
    m_prompts->answers << (ok ? Prompts::Answer::Ok : Prompts::Answer::Cancel);
    form->BtnDropPackage->click();

    QCOMPARE(m_prompts->questions(),
             QStringList{"Proceed to delete package " + package + " from database?"});
    QCOMPARE(m_prompts->asked.first().caption, QStringLiteral("OkCancel"));
    QCOMPARE(m_session->sent, sent);
    QCOMPARE(m_prompts->errors().size(), failed ? 1 : 0);
    QVERIFY(!m_session->ib()->InTransaction());
    const bool dropped = ok && !failed;
    const QString where = " WHERE RDB$PACKAGE_NAME = '" + package + "'";
    QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$PACKAGES" + where),
             dropped ? "0" : "1");
    // The body's members go with the package.
    if (dropped)
        QCOMPARE(m_session->db.scalar("SELECT COUNT(*) FROM RDB$FUNCTIONS" + where), "0");
    QCOMPARE(listed(form).contains(package), !dropped);
}

QUORVEL_TEST_MAIN(tst_Packages)
#include "tst_packages.moc"
