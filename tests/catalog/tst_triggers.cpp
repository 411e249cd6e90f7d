#include "catalog/TFormTriggers.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/StatementEditor.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "support/TestWidgets.h"
#include "uikit/CatalogQuery.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

// What the grid shows in one of its columns, row by row.
QStringList shown(const TFormTriggers *form, const QString &field)
{
    return TestWidgets::columnShown(form->DBGrid1->model(), form->TrigTable->fieldIndex(field));
}

void pickRelation(TFormTriggers *form, const QString &relation)
{
    const int index = form->TableCombo->findText(relation);
    QVERIFY(index >= 0);
    form->TableCombo->setCurrentIndex(index);
    emit form->TableCombo->activated(index);
}

void selectTrigger(TFormTriggers *form, const QString &name)
{
    const QStringList names = shown(form, "RDB$TRIGGER_NAME");
    QVERIFY2(names.contains(name), qPrintable(names.join(',')));
    form->DBGrid1->setCurrentIndex(form->DBGrid1->model()->index(names.indexOf(name), 0));
}

} // namespace

class TestTriggers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columns();
    void filter_data();
    void filter();
    void commands_data();
    void commands();
    void emptyList();
    void openEditor_data();
    void openEditor();
    void editorOpensOnTriggerAsNow();
    void addToRepository();
    void dialect3QuotedNamesRoundTrip();
    void databaseAndDdlTriggersNamed_data();
    void databaseAndDdlTriggersNamed();

private:
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestTriggers::init()
{
    m_session = std::make_unique<TestSession>();
    m_session->db.execute({
        "CREATE TABLE T1 (ID INTEGER, NAME VARCHAR(20))",
        "CREATE TABLE T2 (ID INTEGER)",
        "CREATE TABLE T3 (ID INTEGER)",
        "CREATE TRIGGER T1_BI FOR T1 BEFORE INSERT POSITION 0 AS\nBEGIN\n  NEW.ID = 1;\nEND",
        "CREATE TRIGGER T1_AU FOR T1 INACTIVE AFTER UPDATE POSITION 20 AS BEGIN END",
        "CREATE TRIGGER T1_MULTI FOR T1 BEFORE INSERT OR UPDATE AS BEGIN END",
        "CREATE TRIGGER T2_AD FOR T2 AFTER DELETE AS BEGIN END",
    });
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestTriggers::cleanup()
{
    m_prompts.reset();
    m_shell.reset();
    m_session.reset();
}

// A multi-action kind shows no text; the memo columns show a marker.
void TestTriggers::columns()
{
    TFormTriggers *form = TFormTriggers::open();
    QCOMPARE(form->windowTitle(), QString("Triggers List"));
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(shown(form, "RDB$TRIGGER_NAME"),
             QStringList({"T1_AU", "T1_BI", "T1_MULTI", "T2_AD"}));
    QCOMPARE(shown(form, "TYPENAME"),
             QStringList({"AFTER UPDATE", "BEFORE INSERT", "", "AFTER DELETE"}));
    QCOMPARE(shown(form, "ACT"), QStringList({"INACTIVE", "ACTIVE", "ACTIVE", "ACTIVE"}));
    QCOMPARE(shown(form, "RDB$TRIGGER_SOURCE").first(), QString("(MEMO)"));
    QCOMPARE(form->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestTriggers::filter_data()
{
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("one relation") << "T1" << QStringList({"T1_AU", "T1_BI", "T1_MULTI"});
    QTest::newRow("another") << "T2" << QStringList({"T2_AD"});
    QTest::newRow("none") << "T3" << QStringList();
    QTest::newRow("all again") << "<All relations>"
                               << QStringList({"T1_AU", "T1_BI", "T1_MULTI", "T2_AD"});
}

// The relation box starts at "<All relations>" and lists the relations;
// system triggers are never shown, whichever entry is picked.
void TestTriggers::filter()
{
    QFETCH(QString, relation);
    QFETCH(QStringList, names);
    TFormTriggers *form = TFormTriggers::open();
    QCOMPARE(form->TableCombo->itemText(0), QString("<All relations>"));
    QCOMPARE(form->TableCombo->currentIndex(), 0);
    QCOMPARE(form->RelationFilter, QString("<All relations>"));
    QVERIFY(form->TableCombo->findText("T3") > 0);
    QVERIFY(form->TableCombo->findText("RDB$TRIGGERS") < 0);
    QVERIFY(form->TrigTable->rowCount() > 4); // the system triggers are read, then hidden
    pickRelation(form, "T2");
    pickRelation(form, relation);
    QCOMPARE(form->RelationFilter, relation);
    QCOMPARE(shown(form, "RDB$TRIGGER_NAME"), names);
}

void TestTriggers::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("after");
    const QStringList none;
    const QStringList dropQuestion{"Proceed to delete trigger 'T2_AD'?"};
    QTest::newRow("activate") << "Activate" << "T1_AU" << false
                              << QByteArrayList{"ALTER TRIGGER T1_AU ACTIVE;\r\n"} << none
                              << QStringList({"ACTIVE", "ACTIVE", "ACTIVE", "ACTIVE", "ACTIVE"});
    QTest::newRow("deactivate")
        << "Deactivate" << "T1_BI" << false
        << QByteArrayList{"ALTER TRIGGER T1_BI INACTIVE;\r\n"} << none
        << QStringList({"INACTIVE", "INACTIVE", "ACTIVE", "ACTIVE", "ACTIVE"});
    QTest::newRow("drop") << "&Delete" << "T2_AD" << true
                          << QByteArrayList{"DROP TRIGGER T2_AD;\r\n"} << dropQuestion
                          << QStringList({"INACTIVE", "ACTIVE", "ACTIVE", "ACTIVE"});
    QTest::newRow("drop cancelled") << "&Delete" << "T2_AD" << false << QByteArrayList{}
                                    << dropQuestion
                                    << QStringList({"INACTIVE", "ACTIVE", "ACTIVE", "ACTIVE",
                                                    "ACTIVE"});
}

// Each command formats its statement with the current name and re-reads the
// list, after a cancelled drop too: a trigger made meanwhile shows up.
void TestTriggers::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, trigger);
    QFETCH(bool, confirm);
    QFETCH(QByteArrayList, sent);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, after);
    TFormTriggers *form = TFormTriggers::open();
    selectTrigger(form, trigger);
    m_session->db.execute("CREATE TRIGGER T3_BI FOR T3 BEFORE INSERT AS BEGIN END");
    m_session->sent.clear();
    m_prompts->answers << (confirm ? Prompts::Answer::Ok : Prompts::Answer::Cancel);
    TestWidgets::menuItem(form->TriggersMenu, command)->trigger();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->sent, sent);
    QCOMPARE(m_prompts->questions(), questions);
    QCOMPARE(shown(form, "ACT"), after);
    QVERIFY(shown(form, "RDB$TRIGGER_NAME").contains("T3_BI"));
    QCOMPARE(shown(form, "RDB$TRIGGER_NAME").contains("T2_AD"), !confirm);
}

// With nothing listed the commands use an empty name; the server's refusal
// is shown.
void TestTriggers::emptyList()
{
    TFormTriggers *form = TFormTriggers::open();
    pickRelation(form, "T3");
    m_session->sent.clear();
    form->ActivateBtn->click();
    m_prompts->answers << Prompts::Answer::Ok;
    form->SpeedButton1->click();
    QCOMPARE(m_session->sent,
             QByteArrayList({"ALTER TRIGGER  ACTIVE;\r\n", "DROP TRIGGER ;\r\n"}));
    QCOMPARE(m_prompts->questions(), QStringList{"Proceed to delete trigger ''?"});
    QCOMPARE(m_prompts->errors().size(), 2);
}

void TestTriggers::openEditor_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("source");
    QTest::newRow("position clamped") << "T1_AU" << 3 << 15 << "AS BEGIN END";
    QTest::newRow("lines") << "T1_BI" << 0 << 0 << "AS\nBEGIN\n  NEW.ID = 1;\nEND";
    QTest::newRow("no kind") << "T1_MULTI" << -1 << 0 << "AS BEGIN END";
}

// The editor opens filled from the current row: kind code minus 1, the
// position brought into 0 to 15.
void TestTriggers::openEditor()
{
    QFETCH(QString, trigger);
    QFETCH(int, kind);
    QFETCH(int, position);
    QFETCH(QString, source);
    TFormTriggers *form = TFormTriggers::open();
    selectTrigger(form, trigger);
    form->SrcBtn->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    auto *editor = m_shell->last<TTrigSourceForm>();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), "Trigger -" + trigger);
    QCOMPARE(editor->TrigNameEdit->text(), trigger);
    QCOMPARE(editor->EventTypeEdit->currentIndex(), kind);
    QCOMPARE(editor->PositionEdit->value(), position);
    QCOMPARE(editor->TableNameEdit->currentText(), QString("T1"));
    QVERIFY(editor->TableNameEdit->findText("T2") >= 0);
    QCOMPARE(editor->TrigSource->toPlainText(), source);
}

// The editor's ALTER TRIGGER would put back what the list read, over another
// user's change: it opens on the trigger as stored now, and says so.
void TestTriggers::editorOpensOnTriggerAsNow()
{
    TFormTriggers *form = TFormTriggers::open();
    selectTrigger(form, "T1_BI");
    m_session->db.execute(QStringList{"ALTER TRIGGER T1_BI POSITION 5 AS BEGIN NEW.ID = 100; END"});
    form->SrcBtn->click();
    QCOMPARE(m_prompts->told(),
             QStringList{"T1_BI was changed by another user since it was shown; the statement "
                         "is built from its current text."});
    auto *editor = m_shell->last<TTrigSourceForm>();
    QVERIFY(editor);
    QCOMPARE(editor->PositionEdit->value(), 5);
    QCOMPARE(editor->TrigSource->toPlainText(), "AS BEGIN NEW.ID = 100; END");

    m_session->db.execute(QStringList{"DROP TRIGGER T1_BI"});
    const qsizetype opened = m_shell->opened.size();
    form->SrcBtn->click();
    QCOMPARE(m_prompts->errors(),
             QStringList{"T1_BI was dropped by another user since it was shown."});
    QCOMPARE(m_shell->opened.size(), opened);
}

// Only the stored source goes to the repository, without a header.
void TestTriggers::addToRepository()
{
    RepositoryStore::createTable(m_session->db.folder());
    TFormTriggers *form = TFormTriggers::open();
    selectTrigger(form, "T1_BI");
    m_prompts->inputs << QString("T1_BI_SOURCE");
    form->OfficeButton1->click();
    QCOMPARE(m_prompts->errors(), QStringList());
    const TObjRepos *repository = m_shell->last<TObjRepos>();
    QVERIFY(repository);
    QCOMPARE(repository->currentText(), QString("AS\r\nBEGIN\r\n  NEW.ID = 1;\r\nEND\r\n"));
}

// On a dialect-3 database a mixed-case trigger on a quoted table is switched,
// saved unchanged from the editor and dropped; what it writes keeps the
// integer division it was written with.
void TestTriggers::dialect3QuotedNamesRoundTrip()
{
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute({
        "CREATE TABLE \"Customer Orders\" (\"Amount\" INTEGER, HALF INTEGER)",
        "CREATE TRIGGER \"bi_Orders\" FOR \"Customer Orders\" BEFORE INSERT AS\n"
        "BEGIN\n  NEW.HALF = NEW.\"Amount\" / 2;\nEND",
    });
    const QString source =
        "SELECT RDB$TRIGGER_SOURCE FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = 'bi_Orders'";
    const QString active =
        "SELECT RDB$TRIGGER_INACTIVE FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = 'bi_Orders'";
    const QString sourceBefore = m_session->db.scalar(source);
    TFormTriggers *form = TFormTriggers::open();
    selectTrigger(form, "bi_Orders");
    m_session->sent.clear();
    form->DeactiveteBtnClick();
    QCOMPARE(m_session->db.scalar(active), "1");
    selectTrigger(form, "bi_Orders");
    form->ActivateBtnClick();
    QCOMPARE(m_session->db.scalar(active), "0");
    QCOMPARE(m_session->sent, QByteArrayList({"ALTER TRIGGER \"bi_Orders\" INACTIVE;\r\n",
                                              "ALTER TRIGGER \"bi_Orders\" ACTIVE;\r\n"}));

    selectTrigger(form, "bi_Orders");
    form->SrcBtn->click();
    auto *editor = m_shell->last<TTrigSourceForm>();
    QVERIFY(editor);
    m_session->sent.clear();
    editor->UpdateBtnClick();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->sent.value(0),
             "ALTER TRIGGER \"bi_Orders\"\r\nBEFORE INSERT\r\nAS\r\nBEGIN\r\n"
             "  NEW.HALF = NEW.\"Amount\" / 2;\r\nEND\r\n");
    QCOMPARE(m_session->db.scalar(source).remove('\r'), QString(sourceBefore).remove('\r'));
    m_session->db.execute("INSERT INTO \"Customer Orders\" (\"Amount\") VALUES (7)");
    QCOMPARE(m_session->db.scalar("SELECT HALF FROM \"Customer Orders\""), "3");

    selectTrigger(form, "bi_Orders");
    m_prompts->answers << Prompts::Answer::Ok;
    form->DropClick();
    QCOMPARE(m_session->sent.value(1), "DROP TRIGGER \"bi_Orders\";\r\n");
    QCOMPARE(m_session->db.scalar(active), "");
    QCOMPARE(m_prompts->errors(), QStringList());
}


void TestTriggers::databaseAndDdlTriggersNamed_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("fires"); // as CREATE TRIGGER and the metadata script write it
    QTest::newRow("1: on connect") << 1 << "ON CONNECT";
    QTest::newRow("3: on transaction commit") << 3 << "ON TRANSACTION COMMIT";
    QTest::newRow("1: before any DDL") << 1 << "BEFORE ANY DDL STATEMENT";
    QTest::newRow("3: after two DDL statements") << 3 << "AFTER CREATE TABLE OR DROP TABLE";
}

// A trigger of the database or of DDL statements is named in the list and
// in the editor, whose statements the server takes: ALTER keeps the kind,
// New makes another trigger of it, for no relation.
void TestTriggers::databaseAndDdlTriggersNamed()
{
    QFETCH(int, dialect);
    QFETCH(QString, fires);
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute(QStringList{"CREATE TRIGGER DB_T ACTIVE " + fires
                                      + " POSITION 3 AS BEGIN END"});
    const auto stored = [this](const QString &name) {
        return m_session->db.scalar("SELECT RDB$TRIGGER_TYPE || '|' || RDB$TRIGGER_SOURCE "
                                    "FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = '" + name + "'");
    };
    const QString type = stored("DB_T").section('|', 0, 0);
    TFormTriggers *form = TFormTriggers::open();
    QCOMPARE(shown(form, "TYPENAME"), QStringList{fires});
    selectTrigger(form, "DB_T");
    form->SrcBtn->click();
    auto *editor = m_shell->last<TTrigSourceForm>();
    QVERIFY(editor);
    QCOMPARE(editor->EventTypeEdit->currentText(), fires);
    QCOMPARE(editor->TableNameEdit->currentText(), QString());

    editor->TrigSource->setPlainText("AS\nBEGIN\n  EXIT;\nEND");
    TestWidgets::menuItem(editor->TriggerMenu, "&Run")->trigger();
    editor->TrigNameEdit->setText("DB_COPY");
    TestWidgets::menuItem(editor->TriggerMenu, "&New")->trigger();
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(stored("DB_T"), type + "|AS\r\nBEGIN\r\n  EXIT;\r\nEND");
    QCOMPARE(stored("DB_COPY"), stored("DB_T"));
}

QUORVEL_TEST_MAIN(TestTriggers)
#include "tst_triggers.moc"
