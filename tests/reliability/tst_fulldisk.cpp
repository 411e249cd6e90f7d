#include "app/SettingsStore.h"
#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "support/DiskFullLimit.h"
#include "support/ReliabilityFiles.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "uikit/TableNavigator.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"
#include "workbench/TSQLExprForm.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QTemporaryDir>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What a failed write may leave beside the file: nothing.
QStringList strayFiles(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

} // namespace

// Every file the program writes, on a disk that fills up while it writes:
// the old file stays whole and the user is told; the new text is not lost.
class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void ddlSaveKeepsOldFile();
    void exitKeepsOldHistory();
    void settingsKeepOldFile();
    void repositoryKeepsOldFileAndEntry();
};

void TestFullDisk::ddlSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OLD.DDL");
    writeFile(path, "DROP TABLE OLD\r\n");
    TestShell shell;
    ScriptedPrompts prompts;
    TSQLExprForm *form = TSQLExprForm::open();
    const QStringList text{QString(200, u'N'), QStringLiteral("SECOND LINE")};
    form->setLines(text);
    {
        const DiskFullLimit full(64);
        prompts.files.enqueue(path);
        Command::run([form] { form->SavetoFile1Click(); });
    }
    QCOMPARE(prompts.errors().size(), 1);
    const QString shown = prompts.errors()[0];
    QVERIFY2(shown.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
             qPrintable(shown));
    QCOMPARE(ReliabilityFiles::readAll(path), QByteArray("DROP TABLE OLD\r\n"));
    QCOMPARE(strayFiles(dir.path(), {"OLD.DDL"}), QStringList());
    QCOMPARE(form->lines(), text);
}

void TestFullDisk::exitKeepsOldHistory()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    const QString path = dir.filePath("connect.hst");
    writeFile(path, "/db/one.fdb\r\n/db/two.fdb\r\n");
    TMainForm frame(session.dm, {}, path);
    frame.DBEntryDlg->appendToHistory("/a/new/database/with/a/long/path.fdb");
    {
        const DiskFullLimit full(16);
        QVERIFY(!frame.close());
    }
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY2(prompts.errors()[0].startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(path)),
             qPrintable(prompts.errors()[0]));
    QCOMPARE(ReliabilityFiles::readAll(path), QByteArray("/db/one.fdb\r\n/db/two.fdb\r\n"));
    QCOMPARE(strayFiles(dir.path(), {"connect.hst"}), QStringList());
}

void TestFullDisk::settingsKeepOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Quorvel.conf");
    ProgramSettings &values = ProgramSettings::instance();
    values.AutoCommit = true;
    values.RepositoryPath = QStringLiteral("/old/repository");
    {
        QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(SettingsStore::write(settings), QString());
    }
    const QByteArray before = ReliabilityFiles::readAll(path);
    QVERIFY(before.contains("/old/repository"));
    values.AutoCommit = false;
    values.RepositoryPath = QString(300, u'r');
    QString failure;
    {
        QSettings settings(path, QSettings::IniFormat);
        const DiskFullLimit full(before.size() + 8);
        failure = SettingsStore::write(settings);
    }
    QCOMPARE(failure, QStringLiteral("Failed to set data for 'IB_AUTOCOMMIT'"));
    QCOMPARE(ReliabilityFiles::readAll(path), before);
    QCOMPARE(strayFiles(dir.path(), {"Quorvel.conf"}), QStringList());
}

void TestFullDisk::repositoryKeepsOldFileAndEntry()
{
    TestSession session;
    RepositoryStore::createTable(session.db.folder());
    TestShell shell;
    ScriptedPrompts prompts;
    TObjRepos *form = TObjRepos::open();
    form->AddEntry(QStringLiteral("FIRST"), {QStringLiteral("SELECT 1")});
    const QString file = QDir(session.db.folder()).filePath(RepositoryStore::fileName());
    const QByteArray before = ReliabilityFiles::readAll(file);
    const QStringList big{QString(50000, u'x')};
    {
        const DiskFullLimit full(before.size());
        Command::run([form, &big] { form->AddEntry(QStringLiteral("BIG"), big); });
    }
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY2(prompts.errors()[0].endsWith(
                 "; the entry was not stored and stays in the window to be posted again."),
             qPrintable(prompts.errors()[0]));
    QCOMPARE(ReliabilityFiles::readAll(file), before);
    QCOMPARE(form->DS->state(), TableNavigator::State::Insert);
    QCOMPARE(form->DS->value(RepositoryStore::nameField()).toString(), QStringLiteral("BIG"));
    // With room again, posting stores what was kept.
    form->DS->post();
    QCOMPARE(form->SrcTable->rowCount(), 2);
    form->close();
    QSqlDatabase::database(TDMSys::devSrcName(), false).close();
}

QUORVEL_TEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
