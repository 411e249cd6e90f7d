#include "core/ProgramSettings.h"
#include "support/ForeignRepository.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TORepOptDlg.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

// The columns of DVSRC's table as SQLite describes them: name, type, not null, key.
QStringList tableColumns(const QString &file)
{
    QStringList columns;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("peek"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("PRAGMA table_info(DVSRC)"), db);
            while (query.next()) {
                columns << QStringLiteral("%1 %2 %3 %4")
                               .arg(query.value(1).toString(), query.value(2).toString(),
                                    query.value(3).toString(), query.value(5).toString());
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return columns;
}

} // namespace

class TstRepOptDlg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dialogShowsStoredPath();
    void existingTableAsksToRestart();
    void foreignFileIsRefused_data();
    void foreignFileIsRefused();
    void newDirectoriesAndTableAreCreated();
    void cancelKeepsDialogOpen_data();
    void cancelKeepsDialogOpen();
    void createFailureShowsError();
    void menuCommandShowsSharedDialog();

private:
    // Types the directory, presses OK with the given answers to the
    // questions, and returns the dialog's result.
    int pressOk(const QString &dir, QList<Prompts::Answer> answers);
    QString base() const { return m_dir->path(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TORepOptDlg> dialog;
    QStringList messages;
    ModalForms::Runner previousRunner;
};

void TstRepOptDlg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ProgramSettings::instance().RepositoryPath = QStringLiteral("/old/place");
    prompts = std::make_unique<ScriptedPrompts>();
    dialog = std::make_unique<TORepOptDlg>();
    messages.clear();
    previousRunner = ModalForms::setRunner([this](QDialog *box) {
        messages << static_cast<QMessageBox *>(box)->text();
        return int(QMessageBox::Ok);
    });
}

void TstRepOptDlg::cleanup()
{
    ModalForms::setRunner(previousRunner);
    dialog.reset();
    prompts.reset();
    m_dir.reset();
}

int TstRepOptDlg::pressOk(const QString &dir, QList<Prompts::Answer> answers)
{
    for (Prompts::Answer answer : answers)
        prompts->answers.enqueue(answer);
    dialog->setResult(-1);
    dialog->DirName->setText(dir);
    dialog->OKBtn->click();
    return dialog->result();
}

void TstRepOptDlg::dialogShowsStoredPath()
{
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Create/register Object repository table"));
    QCOMPARE(dialog->Label1->text(), QStringLiteral("&Directory of object repository table"));
    QCOMPARE(dialog->Label1->buddy(), dialog->DirName);
    QCOMPARE(dialog->DirName->text(), QStringLiteral("/old/place"));
    QVERIFY(dialog->OKBtn->isDefault());
    QCOMPARE(dialog->CancelBtn->text(), QStringLiteral("Cancel"));
}

void TstRepOptDlg::existingTableAsksToRestart()
{
    RepositoryStore::createTable(base());
    QCOMPARE(pressOk(base(), {}), int(QDialog::Accepted));
    QCOMPARE(prompts->questions(), QStringList());
    QCOMPARE(messages, QStringList{QStringLiteral("Restart program to keep changes")});
    QCOMPARE(ProgramSettings::instance().RepositoryPath, base() + u'/');
}

// A DVSRC.DB that is not the repository is not taken: the dialog stays
// open on it, the setting and the file stay as they were.
void TstRepOptDlg::foreignFileIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : ForeignRepository::kinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

void TstRepOptDlg::foreignFileIsRefused()
{
    QFETCH(QString, kind);
    const QString path = base() + QStringLiteral("/DVSRC.DB");
    ForeignRepository::make(path, kind);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QCOMPARE(pressOk(base(), {}), -1);
    const QString refusal = kind == QLatin1String("damaged")
                                ? path + QStringLiteral(" is damaged: ")
                                : path + QStringLiteral(" is not a repository file.");
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY2(prompts->errors().first().startsWith(refusal), qPrintable(prompts->errors()[0]));
    QCOMPARE(messages, QStringList());
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QStringLiteral("/old/place"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TstRepOptDlg::newDirectoriesAndTableAreCreated()
{
    const QString dir = base() + QStringLiteral("/one/two");
    QCOMPARE(pressOk(dir, {Prompts::Answer::Ok, Prompts::Answer::Ok}), int(QDialog::Accepted));
    QCOMPARE(prompts->questions(),
             (QStringList{QStringLiteral("Directory '%1/' not exists. Create it?").arg(dir),
                          QStringLiteral(
                              "Table 'DVSRC.DB' in directory not exists. Create It?")}));
    QCOMPARE(prompts->asked.first().caption, QStringLiteral("OkCancel"));
    QCOMPARE(messages, QStringList{QStringLiteral("Table created")});
    QCOMPARE(ProgramSettings::instance().RepositoryPath, dir);
    QCOMPARE(tableColumns(dir + QStringLiteral("/DVSRC.DB")),
             (QStringList{QStringLiteral("OBJECT NAME VARCHAR(30) 1 1"),
                          QStringLiteral("OBJECT SOURCE TEXT 0 0")}));
}

void TstRepOptDlg::cancelKeepsDialogOpen_data()
{
    QTest::addColumn<QList<Prompts::Answer>>("answers");
    QTest::addColumn<bool>("directoryMade");
    QTest::newRow("directory question") << QList<Prompts::Answer>{Prompts::Answer::Cancel}
                                        << false;
    QTest::newRow("table question")
        << QList<Prompts::Answer>{Prompts::Answer::Ok, Prompts::Answer::Cancel} << true;
}

void TstRepOptDlg::cancelKeepsDialogOpen()
{
    QFETCH(QList<Prompts::Answer>, answers);
    QFETCH(bool, directoryMade);
    const QString dir = base() + QStringLiteral("/new");
    QCOMPARE(pressOk(dir, answers), -1);
    QCOMPARE(prompts->questions().size(), answers.size());
    QCOMPARE(prompts->errors(), QStringList());
    QCOMPARE(messages, QStringList());
    QCOMPARE(dialog->DirName->text(), dir);
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QStringLiteral("/old/place"));
    QCOMPARE(QFileInfo(dir).isDir(), directoryMade);
    QVERIFY(!QFile::exists(dir + QStringLiteral("/DVSRC.DB")));
}

void TstRepOptDlg::createFailureShowsError()
{
    // A file where the directory should be: nothing can be created in it.
    const QString blocked = base() + QStringLiteral("/file");
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(pressOk(blocked, {Prompts::Answer::Ok, Prompts::Answer::Ok}), -1);
    QCOMPARE(prompts->errors().size(), 1);
    QVERIFY(prompts->errors().first().endsWith(u'.'));
    QCOMPARE(messages, QStringList());
    QCOMPARE(ProgramSettings::instance().RepositoryPath, QStringLiteral("/old/place"));

    QCOMPARE(pressOk(QString(), {}), -1);
    QCOMPARE(prompts->errors().last(),
             QStringLiteral("Directory of object repository table is not given."));
}

void TstRepOptDlg::menuCommandShowsSharedDialog()
{
    QDialog *shown = nullptr;
    ModalForms::setRunner([&](QDialog *form) {
        shown = form;
        return int(QDialog::Rejected);
    });
    ShowRepositorySettings();
    QCOMPARE(shown, &TORepOptDlg::shared());
    // Typed text survives a Cancel until the next showing.
    TORepOptDlg::shared().DirName->setText(QStringLiteral("typed"));
    ShowRepositorySettings();
    QCOMPARE(TORepOptDlg::shared().DirName->text(), QStringLiteral("typed"));
}

QUORVEL_TEST_MAIN(TstRepOptDlg)
#include "tst_repoptdlg.moc"
