#include "catalog/TTrigSourceForm.h"
#include "catalog/TViewStatementWiz.h"
#include "controls/StatementEditor.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/ModalForms.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>

#include <memory>

namespace {

void placeCaret(TTrigSourceForm *form, int line, int column, int selected = 0)
{
    QTextCursor cursor(form->TrigSource->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    cursor.setPosition(cursor.position() + selected, QTextCursor::KeepAnchor);
    form->TrigSource->setTextCursor(cursor);
}

} // namespace

class TestTrigSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_session.reset(); }
    void init();
    void cleanup();

    void statements_data();
    void statements();
    void preview_data();
    void preview();
    void files();
    void caretPanel_data();
    void caretPanel();
    void wizardInsertion_data();
    void wizardInsertion();
    void wizardRefused();

private:
    TTrigSourceForm *newEditor(const QString &name, const QString &relation, int kind,
                               const QString &source);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestTrigSource::initTestCase()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({
        "CREATE TABLE ORDERS (ID INTEGER, PRICE INTEGER)",
        "CREATE VIEW V_ORDERS (ORD_ID, ORD_PRICE) AS SELECT ID, PRICE FROM ORDERS",
    });
}

void TestTrigSource::init()
{
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_session->sent.clear();
}

void TestTrigSource::cleanup()
{
    m_prompts.reset();
    m_shell.reset();
}

TTrigSourceForm *TestTrigSource::newEditor(const QString &name, const QString &relation,
                                           int kind, const QString &source)
{
    TTrigSourceForm *form = TTrigSourceForm::open();
    form->TrigNameEdit->setText(name);
    form->TableNameEdit->setEditText(relation);
    form->EventTypeEdit->setCurrentIndex(kind);
    form->TrigSource->setPlainText(source);
    return form;
}

void TestTrigSource::statements_data()
{
    QTest::addColumn<bool>("create");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("refused");
    const QByteArray body("AS\r\nBEGIN\r\n  NEW.PRICE = 1;\r\nEND\r\n");
    QTest::newRow("create") << true << 0
                            << "CREATE TRIGGER SET_ID\r\nFOR ORDERS ACTIVE\r\nBEFORE INSERT\r\n"
                               "POSITION 15\r\n" + body << false;
    QTest::newRow("create without kind")
        << true << -1 << "CREATE TRIGGER SET_ID\r\nFOR ORDERS ACTIVE\r\n\r\nPOSITION 15\r\n" + body
        << true;
    QTest::newRow("alter") << false << 2 << "ALTER TRIGGER SET_ID\r\nBEFORE UPDATE\r\n" + body
                           << false;
}

// The statement comes from the boxes as they stand (a position above 15 is
// brought down); a refused statement leaves the editor as it was.
void TestTrigSource::statements()
{
    QFETCH(bool, create);
    QFETCH(int, kind);
    QFETCH(QByteArray, sent);
    QFETCH(bool, refused);
    if (!create)
        m_session->ib()->ExecuteStatement("CREATE TRIGGER SET_ID FOR ORDERS BEFORE INSERT "
                                          "AS BEGIN END", true);
    m_session->sent.clear();
    TTrigSourceForm *form =
        newEditor("SET_ID", "ORDERS", kind, "AS\nBEGIN\n  NEW.PRICE = 1;\nEND\n");
    QCOMPARE(form->windowTitle(), QString("Trigger -SET_ID"));
    QCOMPARE(form->TableNameEdit->findText("V_ORDERS"), 1);
    form->PositionEdit->setValue(20);
    TestWidgets::menuItem(form->TriggerMenu, create ? "&New" : "&Run")->trigger();
    QCOMPARE(m_session->sent, QByteArrayList{sent});
    QCOMPARE(m_prompts->errors().size(), refused ? 1 : 0);
    QCOMPARE(form->TrigSource->toPlainText(), QString("AS\nBEGIN\n  NEW.PRICE = 1;\nEND\n"));
    if (!refused) {
        QCOMPARE(m_session->db.scalar("SELECT RDB$TRIGGER_TYPE FROM RDB$TRIGGERS "
                                      "WHERE RDB$TRIGGER_NAME = 'SET_ID'"),
                 QString::number(kind + 1));
        m_session->ib()->ExecuteStatement("DROP TRIGGER SET_ID", true);
    }
}

void TestTrigSource::preview_data()
{
    QTest::addColumn<bool>("contextItem");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok, window menu") << false << int(QDialog::Accepted);
    QTest::newRow("cancel, context menu") << true << int(QDialog::Rejected);
}

// Either Show SQL item turns the one switch; Cancel in the preview runs
// nothing, OK runs the statement shown.
void TestTrigSource::preview()
{
    QFETCH(bool, contextItem);
    QFETCH(int, answer);
    TTrigSourceForm *form = newEditor("PREVIEWED", "ORDERS", 1, "AS BEGIN END");
    QVERIFY(!form->MnShowSQL->isChecked());
    TestWidgets::menuItem(contextItem ? form->SourceMenu : form->TriggerMenu, "Show S&QL")->trigger();
    QStringList previewed;
    ScopedFormRunner runner([&](QDialog *dialog) {
        previewed = qobject_cast<TSQLSourceForm *>(dialog)->lines();
        return answer;
    });
    form->MewButton->click();
    const QStringList lines{"CREATE TRIGGER PREVIEWED", "FOR ORDERS ACTIVE", "AFTER INSERT",
                            "POSITION 0", "AS BEGIN END"};
    QCOMPARE(previewed, lines);
    QCOMPARE(m_session->sent, answer == QDialog::Accepted
                                  ? QByteArrayList{lines.join("\r\n").toUtf8() + "\r\n"}
                                  : QByteArrayList());
    QCOMPARE(m_prompts->errors(), QStringList());
    if (answer == QDialog::Accepted)
        m_session->ib()->ExecuteStatement("DROP TRIGGER PREVIEWED", true);
}

// Only the source is saved, as UTF-8 with CR LF and the default extension;
// loading replaces the source and leaves the header boxes. File errors show.
void TestTrigSource::files()
{
    const QString source("AS\nBEGIN\n  /* \u00e9t\u00e9 */\nEND");
    TTrigSourceForm *form = newEditor("KEEP", "ORDERS", 4, source);
    const QString base = m_session->db.folder() + "/source";
    m_prompts->files << base;
    TestWidgets::menuItem(form->TriggerMenu, "Save to &File")->trigger();
    QFile saved(base + ".DDL");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QString("AS\r\nBEGIN\r\n  /* \u00e9t\u00e9 */\r\nEND\r\n").toUtf8());

    form->TrigSource->setPlainText("something else");
    m_prompts->files << base + ".DDL";
    form->LoadFromFileButton->click();
    QCOMPARE(form->TrigSource->toPlainText(), source);
    QCOMPARE(form->TrigNameEdit->text() + form->TableNameEdit->currentText(), "KEEPORDERS");
    QCOMPARE(form->EventTypeEdit->currentIndex(), 4);
    QCOMPARE(m_prompts->errors(), QStringList());

    form->LoadFromFileButton->click(); // dialog cancelled
    m_prompts->files << m_session->db.folder() + "/missing.DDL"
                     << m_session->db.folder() + "/no/such/dir/x.DDL";
    form->LoadFromFileButton->click();
    form->SaveToFileButton->click();
    QCOMPARE(m_prompts->errors().size(), 2);
    QCOMPARE(form->TrigSource->toPlainText(), source);
}

void TestTrigSource::caretPanel_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("panel");
    QTest::newRow("start") << 0 << 0 << 0 << " 1|0|3";
    QTest::newRow("fifth line") << 4 << 4 << 0 << " 5|4|7";
    QTest::newRow("selection counts from its start") << 2 << 2 << 3 << " 3|2|5";
}

void TestTrigSource::caretPanel()
{
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, selected);
    QFETCH(QString, panel);
    TTrigSourceForm *form =
        newEditor("", "", -1, "AS\nBEGIN\n  X = 1;\n  Y = 2;\n  Z = 3;\nEND");
    placeCaret(form, line, column, selected);
    QTest::keyRelease(form->TrigSource, Qt::Key_Shift);
    QCOMPARE(m_shell->caretPanel, panel);
    QTest::keyClick(form->TrigSource, Qt::Key_Down);
    QCOMPARE(m_shell->caretPanel.section('|', 0, 0), QString(" %1").arg(line + 2));
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(form->TrigSource, &focusOut);
    QCOMPARE(m_shell->caretPanel, QString(" "));
}

void TestTrigSource::wizardInsertion_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    const QString statement("INSERT INTO ORDERS   (\n    ID,\n    PRICE)\nVALUES (\n"
                            "    NEW.ORD_ID,\nNEW.ORD_PRICE);\n");
    QTest::newRow("start") << 0 << 0 << 0 << statement + "AS\nBEGIN\nEND";
    QTest::newRow("end of line") << 1 << 5 << 0 << "AS\nBEGIN" + statement + "\nEND";
    QTest::newRow("over selection") << 1 << 0 << 5 << "AS\n" + statement + "\nEND";
}

// The statement for the view in the relation box goes in exactly at the
// caret, replacing a selection; the caret is left at its start.
void TestTrigSource::wizardInsertion()
{
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, selected);
    QFETCH(QString, text);
    TTrigSourceForm *form = newEditor("V_BI", "V_ORDERS", 0, "AS\nBEGIN\nEND");
    placeCaret(form, line, column, selected);
    const int start = form->TrigSource->textCursor().selectionStart();
    ScopedFormRunner runner([](QDialog *dialog) {
        if (auto *wizard = qobject_cast<TViewStatementWiz *>(dialog))
            wizard->SelRelBtn->click();
        return int(QDialog::Accepted);
    });
    form->BtnInsert->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(form->TrigSource->toPlainText(), text);
    QCOMPARE(form->TrigSource->textCursor().position(), start);
}

// A cancelled wizard changes nothing silently; one confirmed without a
// relation shows its message and changes nothing either.
void TestTrigSource::wizardRefused()
{
    TTrigSourceForm *form = newEditor("V_BU", "V_ORDERS", 2, "AS\nBEGIN\nEND");
    int answer = QDialog::Rejected;
    ScopedFormRunner runner([&](QDialog *) { return answer; });
    form->BtnUpdate->click();
    QCOMPARE(m_prompts->asked.size(), 0);
    answer = QDialog::Accepted;
    form->BtnUpdate->click();
    QCOMPARE(m_prompts->errors(), QStringList{"You should set the relation to updte first."});
    QCOMPARE(form->TrigSource->toPlainText(), QString("AS\nBEGIN\nEND"));
}

QUORVEL_TEST_MAIN(TestTrigSource)
#include "tst_trigsource.moc"
