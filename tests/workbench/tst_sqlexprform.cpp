#include "controls/CaretPanel.h"
#include "controls/StatementEditor.h"
#include "controls/TOfficeButton.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSQLExprForm.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSqlQueryModel>

namespace {

struct Item
{
    QString text;
    QString hint;
    QKeySequence shortcut;
};

QList<Item> itemsOf(const QMenu *menu)
{
    QList<Item> items;
    for (const QAction *action : menu->actions())
        items.append({action->text(), action->statusTip(), action->shortcut()});
    return items;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TstSqlExprForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAndToolButtons();
    void menusInOrder_data();
    void menusInOrder();
    void runSendsWholeTextAsOneStatement_data();
    void runSendsWholeTextAsOneStatement();
    void runFailureShowsServerText();
    void typedTransactionStatements_data();
    void typedTransactionStatements();
    void runSaysItRanAndWhatItChanged_data();
    void runSaysItRanAndWhatItChanged();
    void loadSplitsAnyLineEnd_data();
    void loadSplitsAnyLineEnd();
    void saveWritesCrLfAndReplaces();
    void cancelledFileDialogsChangeNothing();
    void caretPanelText_data();
    void caretPanelText();
    void caretPanelFollowsKeysAndFocus();
    void openInDdlWindowHoldsText();
    void openAsResultSetRunsEditorText();

private:
    TSQLExprForm *newForm(const QString &text = QString());

    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestShell> shell;
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TstSqlExprForm::init()
{
    session = std::make_unique<TestSession>();
    shell = std::make_unique<TestShell>();
    prompts = std::make_unique<ScriptedPrompts>();
}

void TstSqlExprForm::cleanup()
{
    prompts.reset();
    shell.reset();
    session.reset();
}

TSQLExprForm *TstSqlExprForm::newForm(const QString &text)
{
    OpenInDDLWindow(text);
    return shell->last<TSQLExprForm>();
}

void TstSqlExprForm::windowAndToolButtons()
{
    TSQLExprForm *form = TSQLExprForm::open();
    QCOMPARE(form->windowTitle(), QStringLiteral("DDL  Statements Editor"));
    QVERIFY(form->ExecSql->toPlainText().isEmpty());
    QCOMPARE(form->ExecSql->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(!form->ExecSql->tabChangesFocus());
    const QList<std::pair<TOfficeButton *, QString>> buttons{
        {form->LoadFromReposBtn, QStringLiteral("Select saved DDL statement from repository")},
        {form->AddtoreposBtn, QStringLiteral("Add active DDL statement to repository")},
        {form->LoadFromFileBtn, QStringLiteral("Load DDL statement from file")},
        {form->SaveToFileBtn, QStringLiteral("Save active DDL statement to file")},
        {form->ExecSQLBtn, QStringLiteral("Run DDL statement")}};
    int left = -1;
    for (const auto &[button, hint] : buttons) {
        QCOMPARE(button->hint(), hint);
        QVERIFY(button->x() > left);
        left = button->x();
    }
}

void TstSqlExprForm::menusInOrder_data()
{
    QTest::addColumn<bool>("popup");
    QTest::addColumn<QStringList>("expected");
    const QStringList ddl{
        QStringLiteral("&Run|Run DDL statement|F9"),
        QStringLiteral("Run Script|Run the whole text as a script, statement by statement|"
                       "Ctrl+Shift+F9"),
        QStringLiteral("||"),
        QStringLiteral("&Select from Repository|Select saved DDL statement from repository|"
                       "Ctrl+Space"),
        QStringLiteral("&Add to Repository|Add active DDL statement to repository|Ctrl+A"),
        QStringLiteral("&Load from File|Load DDL statement from file|Ctrl+O"),
        QStringLiteral("Save to &File|Save active DDL statement to file|Ctrl+S"),
        QStringLiteral("||"),
        QStringLiteral("Open As &Result Set|Open as SQL expression with result set|Ctrl+R"),
        QStringLiteral("||"),
        QStringLiteral("Show Pla&n|Show the DDL statement's plans without running it|Ctrl+F9")};
    QStringList popup{QStringLiteral("&Cut|Cut to clipboard|Ctrl+X"),
                      QStringLiteral("C&opy|Copy to clipboard|Ctrl+C"),
                      QStringLiteral("&Paste|Paste from clipboard|Ctrl+V"),
                      QStringLiteral("||")};
    popup += ddl;
    popup[9] = QStringLiteral("&Load from File|Load DDL statement from File|Ctrl+O");
    popup << QStringLiteral("||") << QStringLiteral("Select A&ll|Select the whole text|");
    QTest::newRow("DDL menu") << false << ddl;
    QTest::newRow("context menu") << true << popup;
}

void TstSqlExprForm::menusInOrder()
{
    QFETCH(bool, popup);
    QFETCH(QStringList, expected);
    TSQLExprForm *form = TSQLExprForm::open();
    QCOMPARE(form->formMenu(), form->DDLMenu);
    QCOMPARE(form->DDLMenu->title(), QStringLiteral("&DDL"));
    QCOMPARE(form->DDLMenu->menuAction()->statusTip(), QStringLiteral("DDL statements menu"));
    QStringList actual;
    for (const Item &item : itemsOf(popup ? form->PopupMenu1 : form->DDLMenu))
        actual << item.text + u'|' + item.hint + u'|' + item.shortcut.toString();
    QCOMPARE(actual, expected);
}

void TstSqlExprForm::runSendsWholeTextAsOneStatement_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("one line") << QStringLiteral("CREATE TABLE A (X INTEGER)")
                              << QByteArray("CREATE TABLE A (X INTEGER)\r\n");
    QTest::newRow("lines and comment")
        << QStringLiteral("CREATE TABLE A\n/* keep */ (X INTEGER,\n\tY CHAR(2))\n")
        << QByteArray("CREATE TABLE A\r\n/* keep */ (X INTEGER,\r\n\tY CHAR(2))\r\n");
}

void TstSqlExprForm::runSendsWholeTextAsOneStatement()
{
    QFETCH(QString, editor);
    QFETCH(QByteArray, sent);
    TSQLExprForm *form = newForm(editor);
    // A selection does not narrow what runs.
    QTextCursor cursor = form->ExecSql->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    form->ExecSql->setTextCursor(cursor);
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(session->sent, QByteArrayList{sent});
    QCOMPARE(session->db.scalar(QStringLiteral(
                 "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'A'")),
             QStringLiteral("1"));
    QCOMPARE(form->ExecSql->toPlainText(), editor);
}

void TstSqlExprForm::runFailureShowsServerText()
{
    TSQLExprForm *form = newForm(QStringLiteral("CREATE TABLE A (X INTEGER);\n"
                                                "CREATE TABLE B (Y INTEGER)"));
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(session->sent,
             QByteArrayList{"CREATE TABLE A (X INTEGER);\r\nCREATE TABLE B (Y INTEGER)\r\n"});
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY(prompts->errors().first().contains(QStringLiteral("Token unknown")));
    QVERIFY(!session->ib()->InTransaction());

    TSQLExprForm *empty = newForm();
    Command::run([empty] { empty->execbtnClick(); });
    QCOMPARE(prompts->errors().last(), QStringLiteral("Attempt to execute empty statement."));
}

void TstSqlExprForm::typedTransactionStatements_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error"); // the start of the refusal, or empty
    QTest::addColumn<QStringList>("kept"); // the rows another attachment sees after it
    const QString otherWay = QStringLiteral(" is not run here: ");
    QTest::newRow("COMMIT") << "COMMIT" << "" << QStringList{"1"};
    QTest::newRow("commit work") << "commit work" << "" << QStringList{"1"};
    QTest::newRow("ROLLBACK") << "ROLLBACK" << "" << QStringList{};
    QTest::newRow("commented ROLLBACK WORK") << "/* undo */ ROLLBACK WORK" << ""
                                             << QStringList{};
    QTest::newRow("COMMIT RETAIN") << "COMMIT RETAIN" << "COMMIT RETAIN" + otherWay
                                   << QStringList{};
    QTest::newRow("SET TRANSACTION") << "SET TRANSACTION READ COMMITTED"
                                     << "SET TRANSACTION" + otherWay << QStringList{};
}

// Sent to the server, a typed COMMIT left the tool on a dead transaction
// handle: every statement, Commit and Rollback failed from then on. It acts
// on the tool's own transaction, or is refused, and the session goes on.
void TstSqlExprForm::typedTransactionStatements()
{
    QFETCH(QString, typed);
    QFETCH(QString, error);
    QFETCH(QStringList, kept);
    session.reset();
    session = std::make_unique<TestSession>(false);
    session->db.execute({QStringLiteral("CREATE TABLE T (N INTEGER)")});
    TSQLExprForm *form = newForm(QStringLiteral("INSERT INTO T VALUES (1)"));
    Command::run([form] { form->execbtnClick(); });
    form->setLines({typed});
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(prompts->errors().size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QVERIFY2(prompts->errors().first().startsWith(error), qPrintable(prompts->errors()[0]));
    QCOMPARE(session->ib()->InTransaction(), !error.isEmpty());
    QCOMPARE(session->db.column(QStringLiteral("SELECT N FROM T")), kept);

    form->setLines({QStringLiteral("INSERT INTO T VALUES (2)")});
    Command::run([form] { form->execbtnClick(); });
    Command::run([this] { session->ib()->Commit(); });
    QCOMPARE(prompts->errors().size(), error.isEmpty() ? 0 : 1);
    // A refused statement left the first row in the transaction.
    const QStringList committed = error.isEmpty() ? kept : QStringList{"1"};
    QCOMPARE(session->db.column(QStringLiteral("SELECT N FROM T ORDER BY N")),
             committed + QStringList{"2"});
}

void TstSqlExprForm::runSaysItRanAndWhatItChanged_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("said");
    QTest::newRow("DDL") << "CREATE EXCEPTION E1 'one'" << "Statement executed";
    QTest::newRow("insert") << "INSERT INTO T (N) VALUES (4)" << "Statement executed, 1 row changed";
    QTest::newRow("update") << "UPDATE T SET N = N + 1" << "Statement executed, 3 rows changed";
    QTest::newRow("delete of none") << "DELETE FROM T WHERE N > 9"
                                    << "Statement executed, 0 rows changed";
    QTest::newRow("refused") << "DELETE FROM NOWHERE" << "";
}

// The line beside the tool buttons tells of the last run only: a failure or
// an edit of the text takes it back.
void TstSqlExprForm::runSaysItRanAndWhatItChanged()
{
    QFETCH(QString, statement);
    QFETCH(QString, said);
    session->db.execute({QStringLiteral("CREATE TABLE T (N INTEGER)"),
                         QStringLiteral("INSERT INTO T VALUES (1)"),
                         QStringLiteral("INSERT INTO T VALUES (2)"),
                         QStringLiteral("INSERT INTO T VALUES (3)")});
    TSQLExprForm *form = newForm(QStringLiteral("UPDATE T SET N = N"));
    QCOMPARE(form->RunResult->accessibleName(), QStringLiteral("Run result"));
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(form->RunResult->text(), QStringLiteral("Statement executed, 3 rows changed"));
    form->setLines({statement});
    QCOMPARE(form->RunResult->text(), QString());
    Command::run([form] { form->execbtnClick(); });
    QCOMPARE(prompts->errors().size(), said.isEmpty() ? 1 : 0);
    QCOMPARE(form->RunResult->text(), said);
    QVERIFY(form->RunResult->x() > form->ExecSQLBtn->x());
}

void TstSqlExprForm::loadSplitsAnyLineEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QStringList abc{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << abc;
    QTest::newRow("LF") << QByteArray("a\nb\nc") << abc;
    QTest::newRow("CR") << QByteArray("a\rb\rc\r") << abc;
    QTest::newRow("mixed") << QByteArray("a\rb\nc") << abc;
    QTest::newRow("blank line")
        << QByteArray("a\r\n\r\nb")
        << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("UTF-8") << QByteArray("-- \xc3\xa9t\xc3\xa9\r\n")
                           << QStringList{QStringLiteral("-- été")};
}

void TstSqlExprForm::loadSplitsAnyLineEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString path = session->db.folder() + QStringLiteral("/in.DDL");
    writeBytes(path, bytes);
    TSQLExprForm *form = newForm(QStringLiteral("old text"));
    prompts->files.enqueue(path);
    Command::run([form] { form->MNLoadfromFileClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(form->lines(), lines);
}

void TstSqlExprForm::saveWritesCrLfAndReplaces()
{
    const QString path = session->db.folder() + QStringLiteral("/out.DDL");
    writeBytes(path, QByteArray(1000, 'x'));
    TSQLExprForm *form = newForm(QStringLiteral("CREATE TABLE A\n(X INTEGER)"));
    prompts->files.enqueue(path);
    Command::run([form] { form->SavetoFile1Click(); });
    QCOMPARE(fileBytes(path), QByteArray("CREATE TABLE A\r\n(X INTEGER)\r\n"));
    QCOMPARE(prompts->questions(), QStringList());

    // A name without extension gets .DDL.
    prompts->files.enqueue(session->db.folder() + QStringLiteral("/plain"));
    Command::run([form] { form->SavetoFile1Click(); });
    QCOMPARE(fileBytes(session->db.folder() + QStringLiteral("/plain.DDL")),
             QByteArray("CREATE TABLE A\r\n(X INTEGER)\r\n"));
}

void TstSqlExprForm::cancelledFileDialogsChangeNothing()
{
    TSQLExprForm *form = newForm(QStringLiteral("keep"));
    Command::run([form] { form->MNLoadfromFileClick(); });
    Command::run([form] { form->SavetoFile1Click(); });
    QCOMPARE(form->ExecSql->toPlainText(), QStringLiteral("keep"));
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(prompts->asked.size(), 2);
}

void TstSqlExprForm::caretPanelText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("panel");
    const QString three = QStringLiteral("ab\ncdef\nghijkl");
    QTest::newRow("very start") << three << 0 << 0 << QStringLiteral(" 1|0");
    QTest::newRow("third line, four in") << three << 12 << 12 << QStringLiteral(" 3|4");
    QTest::newRow("end of first line") << three << 2 << 2 << QStringLiteral(" 1|2");
    // Line from the selection start, column from the caret's line start.
    QTest::newRow("selection over lines") << three << 1 << 9 << QStringLiteral(" 1|-9");
    QTest::newRow("empty") << QString() << 0 << 0 << QStringLiteral(" 1|0");
}

void TstSqlExprForm::caretPanelText()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, caret);
    QFETCH(QString, panel);
    QCOMPARE(CaretPanel::text(text, start, caret), panel);
}

void TstSqlExprForm::caretPanelFollowsKeysAndFocus()
{
    TSQLExprForm *form = newForm(QStringLiteral("ab\ncdef\nghij"));
    form->ExecSql->setFocus();
    QTest::keyClick(form->ExecSql, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(shell->caretPanel, QStringLiteral(" 1|0"));
    QTest::keyClick(form->ExecSql, Qt::Key_Down);
    QTest::keyClick(form->ExecSql, Qt::Key_Down);
    QTest::keyClick(form->ExecSql, Qt::Key_End);
    QCOMPARE(shell->caretPanel, QStringLiteral(" 3|4"));
    // Ctrl+A is a window command here, not select-all.
    QTest::keyClick(form->ExecSql, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!form->ExecSql->textCursor().hasSelection());
    QTest::keyClick(form->ExecSql, Qt::Key_Tab);
    QCOMPARE(form->lines().last(), QStringLiteral("ghij\t"));
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form->ExecSql, &out);
    QCOMPARE(shell->caretPanel, QStringLiteral(" "));
}

void TstSqlExprForm::openInDdlWindowHoldsText()
{
    newForm(QStringLiteral("first"));
    TSQLExprForm *form = newForm(QStringLiteral("SET GENERATOR G TO 1\r\nline 2\rline 3"));
    QCOMPARE(shell->area.subWindowList().size(), 2);
    QCOMPARE(shell->area.activeSubWindow()->widget(), form);
    QCOMPARE(form->lines(), (QStringList{QStringLiteral("SET GENERATOR G TO 1"),
                                         QStringLiteral("line 2"), QStringLiteral("line 3")}));
}

void TstSqlExprForm::openAsResultSetRunsEditorText()
{
    TSQLExprForm *form = newForm(QStringLiteral("SELECT RDB$RELATION_ID\nFROM RDB$DATABASE"));
    Command::run([form] { form->MNOpenAsResultClick(); });
    QCOMPARE(prompts->errors(), QStringList());
    TOutputForm *output = shell->last<TOutputForm>();
    QVERIFY(output);
    QCOMPARE(output->OutSQL->rowCount(), 1);
    QCOMPARE(output->StmStrings->toPlainText(),
             QStringLiteral("SELECT RDB$RELATION_ID\nFROM RDB$DATABASE\n"));
    QVERIFY(session->sent.isEmpty());
}

QUORVEL_TEST_MAIN(TstSqlExprForm)
#include "tst_sqlexprform.moc"
