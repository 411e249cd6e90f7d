#include "catalog/TExcDlg.h"
#include "catalog/TExceptionsForm.h"
#include "controls/TOfficeButton.h"
#include "core/AppError.h"
#include "core/MessageLines.h"
#include "ibdb/TIBDataBase.h"
#include "support/Failures.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/CatalogQuery.h"
#include "uikit/ModalForms.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <optional>

class TestExceptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dialog();
    void windowAndMenu();
    void commands_data();
    void commands();
    void refusedStatementKeepsTexts_data();
    void refusedStatementKeepsTexts();
    void emptyListHasNothingToEditOrDrop();
    void editOffersMessageAsNow();
    void messagesStoredAsTyped_data();
    void messagesStoredAsTyped();
    void dialect3NamesAndLiterals_data();
    void dialect3NamesAndLiterals();
    void sortedListActsOnTheChosenRow();

private:
    struct Visit
    {
        QString name, message;
        bool nameEnabled;
    };
    // Answers the shared dialog: records what it showed, types the texts given.
    void answerDialog(int result, std::optional<QString> name, std::optional<QString> message);
    QStringList names() const;
    void run(const QString &command);

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TestShell> m_shell;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    ModalForms::Runner m_previousRunner;
    QList<Visit> m_visits;
    TExceptionsForm *m_form = nullptr;
};

void TestExceptions::init()
{
    m_session = std::make_unique<TestSession>(true);
    m_session->db.execute(QStringList{"CREATE EXCEPTION E_ONE 'First message'",
                                      "CREATE EXCEPTION E_TWO 'Second message'"});
    m_shell = std::make_unique<TestShell>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_visits.clear();
    m_previousRunner = ModalForms::setRunner(ModalForms::Runner());
    m_form = TExceptionsForm::open();
}

void TestExceptions::cleanup()
{
    ModalForms::setRunner(m_previousRunner);
    m_prompts.reset();
    m_shell.reset();
    m_session.reset();
}

void TestExceptions::answerDialog(int result, std::optional<QString> name,
                                  std::optional<QString> message)
{
    ModalForms::setRunner([=, this](QDialog *dialog) {
        auto *dlg = qobject_cast<TExcDlg *>(dialog);
        m_visits.append({dlg->NameEdit->text(), dlg->message(), dlg->NameEdit->isEnabled()});
        if (name)
            dlg->NameEdit->setText(*name);
        if (message)
            dlg->MsgEdit->setPlainText(*message);
        return result;
    });
}

QStringList TestExceptions::names() const
{
    m_form->ExceptionsTable->fetchAll();
    QStringList list;
    for (int row = 0; row < m_form->ExceptionsTable->rowCount(); ++row)
        list << m_form->ExceptionsTable->value(row, "RDB$EXCEPTION_NAME").toString();
    return list;
}

void TestExceptions::run(const QString &command)
{
    if (command != "double-click") {
        m_form->formMenu()->actions()[QStringList({"&New", "&Edit", "&Delete"})
                                         .indexOf(command)]->trigger();
        return;
    }
    QTableView *grid = m_form->FGrid;
    const QPoint at = grid->visualRect(grid->currentIndex()).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void TestExceptions::dialog()
{
    TExcDlg &dialog = TExcDlg::shared();
    QCOMPARE(&TExcDlg::shared(), &dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Exceptions"));
    QVERIFY(dialog.isModal() && dialog.OKBtn->isDefault());
    QCOMPARE(dialog.OKBtn->text() + dialog.CancelBtn->text(), QStringLiteral("OKCancel"));
    const auto labels = dialog.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 2);
    QCOMPARE(labels[0]->text(), QStringLiteral("Exception &Name"));
    QCOMPARE(labels[0]->buddy(), dialog.NameEdit);
    QCOMPARE(labels[1]->text(), QStringLiteral("&Message to show"));

    // Enter in the message presses OK instead of breaking the line.
    dialog.MsgEdit->setPlainText("one line");
    dialog.show();
    QTest::keyClick(dialog.MsgEdit, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.message(), QStringLiteral("one line"));
}

void TestExceptions::windowAndMenu()
{
    QCOMPARE(m_shell->last<TExceptionsForm>(), m_form);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Exceptions"));
    QCOMPARE(names(), m_session->db.column("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS "
                                           "ORDER BY RDB$EXCEPTION_NAME"));
    CatalogQuery *table = m_form->ExceptionsTable;
    QTableView *grid = m_form->FGrid;
    QStringList titles;
    for (int c = 0; c < table->columnCount(); ++c) {
        if (!grid->isColumnHidden(c))
            titles << table->headerData(c, Qt::Horizontal).toString();
    }
    QCOMPARE(titles, QStringList({"NAME", "MESSAGE"}));

    QMenu *menu = m_form->formMenu();
    QCOMPARE(menu->title(), QStringLiteral("&Exceptions"));
    QCOMPARE(menu->menuAction()->statusTip(), QStringLiteral("Exceptions menu"));
    const QList<std::tuple<QString, QString, QString, TOfficeButton *>> items = {
        {"&New", "Ins", "Create new exception", m_form->NewBtn},
        {"&Edit", "Ctrl+E", "Edit current exception text", m_form->EditBtn},
        {"&Delete", "Ctrl+D", "Delete current exception", m_form->DeleteBtn},
        {"&Refresh", "F5", "Refresh table contents", m_form->RefreshBtb},
    };
    QCOMPARE(menu->actions().size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        const auto &[text, shortcut, hint, button] = items[i];
        QCOMPARE(menu->actions()[i]->text(), text);
        QCOMPARE(menu->actions()[i]->shortcut(), QKeySequence(shortcut));
        QCOMPARE(menu->actions()[i]->statusTip(), hint);
        QCOMPARE(button->hint(), hint);
    }
}

void TestExceptions::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("result"); // of the dialog, or the confirmation when dropping
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("refreshed");

    const int ok = QDialog::Accepted;
    const int cancel = QDialog::Rejected;
    QTest::newRow("new") << "&New" << ok << "It's %1 done"
                         << QByteArray("CREATE EXCEPTION E_NEW  \"It's %1 done\"\r\n") << true;
    QTest::newRow("new cancelled") << "&New" << cancel << "x" << QByteArray() << true;
    QTest::newRow("edit") << "&Edit" << ok << "Changed"
                          << QByteArray("ALTER EXCEPTION E_TWO  \"Changed\"\r\n") << true;
    QTest::newRow("edit cancelled") << "&Edit" << cancel << "x" << QByteArray() << true;
    QTest::newRow("double-click") << "double-click" << ok << "Clicked"
                                  << QByteArray("ALTER EXCEPTION E_TWO  \"Clicked\"\r\n") << true;
    QTest::newRow("drop") << "&Delete" << ok << "" << QByteArray("DROP EXCEPTION E_TWO\r\n")
                          << true;
    QTest::newRow("drop cancelled") << "&Delete" << cancel << "" << QByteArray() << false;
}

void TestExceptions::commands()
{
    QFETCH(QString, command);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(QByteArray, sent);
    QFETCH(bool, refreshed);

    m_form->FGrid->setCurrentIndex(m_form->ExceptionsTable->index(names().indexOf("E_TWO"), 0));
    m_session->db.execute("CREATE EXCEPTION E_ELSEWHERE 'made by another'");
    const bool creating = command == "&New";
    answerDialog(result, creating ? std::optional<QString>("E_NEW") : std::nullopt, message);
    m_prompts->answers << (result == QDialog::Accepted ? Prompts::Answer::Ok
                                                       : Prompts::Answer::Cancel);
    run(command);

    QCOMPARE(m_prompts->errors(), QStringList());
    QCOMPARE(m_session->sent, sent.isEmpty() ? QByteArrayList() : QByteArrayList({sent}));
    QCOMPARE(names().contains("E_ELSEWHERE"), refreshed);
    if (command == "&Delete") {
        QCOMPARE(m_prompts->questions(),
                 QStringList("Proceed to delete exception 'E_TWO' from database?"));
        QCOMPARE(names().contains("E_TWO"), sent.isEmpty());
        return;
    }
    QCOMPARE(m_visits.size(), 1);
    QCOMPARE(m_visits[0].nameEnabled, creating);
    if (!creating) {
        QCOMPARE(m_visits[0].name, QStringLiteral("E_TWO"));
        QCOMPARE(m_visits[0].message, QStringLiteral("Second message"));
    }
    if (!sent.isEmpty()) {
        const QString name = creating ? "E_NEW" : "E_TWO";
        QCOMPARE(m_session->db.scalar("SELECT RDB$MESSAGE FROM RDB$EXCEPTIONS "
                                      "WHERE RDB$EXCEPTION_NAME = '" + name + "'"),
                 message);
        // Read again in place: the current exception stays the same.
        QCOMPARE(m_form->ExceptionsTable->value(m_form->FGrid->currentIndex().row(),
                                                "RDB$EXCEPTION_NAME"),
                 QVariant("E_TWO"));
    }

    // What the dialog showed last is what New shows next, name box enabled.
    answerDialog(QDialog::Rejected, std::nullopt, std::nullopt);
    run("&New");
    QCOMPARE(m_visits.last().name, creating ? "E_NEW" : "E_TWO");
    QCOMPARE(m_visits.last().message, message);
    QVERIFY(m_visits.last().nameEnabled);
}

void TestExceptions::refusedStatementKeepsTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    QTest::newRow("existing name") << "E_ONE" << "again";
    QTest::newRow("blank in the name") << "E Q" << "say \"hi\"";
}

void TestExceptions::refusedStatementKeepsTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    const QStringList before = names();
    m_session->db.execute("CREATE EXCEPTION E_ELSEWHERE 'made by another'");
    answerDialog(QDialog::Accepted, name, message);
    m_form->NewBtn->click();

    QString literal = message;
    literal.replace("\"", "\"\"");
    const QString statement = "CREATE EXCEPTION " + name + "  \"" + literal + "\"";
    QCOMPARE(m_session->sent, QByteArrayList({statement.toUtf8() + "\r\n"}));
    const QString serverText =
        failureOf<DatabaseError>([&] { m_session->ib()->ExecuteStatement(statement, true); });
    QVERIFY(!serverText.isEmpty());
    QCOMPARE(m_prompts->errors(), QStringList(MessageLines::plain(serverText) + "."));
    QCOMPARE(names(), before); // the refresh was skipped

    answerDialog(QDialog::Rejected, std::nullopt, std::nullopt);
    m_form->NewBtn->click();
    QCOMPARE(m_visits.last().name, name);
    QCOMPARE(m_visits.last().message, message);
}

void TestExceptions::emptyListHasNothingToEditOrDrop()
{
    m_session->db.execute(QStringList{"DROP EXCEPTION E_ONE", "DROP EXCEPTION E_TWO"});
    m_form->RefrBtnClick();
    QVERIFY(names().isEmpty());
    answerDialog(QDialog::Accepted, std::nullopt, std::nullopt);
    m_prompts->answers << Prompts::Answer::Ok;
    run("&Edit");
    run("&Delete");
    QVERIFY(m_visits.isEmpty());
    QVERIFY(m_prompts->asked.isEmpty());
    QVERIFY(m_session->sent.isEmpty());
}

void TestExceptions::messagesStoredAsTyped_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("literal"); // as it goes into the statement

    QTest::newRow("double quotes") << "say \"hi\"" << QByteArray("\"say \"\"hi\"\"\"");
    QTest::newRow("two double quotes")
        << "Value \"\" is empty" << QByteArray("\"Value \"\"\"\" is empty\"");
    QTest::newRow("single quote") << "It's" << QByteArray("\"It's\"");
    QTest::newRow("both, at the ends")
        << "\"'both'\"" << QByteArray("\"\"\"'both'\"\"\"");
}

void TestExceptions::messagesStoredAsTyped()
{
    QFETCH(QString, message);
    QFETCH(QByteArray, literal);
    const auto stored = [this](const QString &name) {
        return m_session->db.scalar("SELECT RDB$MESSAGE FROM RDB$EXCEPTIONS "
                                    "WHERE RDB$EXCEPTION_NAME = '" + name + "'");
    };

    answerDialog(QDialog::Accepted, QString("E_NEW"), message);
    run("&New");
    QCOMPARE(m_session->sent.value(0), "CREATE EXCEPTION E_NEW  " + literal + "\r\n");
    QCOMPARE(stored("E_NEW"), message);

    // Edited to the same text, then saved unchanged: still as typed.
    m_form->FGrid->setCurrentIndex(m_form->ExceptionsTable->index(names().indexOf("E_TWO"), 0));
    answerDialog(QDialog::Accepted, std::nullopt, message);
    run("&Edit");
    QCOMPARE(m_session->sent.value(1), "ALTER EXCEPTION E_TWO  " + literal + "\r\n");
    QCOMPARE(stored("E_TWO"), message);
    answerDialog(QDialog::Accepted, std::nullopt, std::nullopt);
    run("&Edit");
    QCOMPARE(m_visits.last().message, message);
    QCOMPARE(stored("E_TWO"), message);
    QCOMPARE(m_prompts->errors(), QStringList());
}

void TestExceptions::dialect3NamesAndLiterals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spelled"); // as the statements write the stored name
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("literal");

    QTest::newRow("plain name, single quote")
        << "E_TWO" << "E_TWO" << "It's" << "'It''s'";
    QTest::newRow("mixed case, double quotes")
        << "e_Mixed" << "\"e_Mixed\"" << "say \"hi\"" << "'say \"hi\"'";
    QTest::newRow("reserved word, both quotes")
        << "ORDER" << "\"ORDER\"" << "\"'x'\"" << "'\"''x''\"'";
}

// On a dialect-3 database the message is a single-quoted literal and a
// stored name is quoted where it needs it; create, edit and drop all run.
void TestExceptions::dialect3NamesAndLiterals()
{
    QFETCH(QString, name);
    QFETCH(QString, spelled);
    QFETCH(QString, message);
    QFETCH(QString, literal);
    m_session.reset();
    m_session = std::make_unique<TestSession>(true, 3);
    m_session->db.execute("CREATE EXCEPTION " + spelled + " 'old'");
    m_form = TExceptionsForm::open();
    const auto stored = [this](const QString &exception) {
        return m_session->db.scalar("SELECT RDB$MESSAGE FROM RDB$EXCEPTIONS "
                                    "WHERE RDB$EXCEPTION_NAME = '" + exception + "'");
    };

    answerDialog(QDialog::Accepted, QString("E_NEW"), message);
    run("&New");
    QCOMPARE(m_session->sent.value(0), ("CREATE EXCEPTION E_NEW  " + literal + "\r\n").toUtf8());
    QCOMPARE(stored("E_NEW"), message);

    m_form->FGrid->setCurrentIndex(m_form->ExceptionsTable->index(names().indexOf(name), 0));
    answerDialog(QDialog::Accepted, std::nullopt, message);
    run("&Edit");
    QCOMPARE(m_session->sent.value(1),
             ("ALTER EXCEPTION " + spelled + "  " + literal + "\r\n").toUtf8());
    QCOMPARE(stored(name), message);

    m_form->FGrid->setCurrentIndex(m_form->ExceptionsTable->index(names().indexOf(name), 0));
    m_prompts->answers << Prompts::Answer::Ok;
    run("&Delete");
    QCOMPARE(m_session->sent.value(2), ("DROP EXCEPTION " + spelled + "\r\n").toUtf8());
    QCOMPARE(m_prompts->errors(), QStringList());
    QVERIFY(!names().contains(name));
}

// Edit offered the message the list read: OK put it back over another
// user's newer one. It offers the stored message and says it changed.
void TestExceptions::editOffersMessageAsNow()
{
    m_form->FGrid->setCurrentIndex(m_form->ExceptionsTable->index(names().indexOf("E_TWO"), 0));
    m_session->db.execute("ALTER EXCEPTION E_TWO 'Newer message'");
    answerDialog(QDialog::Rejected, std::nullopt, std::nullopt);
    run("&Edit");
    QCOMPARE(m_prompts->told(),
             QStringList{"E_TWO was changed by another user since it was shown; the statement "
                         "is built from its current text."});
    QCOMPARE(m_visits.size(), 1);
    QCOMPARE(m_visits[0].message, QStringLiteral("Newer message"));

    m_session->db.execute("DROP EXCEPTION E_TWO");
    run("&Edit");
    QCOMPARE(m_prompts->errors(),
             QStringList{"E_TWO was dropped by another user since it was shown."});
    QCOMPARE(m_visits.size(), 1);
}


// Sorted by a column title, the list keeps the catalogue's rows in that
// order through a refresh, and a command acts on the row chosen in it.
void TestExceptions::sortedListActsOnTheChosenRow()
{
    QTableView *grid = m_form->FGrid;
    QVERIFY(grid->isSortingEnabled());
    QCOMPARE(names(), (QStringList{"E_ONE", "E_TWO"}));
    const int message = m_form->ExceptionsTable->fieldIndex("RDB$MESSAGE");
    grid->sortByColumn(message, Qt::DescendingOrder);
    QCOMPARE(names(), (QStringList{"E_TWO", "E_ONE"}));
    grid->setCurrentIndex(m_form->ExceptionsTable->index(1, message));
    m_session->db.execute("CREATE EXCEPTION E_THREE 'Third message'");
    m_form->RefreshBtb->click();
    QCOMPARE(names(), (QStringList{"E_THREE", "E_TWO", "E_ONE"}));
    grid->setCurrentIndex(m_form->ExceptionsTable->index(2, message));
    answerDialog(QDialog::Rejected, std::nullopt, std::nullopt);
    run("&Edit");
    QCOMPARE(m_visits.last().name, QStringLiteral("E_ONE"));
    QCOMPARE(m_visits.last().message, QStringLiteral("First message"));
    grid->sortByColumn(-1, Qt::AscendingOrder);
    QCOMPARE(names(), (QStringList{"E_ONE", "E_THREE", "E_TWO"}));
}
QUORVEL_TEST_MAIN(TestExceptions)
#include "tst_exceptions.moc"
