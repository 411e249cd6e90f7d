#include "catalog/TGeneratorsForm.h"
#include "catalog/TGenValueForm.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/ModalForms.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QStringList kByName{"G_ALPHA", "G_BETA", "G_CHARLIE", "G_DELTA"};

QStringList column(const TGeneratorsForm *form, int index)
{
    QStringList texts;
    for (int i = 0; i < form->GeneratorList->topLevelItemCount(); ++i)
        texts << form->GeneratorList->topLevelItem(i)->text(index);
    return texts;
}

QString listedValue(const TGeneratorsForm *form, const QString &name)
{
    const auto items = form->GeneratorList->findItems(name, Qt::MatchExactly);
    return items.isEmpty() ? QString() : items.first()->text(1);
}

void trigger(TGeneratorsForm *form, const QString &text)
{
    for (QAction *action : form->formMenu()->actions()) {
        if (action->text() == text)
            return action->trigger();
    }
    QFAIL(qPrintable("no menu item " + text));
}

// The dialog as it looked: on opening, and after a first Ok that failed.
struct DialogState
{
    QString caption, name, value;
    bool nameEnabled = false;

    explicit DialogState(const TGenValueForm *form = nullptr)
    {
        if (!form)
            return;
        caption = form->windowTitle();
        name = form->GenNameEdit->text();
        value = form->GenValueEdit->text();
        nameEnabled = form->GenNameEdit->isEnabled();
    }
};

// Types into the dialog and presses Ok; when it stays open, presses Cancel.
class DialogScript
{
public:
    DialogScript(const QString &name, const QString &value)
        : m_runner([=, this](QDialog *dialog) {
            auto *form = qobject_cast<TGenValueForm *>(dialog);
            ++shown;
            opened = DialogState(form);
            if (!name.isEmpty())
                form->GenNameEdit->setText(name);
            form->GenValueEdit->setText(value);
            form->Ok->click();
            if (form->result() == QDialog::Accepted)
                return int(QDialog::Accepted);
            stayedOpen = DialogState(form);
            form->CancelBtn->click();
            return form->result();
        })
    {
    }

    int shown = 0;
    DialogState opened;
    std::optional<DialogState> stayedOpen;

private:
    ScopedFormRunner m_runner;
};

} // namespace

class tst_Generators : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listAndSystemToggle();
    void sortOrder_data();
    void sortOrder();
    void valueDialog_data();
    void valueDialog();
    void wideValues_data();
    void wideValues();
    void editNeedsSelection();
    void openWithoutDatabase();
    void namesAndIdentities_data();
    void namesAndIdentities();

private:
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_Generators::init()
{
    m_session = std::make_unique<TestSession>(true);
    m_session->db.execute(QStringList{
        "CREATE GENERATOR G_BETA", "SET GENERATOR G_BETA TO 100",
        "CREATE GENERATOR G_ALPHA", "SET GENERATOR G_ALPHA TO 5",
        "CREATE GENERATOR G_DELTA", "SET GENERATOR G_DELTA TO 5",
        "CREATE GENERATOR G_CHARLIE", "SET GENERATOR G_CHARLIE TO -3",
    });
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_Generators::cleanup()
{
    m_shell.reset();
    m_prompts.reset();
    m_session.reset();
}

void tst_Generators::listAndSystemToggle()
{
    TGeneratorsForm *form = TGeneratorsForm::open();
    QCOMPARE(m_shell->last<TGeneratorsForm>(), form);
    QCOMPARE(column(form, 0), kByName);
    QCOMPARE(column(form, 1), (QStringList{"5", "100", "-3", "5"}));
    QCOMPARE(column(form, 2), QStringList(4, "No"));

    const QStringList system = m_session->db.column(
        "SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE RDB$SYSTEM_FLAG <> 0");
    QVERIFY(!system.isEmpty());
    form->SystemGenView->click();
    QVERIFY(form->SystemGenView->down());
    QCOMPARE(column(form, 0).size(), system.size() + 4);
    for (const QString &name : system)
        QCOMPARE(form->GeneratorList->findItems(name, Qt::MatchExactly).value(0)->text(2), "Yes");

    form->SystemGenView->click();
    QVERIFY(!form->SystemGenView->down());
    QCOMPARE(column(form, 0), kByName);
    QVERIFY2(m_prompts->asked.isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QVERIFY(m_session->sent.isEmpty());
}

void tst_Generators::sortOrder_data()
{
    QTest::addColumn<QList<int>>("clicks"); // header sections; -1 = Refresh (F5)
    QTest::addColumn<QStringList>("order");

    const QStringList largestFirst{"G_BETA", "G_ALPHA", "G_DELTA", "G_CHARLIE"};
    const QStringList smallestFirst{"G_CHARLIE", "G_ALPHA", "G_DELTA", "G_BETA"};
    const QStringList nameDown{"G_DELTA", "G_CHARLIE", "G_BETA", "G_ALPHA"};
    QTest::newRow("first name click descends") << QList<int>{0} << nameDown;
    QTest::newRow("value largest first, ties kept") << QList<int>{1} << largestFirst;
    QTest::newRow("value again smallest first") << QList<int>{1, 1} << smallestFirst;
    QTest::newRow("value then name ascends") << QList<int>{1, 0} << kByName;
    QTest::newRow("system column, ties kept") << QList<int>{0, 2} << nameDown;
    QTest::newRow("refresh keeps the order") << QList<int>{1, 1, -1} << smallestFirst;
}

void tst_Generators::sortOrder()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, order);
    TGeneratorsForm *form = TGeneratorsForm::open();
    QHeaderView *header = form->GeneratorList->header();
    for (int section : clicks) {
        if (section < 0) {
            trigger(form, "&Refresh");
            continue;
        }
        const QPoint at(header->sectionViewportPosition(section) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QCOMPARE(column(form, 0), order);
}

void tst_Generators::valueDialog_data()
{
    QTest::addColumn<bool>("create");  // New, else Value on G_BETA
    QTest::addColumn<QString>("name"); // typed; empty keeps what the dialog offers
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QString>("error"); // "*": the server's
    QTest::addColumn<QString>("stored");

    const QByteArray create = "CREATE GENERATOR G_NEW\r\n";
    QTest::newRow("new") << true << "G_NEW" << "42"
        << QByteArrayList{create, "SET GENERATOR G_NEW TO 42\r\n"} << "" << "42";
    QTest::newRow("new, written plain") << true << "G_NEW" << "-0042"
        << QByteArrayList{create, "SET GENERATOR G_NEW TO -42\r\n"} << "" << "-42";
    QTest::newRow("new, bad value leaves it created") << true << "G_NEW" << "4x"
        << QByteArrayList{create} << "'4x' is not a valid integer value." << "0";
    QTest::newRow("new, beyond 32 bits") << true << "G_NEW" << "2147483648"
        << QByteArrayList{create, "SET GENERATOR G_NEW TO 2147483648\r\n"} << "" << "2147483648";
    QTest::newRow("new, beyond 64 bits") << true << "G_NEW" << "9223372036854775808"
        << QByteArrayList{create}
        << "'9223372036854775808' is out of the range of a generator value, "
           "-9223372036854775808 to 9223372036854775807." << "0";
    QTest::newRow("new, suggested name refused") << true << "" << "0"
        << QByteArrayList{"CREATE GENERATOR GENERATOR...\r\n"} << "*" << "";
    QTest::newRow("set") << false << "" << "007"
        << QByteArrayList{"SET GENERATOR G_BETA TO 7\r\n"} << "" << "7";
    QTest::newRow("set, letter") << false << "" << "1O0" << QByteArrayList{}
        << "'1O0' is not a valid integer value." << "100";
    QTest::newRow("set, empty") << false << "" << "" << QByteArrayList{}
        << "'' is not a valid integer value." << "100";
    QTest::newRow("set, below 64 bits") << false << "" << "-9223372036854775809"
        << QByteArrayList{} << "'-9223372036854775809' is out of the range of a generator "
           "value, -9223372036854775808 to 9223372036854775807." << "100";
    QTest::newRow("set, unchanged") << false << "" << "100" << QByteArrayList{} << "" << "100";
}

void tst_Generators::valueDialog()
{
    QFETCH(bool, create);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QByteArrayList, sent);
    QFETCH(QString, error);
    QFETCH(QString, stored);
    const QString generator = create ? "G_NEW" : "G_BETA";

    TGeneratorsForm *form = TGeneratorsForm::open();
    DialogScript script(name, value);
    if (create) {
        form->NewBtn->click();
    } else {
        form->GeneratorList->setCurrentItem(
            form->GeneratorList->findItems(generator, Qt::MatchExactly).value(0));
        trigger(form, "&Value");
    }

    QCOMPARE(script.shown, 1);
    QCOMPARE(script.opened.caption, create ? "New generator" : "Set generator value");
    QCOMPARE(script.opened.name, create ? "GENERATOR..." : "G_BETA");
    QCOMPARE(script.opened.value, create ? "0" : "100");
    QCOMPARE(script.opened.nameEnabled, create);
    QCOMPARE(m_session->sent, sent);
    const QStringList errors = m_prompts->errors();
    QCOMPARE(errors.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty() && error != "*")
        QCOMPARE(errors.first(), error);
    // A failed Ok leaves the dialog open as it was, with what was typed.
    QCOMPARE(script.stayedOpen.has_value(), !error.isEmpty());
    if (script.stayedOpen) {
        QCOMPARE(script.stayedOpen->caption, script.opened.caption);
        QCOMPARE(script.stayedOpen->nameEnabled, create);
        QCOMPARE(script.stayedOpen->value, value);
    }

    if (!stored.isEmpty()) {
        const QString query = "SELECT GEN_ID(" + generator + ", 0) FROM RDB$DATABASE";
        QCOMPARE(m_session->db.scalar(query, 3), stored);
    }
    // New refills the list at once; Value leaves it until Refresh.
    QCOMPARE(listedValue(form, generator), create ? stored : "100");
    trigger(form, "&Refresh");
    QCOMPARE(listedValue(form, generator), stored);
}

void tst_Generators::wideValues_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("typed"); // empty: Ok on the dialog as it opened
    QTest::addColumn<QByteArrayList>("sent");

    for (int dialect : {1, 3}) {
        const auto row = [dialect](const char *name) -> QTestData & {
            return QTest::newRow(qPrintable(QStringLiteral("dialect %1, %2").arg(dialect).arg(name)))
                   << dialect;
        };
        row("2^31 + 1 kept") << "2147483649" << "" << QByteArrayList{};
        row("2^53 + 1 kept") << "9007199254740993" << "" << QByteArrayList{};
        row("2^63 - 1 kept") << "9223372036854775807" << "" << QByteArrayList{};
        row("-2^63 kept") << "-9223372036854775808" << "" << QByteArrayList{};
        row("below -2^31 kept") << "-2147483649" << "" << QByteArrayList{};
        row("set to 2^63 - 1") << "5" << "9223372036854775807"
            << QByteArrayList{"SET GENERATOR G_BETA TO 9223372036854775807\r\n"};
        row("set to -2^63") << "2147483649" << "-9223372036854775808"
            << QByteArrayList{"SET GENERATOR G_BETA TO -9223372036854775808\r\n"};
        row("set back into 32 bits") << "9007199254740993" << "-7"
            << QByteArrayList{"SET GENERATOR G_BETA TO -7\r\n"};
    }
}

void tst_Generators::wideValues()
{
    QFETCH(int, dialect);
    QFETCH(QString, held);
    QFETCH(QString, typed);
    QFETCH(QByteArrayList, sent);
    if (dialect != 1) {
        m_session.reset();
        m_session = std::make_unique<TestSession>(true, dialect);
        m_session->db.execute("CREATE GENERATOR G_BETA");
    }
    // A dialect-1 statement takes no literal beyond 32 bits.
    m_session->db.executeInDialect(3, {"SET GENERATOR G_BETA TO " + held});
    const QString query = "SELECT GEN_ID(G_BETA, 0) FROM RDB$DATABASE";

    TGeneratorsForm *form = TGeneratorsForm::open();
    QCOMPARE(listedValue(form, "G_BETA"), held);
    form->GeneratorList->setCurrentItem(
        form->GeneratorList->findItems("G_BETA", Qt::MatchExactly).value(0));
    DialogScript script("", typed.isEmpty() ? held : typed);
    trigger(form, "&Value");

    QCOMPARE(script.opened.value, held);
    QVERIFY2(m_prompts->errors().isEmpty(), qPrintable(m_prompts->errors().join('\n')));
    QVERIFY(!script.stayedOpen);
    QCOMPARE(m_session->sent, sent);
    const QString expected = typed.isEmpty() ? held : typed;
    QCOMPARE(m_session->db.scalar(query, 3), expected);
    trigger(form, "&Refresh");
    QCOMPARE(listedValue(form, "G_BETA"), expected);
}

void tst_Generators::editNeedsSelection()
{
    TGeneratorsForm *form = TGeneratorsForm::open();
    DialogScript script("", "1");
    form->EditBtn->click();
    QCOMPARE(script.shown, 0);

    // A double click edits the row under the mouse.
    const QRect rect = form->GeneratorList->visualItemRect(form->GeneratorList->topLevelItem(0));
    QTest::mouseClick(form->GeneratorList->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(form->GeneratorList->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(script.shown, 1);
    QCOMPARE(m_session->sent, QByteArrayList{"SET GENERATOR G_ALPHA TO 1\r\n"});
}

void tst_Generators::openWithoutDatabase()
{
    m_session->ib()->Close();
    m_session->ib()->setParam("SERVER NAME", m_session->db.folder() + "/missing.fdb");
    TGeneratorsForm *form = TGeneratorsForm::open();
    QCOMPARE(m_shell->last<TGeneratorsForm>(), form);
    QCOMPARE(m_prompts->errors().size(), 1);
    QCOMPARE(form->GeneratorList->topLevelItemCount(), 0);
}

void tst_Generators::namesAndIdentities_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("generator");
    QTest::addColumn<QString>("spelled");
    QTest::addColumn<QString>("value");
    QTest::newRow("dialect 1") << 1 << "G_PLAIN" << "G_PLAIN" << "5";
    QTest::newRow("dialect 3, mixed case") << 3 << "g_Mixed" << "\"g_Mixed\"" << "5";
    QTest::newRow("dialect 3, mixed case, wide")
        << 3 << "g_Mixed" << "\"g_Mixed\"" << "9007199254740993";
    QTest::newRow("dialect 3, reserved word") << 3 << "VALUE" << "\"VALUE\"" << "-5";
}

// A stored name is spelled as the dialect needs it; an identity column's
// generator is listed with the system generators.
void tst_Generators::namesAndIdentities()
{
    QFETCH(int, dialect);
    QFETCH(QString, generator);
    QFETCH(QString, spelled);
    QFETCH(QString, value);
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, dialect);
    m_session->db.execute("CREATE GENERATOR " + spelled);
    if (dialect == 3)
        m_session->db.execute("CREATE TABLE T_ID (ID INTEGER GENERATED BY DEFAULT AS IDENTITY)");

    TGeneratorsForm *form = TGeneratorsForm::open();
    QCOMPARE(column(form, 0), QStringList{generator});
    form->GeneratorList->setCurrentItem(
        form->GeneratorList->findItems(generator, Qt::MatchExactly).value(0));
    m_session->sent.clear();
    DialogScript script("", value);
    trigger(form, "&Value");
    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->sent, QByteArrayList{("SET GENERATOR " + spelled + " TO " + value
                                              + "\r\n").toUtf8()});
    QCOMPARE(m_session->db.scalar("SELECT GEN_ID(" + spelled + ", 0) FROM RDB$DATABASE", 3),
             value);

    form->SystemGenView->click();
    if (dialect == 3) {
        const QString identity = m_session->db.scalar(
            "SELECT RDB$GENERATOR_NAME FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'T_ID'");
        QVERIFY(!identity.isEmpty());
        const auto items = form->GeneratorList->findItems(identity, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first()->text(2), "Yes");
    }
    QCOMPARE(form->GeneratorList->findItems(generator, Qt::MatchExactly).value(0)->text(2), "No");
}

QUORVEL_TEST_MAIN(tst_Generators)
#include "tst_generators.moc"
