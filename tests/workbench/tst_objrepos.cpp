#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"
#include "controls/TSplitBar.h"
#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "support/Failures.h"
#include "support/ForeignRepository.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/TableNavigator.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"
#include "workbench/TOutputForm.h"
#include "workbench/TSelObjSourceForm.h"
#include "workbench/TSQLExprForm.h"
#include "workbench/TSQLSourceForm.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

namespace {

// The repository file as another program would read it.
QStringList storedRows(const QString &folder)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("peek"));
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("DVSRC.DB")));
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT \"OBJECT NAME\", \"OBJECT SOURCE\" FROM DVSRC "
                                           "ORDER BY 1"),
                            db);
            while (query.next())
                rows << query.value(0).toString() + u'=' + query.value(1).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return rows;
}

// Another copy of the program: a connection of its own to the same file.
class OtherCopy
{
public:
    explicit OtherCopy(const QString &folder)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("DVSRC.DB")));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
        db.open();
    }
    ~OtherCopy()
    {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }
    QString exec(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(kName, false));
        return query.exec(statement) ? QString() : query.lastError().text();
    }

private:
    static inline const QString kName = QStringLiteral("other copy");
};

} // namespace

class TstObjRepos : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowLayoutAndMenu();
    void addStoresNamedEntry();
    void addRefusals_data();
    void addRefusals();
    void cancelledNameStoresNothing();
    void missingFileIsCreatedOnFirstUse();
    void foreignFileIsRefusedUntouched_data();
    void foreignFileIsRefusedUntouched();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void leavingEditedRowWritesIt();
    void failedPostKeepsRowInEdit();
    void readOnlyRefusesChanges();
    void runAndOpenCurrentEntry();
    void addThenSelectRoundTrip();
    void cancelledPickerIsSilentAbort();
    void previewAnswers_data();
    void previewAnswers();
    void shownRepositoryLeavesFileUnlocked();
    void lockedFileKeepsEntryForAnotherPost();
    void lockedFileIsNamedAtOpen();

private:
    void add(const QString &name, const QStringList &lines);
    QString folder() const { return session->db.folder(); }

    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestShell> shell;
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TstObjRepos::init()
{
    session = std::make_unique<TestSession>();
    RepositoryStore::createTable(folder());
    shell = std::make_unique<TestShell>();
    prompts = std::make_unique<ScriptedPrompts>();
}

void TstObjRepos::cleanup()
{
    prompts.reset();
    shell.reset();
    QSqlDatabase::database(TDMSys::devSrcName(), false).close();
    session.reset();
}

void TstObjRepos::add(const QString &name, const QStringList &lines)
{
    prompts->inputs.enqueue(name);
    Command::run([&] { AddToRepository(lines); });
}

void TstObjRepos::windowLayoutAndMenu()
{
    TObjRepos *form = TObjRepos::open();
    QCOMPARE(form->windowTitle(), QStringLiteral("Objects repository"));
    QCOMPARE(form->ExecSQLBtn->hint(), QStringLiteral("Run DDL statement"));
    QCOMPARE(form->DDLMenu->title(), QStringLiteral("&Repository"));
    QCOMPARE(form->DDLMenu->menuAction()->statusTip(), QStringLiteral("DDL statements menu"));
    const QList<QAction *> items = form->DDLMenu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QStringLiteral("&Open as DDL "));
    QCOMPARE(items[0]->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(items[0]->statusTip(), QStringLiteral("Open in DDL window"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->text(), QStringLiteral("Open As &Result Set"));
    QCOMPARE(items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCOMPARE(items[2]->statusTip(), QStringLiteral("Open as SQL expression with result set"));
    const int name = form->SrcTable->fieldIndex(QStringLiteral("OBJECT NAME"));
    const int source = form->SrcTable->fieldIndex(QStringLiteral("OBJECT SOURCE"));
    QCOMPARE(form->SrcTable->headerData(name, Qt::Horizontal).toString(),
             QStringLiteral("Object Name"));
    QVERIFY(!form->DBGrid1->isColumnHidden(name));
    QVERIFY(form->DBGrid1->isColumnHidden(source));
    QCOMPARE(form->GridPanel->width(), 241);
    QCOMPARE(form->SplitBar1->parentWidget(), form->GridPanel);
    QCOMPARE(form->DS->state(), TableNavigator::State::Browse);
}

void TstObjRepos::addStoresNamedEntry()
{
    add(QStringLiteral("b entry"), {QStringLiteral("SELECT 1"), QStringLiteral("FROM X")});
    add(QStringLiteral("a entry"), {QStringLiteral("DROP TABLE Y")});
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(prompts->asked.first().caption, QStringLiteral("Name of statement"));
    QCOMPARE(prompts->asked.first().text, QStringLiteral("Input statement name"));
    QCOMPARE(storedRows(folder()),
             (QStringList{QStringLiteral("a entry=DROP TABLE Y\r\n"),
                          QStringLiteral("b entry=SELECT 1\r\nFROM X\r\n")}));
    // Each add opens its own window, whose current row is the new entry.
    QCOMPARE(shell->area.subWindowList().size(), 2);
    TObjRepos *form = shell->last<TObjRepos>();
    QCOMPARE(form->DS->currentRow(), 0);
    QCOMPARE(form->DS->value(QStringLiteral("OBJECT NAME")).toString(), QStringLiteral("a entry"));
    QCOMPARE(form->DBMemo1->toPlainText(), QStringLiteral("DROP TABLE Y\n"));
    QCOMPARE(form->DS->state(), TableNavigator::State::Browse);
}

void TstObjRepos::addRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("stored");
    const QString thirty = QStringLiteral("N23456789012345678901234567890");
    QTest::newRow("duplicate")
        << QStringLiteral("first")
        << QStringLiteral("Key violation: an entry named 'first' already exists.")
        << QStringList{QStringLiteral("first=old\r\n")};
    QTest::newRow("empty") << QString()
                           << QStringLiteral("Field 'OBJECT NAME' must have a value.")
                           << QStringList{QStringLiteral("first=old\r\n")};
    QTest::newRow("31 characters cut to 30")
        << thirty + u'X' << QString()
        << QStringList{thirty + QStringLiteral("=new\r\n"), QStringLiteral("first=old\r\n")};
    QTest::newRow("case and blanks kept")
        << QStringLiteral(" First ") << QString()
        << QStringList{QStringLiteral(" First =new\r\n"), QStringLiteral("first=old\r\n")};
}

void TstObjRepos::addRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, error);
    QFETCH(QStringList, stored);
    add(QStringLiteral("first"), {QStringLiteral("old")});
    add(name, {QStringLiteral("new")});
    QCOMPARE(prompts->errors(), error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(storedRows(folder()), stored);
    TObjRepos *form = shell->last<TObjRepos>();
    QCOMPARE(shell->area.subWindowList().size(), 2);
    QCOMPARE(form->DS->state(), TableNavigator::State::Browse);
}

void TstObjRepos::cancelledNameStoresNothing()
{
    prompts->inputs.enqueue(std::nullopt);
    Command::run([] { AddToRepository({QStringLiteral("text")}); });
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(shell->area.subWindowList().size(), 1);
    QVERIFY(shell->last<TObjRepos>());
    QCOMPARE(storedRows(folder()), QStringList());
}

// A fresh install has no repository file: the first entry stored makes it.
void TstObjRepos::missingFileIsCreatedOnFirstUse()
{
    QVERIFY(QFile::remove(QDir(folder()).filePath(QStringLiteral("DVSRC.DB"))));
    add(QStringLiteral("x"), {QStringLiteral("text")});
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(storedRows(folder()), QStringList{QStringLiteral("x=text\r\n")});
    QCOMPARE(shell->last<TObjRepos>()->SrcTable->rowCount(), 1);
}

// Another program's file, or none at all, is named as such when the window
// opens; nothing is written into it.
void TstObjRepos::foreignFileIsRefusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : ForeignRepository::kinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

void TstObjRepos::foreignFileIsRefusedUntouched()
{
    QFETCH(QString, kind);
    const QString path = QDir(folder()).filePath(QStringLiteral("DVSRC.DB"));
    QVERIFY(QFile::remove(path));
    ForeignRepository::make(path, kind);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    add(QStringLiteral("x"), {QStringLiteral("text")});
    const QStringList errors = prompts->errors();
    QCOMPARE(errors.size(), 2);
    // A damaged repository is named so, with SQLite's own finding.
    const QString refusal = kind == QLatin1String("damaged")
                                ? path + QStringLiteral(" is damaged: ")
                                : path + QStringLiteral(" is not a repository file.");
    QVERIFY2(errors.first().startsWith(refusal), qPrintable(errors.first()));
    QCOMPARE(errors.last(), QStringLiteral("Cannot perform this operation on a closed dataset."));
    QCOMPARE(shell->last<TObjRepos>()->SrcTable->rowCount(), 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TstObjRepos::deleteAsksFirst_data()
{
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("OK") << Prompts::Answer::Ok << QStringList{QStringLiteral("b=2\r\n")};
    QTest::newRow("Cancel") << Prompts::Answer::Cancel
                            << QStringList{QStringLiteral("a=1\r\n"), QStringLiteral("b=2\r\n")};
}

void TstObjRepos::deleteAsksFirst()
{
    QFETCH(Prompts::Answer, answer);
    QFETCH(QStringList, stored);
    add(QStringLiteral("b"), {QStringLiteral("2")});
    add(QStringLiteral("a"), {QStringLiteral("1")});
    TObjRepos *form = shell->last<TObjRepos>();
    prompts->answers.enqueue(answer);
    form->DBNavigator1->button(TDBNavigator::Button::Delete)->click();
    QCOMPARE(prompts->questions(), QStringList{QStringLiteral("Delete record?")});
    QCOMPARE(prompts->asked.last().caption, QStringLiteral("OkCancel"));
    QCOMPARE(storedRows(folder()), stored);
    QCOMPARE(form->SrcTable->rowCount(), stored.size());
    QCOMPARE(form->DS->currentRow(), 0);
}

void TstObjRepos::leavingEditedRowWritesIt()
{
    add(QStringLiteral("a"), {QStringLiteral("1")});
    add(QStringLiteral("b"), {QStringLiteral("2")});
    TObjRepos *form = shell->last<TObjRepos>();
    form->DS->first();
    // Typing in the memo puts the row into edit mode; moving on writes it.
    form->DBMemo1->setPlainText(QStringLiteral("one\ntwo"));
    QCOMPARE(form->DS->state(), TableNavigator::State::Edit);
    form->DBGrid1->setCurrentIndex(form->SrcTable->index(1, 0));
    QCOMPARE(form->DS->state(), TableNavigator::State::Browse);
    QCOMPARE(form->DS->currentRow(), 1);
    QCOMPARE(form->DBMemo1->toPlainText(), QStringLiteral("2\n"));
    QCOMPARE(storedRows(folder()),
             (QStringList{QStringLiteral("a=one\r\ntwo"), QStringLiteral("b=2\r\n")}));
}

void TstObjRepos::failedPostKeepsRowInEdit()
{
    add(QStringLiteral("a"), {QStringLiteral("1")});
    add(QStringLiteral("b"), {QStringLiteral("2")});
    TObjRepos *form = shell->last<TObjRepos>();
    form->DS->last();
    const QModelIndex name = form->SrcTable->index(1, 0);
    QVERIFY(form->SrcTable->setData(name, QStringLiteral("a")));
    form->DBGrid1->setCurrentIndex(form->SrcTable->index(0, 0));
    QCOMPARE(prompts->errors(),
             QStringList{QStringLiteral("Key violation: an entry named 'a' already exists.")});
    QCOMPARE(form->DS->state(), TableNavigator::State::Edit);
    QCOMPARE(form->DS->currentRow(), 1);
    QVERIFY(!failureOf<DatabaseError>([&] { form->DS->post(); }).isEmpty());
    form->DBNavigator1->button(TDBNavigator::Button::Cancel)->click();
    QCOMPARE(form->DS->state(), TableNavigator::State::Browse);
    QCOMPARE(form->DS->value(QStringLiteral("OBJECT NAME")).toString(), QStringLiteral("b"));
    QCOMPARE(storedRows(folder()), (QStringList{QStringLiteral("a=1\r\n"),
                                               QStringLiteral("b=2\r\n")}));
}

void TstObjRepos::readOnlyRefusesChanges()
{
    add(QStringLiteral("a"), {QStringLiteral("1")});
    TSelObjSourceForm picker;
    QCOMPARE(picker.windowTitle(), QStringLiteral("Select Object Source"));
    QCOMPARE(picker.DataGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(picker.DBMemo1->isReadOnly());
    using Change = void (TableNavigator::*)();
    for (Change command : {&TableNavigator::insert, &TableNavigator::remove,
                            &TableNavigator::edit}) {
        TableNavigator *source = picker.ReposSource;
        QCOMPARE(failureOf<DatabaseError>([source, command] { (source->*command)(); }),
                 QStringLiteral("Cannot modify a read-only dataset"));
    }
    QCOMPARE(prompts->questions(), QStringList());
}

void TstObjRepos::runAndOpenCurrentEntry()
{
    add(QStringLiteral("make"), {QStringLiteral("CREATE TABLE T"), QStringLiteral("(A INTEGER)")});
    TObjRepos *form = shell->last<TObjRepos>();
    form->ExecSQLBtn->click();
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(session->sent, QByteArrayList{"CREATE TABLE T\r\n(A INTEGER)\r\n"});

    form->DS->setValue(QStringLiteral("OBJECT SOURCE"), QStringLiteral("SELECT A FROM T"));
    form->DDLMenu->actions()[2]->trigger();
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(shell->last<TOutputForm>()->StmStrings->toPlainText(),
             QStringLiteral("SELECT A FROM T\n"));

    form->DDLMenu->actions()[0]->trigger();
    QCOMPARE(shell->last<TSQLExprForm>()->lines(), QStringList{QStringLiteral("SELECT A FROM T")});
}

void TstObjRepos::addThenSelectRoundTrip()
{
    const QStringList lines{QStringLiteral("CREATE VIEW V AS"), QString(),
                            QStringLiteral("  SELECT 1 FROM RDB$DATABASE")};
    add(QStringLiteral("z"), {QStringLiteral("other")});
    add(QStringLiteral("view"), lines);
    ScopedFormRunner forms([](QDialog *dialog) {
        auto *picker = qobject_cast<TSelObjSourceForm *>(dialog);
        if (!picker)
            return int(QDialog::Rejected);
        picker->DataGrid->setCurrentIndex(picker->ReposTable->index(0, 0));
        if (picker->DBMemo1->toPlainText() != QStringLiteral("CREATE VIEW V AS\n\n"
                                                             "  SELECT 1 FROM RDB$DATABASE\n"))
            return int(QDialog::Rejected);
        emit picker->DataGrid->doubleClicked(picker->DataGrid->currentIndex());
        return picker->result();
    });
    QStringList chosen{QStringLiteral("before")};
    SelectFromRepository(chosen);
    QCOMPARE(chosen, lines);
}

void TstObjRepos::cancelledPickerIsSilentAbort()
{
    add(QStringLiteral("a"), {QStringLiteral("1")});
    ScopedFormRunner forms([](QDialog *dialog) {
        qobject_cast<TSelObjSourceForm *>(dialog)->CancelBtn->click();
        return dialog->result();
    });
    QStringList lines{QStringLiteral("unchanged")};
    QVERIFY(threw<SilentAbort>([&] { SelectFromRepository(lines); }));
    QCOMPARE(lines, QStringList{QStringLiteral("unchanged")});

    // From the DDL window: nothing changes and nothing is said.
    OpenInDDLWindow(QStringLiteral("keep"));
    TSQLExprForm *editor = shell->last<TSQLExprForm>();
    editor->LoadFromReposBtn->click();
    QCOMPARE(editor->lines(), QStringList{QStringLiteral("keep")});
    QCOMPARE(prompts->errors(), QStringList());
}

void TstObjRepos::previewAnswers_data()
{
    QTest::addColumn<bool>("addFirst");
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << false << true;
    QTest::newRow("Cancel") << false << false;
    QTest::newRow("add, then Cancel") << true << false;
}

void TstObjRepos::previewAnswers()
{
    QFETCH(bool, addFirst);
    QFETCH(bool, ok);
    prompts->inputs.enqueue(QStringLiteral("kept"));
    QString shown;
    ScopedFormRunner forms([&](QDialog *dialog) {
        auto *preview = qobject_cast<TSQLSourceForm *>(dialog);
        shown = preview->windowTitle() + u'|' + preview->Memo1->toPlainText() + u'|'
                + preview->AddBtn->text() + u'|' + preview->AddBtn->toolTip();
        if (addFirst)
            preview->AddBtn->click();
        (ok ? preview->BitBtn1 : preview->BitBtn2)->click();
        return dialog->result();
    });
    const QStringList lines{QStringLiteral("ALTER TRIGGER X"), QStringLiteral("ACTIVE")};
    QCOMPARE(threw<SilentAbort>([&] { ShowSQLSource(lines); }), !ok);
    QCOMPARE(shown, QStringLiteral("SQL Source|ALTER TRIGGER X\nACTIVE|&Add to Repository|"
                                   "Add to repository"));
    QCOMPARE(storedRows(folder()),
             addFirst ? QStringList{QStringLiteral("kept=ALTER TRIGGER X\r\nACTIVE\r\n")}
                      : QStringList());
}

// A window showing more rows than one fetch brings must not keep the file
// locked against another copy of the program that stores an entry.
void TstObjRepos::shownRepositoryLeavesFileUnlocked()
{
    OtherCopy other(folder());
    QCOMPARE(other.exec(QStringLiteral("BEGIN")), QString());
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(other.exec(QStringLiteral("INSERT INTO DVSRC VALUES ('E%1', 'SELECT %1')").arg(i)),
                 QString());
    }
    QCOMPARE(other.exec(QStringLiteral("COMMIT")), QString());
    TObjRepos *form = TObjRepos::open();
    QCOMPARE(other.exec(QStringLiteral("INSERT INTO DVSRC VALUES ('NEW', 'SELECT 0')")), QString());
    QCOMPARE(form->SrcTable->rowCount(), 300);
    QCOMPARE(prompts->errors(), QStringList());
}

void TstObjRepos::lockedFileKeepsEntryForAnotherPost()
{
    OtherCopy other(folder());
    QCOMPARE(other.exec(QStringLiteral("BEGIN IMMEDIATE")), QString());
    add(QStringLiteral("held"), {QStringLiteral("SELECT 1")});
    const QString file = QDir::toNativeSeparators(QDir(folder()).filePath("DVSRC.DB"));
    QCOMPARE(prompts->errors(),
             QStringList{QStringLiteral("The repository file %1 is locked by another program; "
                                        "the entry was not stored and stays in the window to be "
                                        "posted again.")
                             .arg(file)});
    TObjRepos *form = shell->last<TObjRepos>();
    QCOMPARE(form->DS->state(), TableNavigator::State::Insert);
    QCOMPARE(form->DBMemo1->toPlainText(), QStringLiteral("SELECT 1\n"));
    QCOMPARE(other.exec(QStringLiteral("COMMIT")), QString());
    form->DS->post();
    QCOMPARE(storedRows(folder()), QStringList{QStringLiteral("held=SELECT 1\r\n")});
}

void TstObjRepos::lockedFileIsNamedAtOpen()
{
    OtherCopy other(folder());
    QCOMPARE(other.exec(QStringLiteral("BEGIN EXCLUSIVE")), QString());
    TObjRepos::open();
    const QString file = QDir::toNativeSeparators(QDir(folder()).filePath("DVSRC.DB"));
    QCOMPARE(prompts->errors().value(0),
             QStringLiteral("The repository file %1 is locked by another program.").arg(file));
    QCOMPARE(other.exec(QStringLiteral("ROLLBACK")), QString());
}

QUORVEL_TEST_MAIN(TstObjRepos)
#include "tst_objrepos.moc"
