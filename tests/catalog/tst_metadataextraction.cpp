#include "catalog/MetadataExtraction.h"
#include "controls/StatementEditor.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "workbench/TSQLExprForm.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>

// Database > Extract Metadata opens the database's script in a DDL
// statements window; Cancel in its progress box stops it with no window.
class tst_MetadataExtraction : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void scriptOpensInDdlWindow();
    void cancelOpensNothing();

private:
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

namespace {

QProgressDialog *progressBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QProgressDialog *>(widget))
            return box;
    }
    return nullptr;
}

} // namespace

void tst_MetadataExtraction::init()
{
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({"CREATE TABLE \"Order\" (ID INTEGER NOT NULL PRIMARY KEY)",
                           "CREATE EXCEPTION E_X 'it''s wrong'"});
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_MetadataExtraction::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void tst_MetadataExtraction::scriptOpensInDdlWindow()
{
    QString seen;
    QTimer::singleShot(0, [&seen] {
        if (QProgressDialog *box = progressBox())
            seen = box->windowTitle() + QLatin1Char('|') + box->labelText();
    });
    Command::run(MetadataExtraction::open);
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QCOMPARE(seen, "Extract Metadata|Reading the database's metadata…");
    QVERIFY(!progressBox());
    auto *ddl = m_shell->last<TSQLExprForm>();
    QVERIFY(ddl);
    const QString text = ddl->ExecSql->toPlainText();
    QVERIFY2(text.startsWith("/* Metadata of " + m_session->db.path()
                             + " */\nSET SQL DIALECT 3;\n\nSET NAMES NONE;\n\n/* Exceptions */\n"),
             qPrintable(text.left(200)));
    QVERIFY(text.contains("\nCREATE EXCEPTION E_X 'it''s wrong';\n"));
    QVERIFY(text.contains("\nCREATE TABLE \"Order\" (\n    ID INTEGER NOT NULL\n);\n"));
    QVERIFY(m_session->sent.isEmpty());
}

void tst_MetadataExtraction::cancelOpensNothing()
{
    QTimer::singleShot(0, [] {
        if (QProgressDialog *box = progressBox())
            box->cancel();
    });
    Command::run(MetadataExtraction::open);
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QVERIFY(!m_shell->last<TSQLExprForm>());
    QVERIFY(!progressBox());
}

QUORVEL_TEST_MAIN(tst_MetadataExtraction)
#include "tst_metadataextraction.moc"
