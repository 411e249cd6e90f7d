#include "app/ConnectionHistory.h"
#include "app/SettingsStore.h"
#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "support/Failures.h"
#include "support/ReliabilityFiles.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestShell.h"
#include "uikit/Command.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"
#include "workbench/TSQLExprForm.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using ReliabilityFiles::AsOrdinaryUser;
using ReliabilityFiles::Kind;

Q_DECLARE_METATYPE(ReliabilityFiles::Kind)

namespace {


// A folder an ordinary user may enter, for the files of one case.
class CaseFolder
{
public:
    CaseFolder() : m_dir((ReliabilityFiles::tempRoot() + "/qvh-XXXXXX"))
    {
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                | QFileDevice::ExeOther);
    }
    QString file(const QString &name) const { return m_dir.filePath("case/" + name); }
    QString folder() const { return m_dir.filePath("case"); }

private:
    QTemporaryDir m_dir;
};

void addKindRows()
{
    QTest::addColumn<Kind>("kind");
    for (Kind kind : ReliabilityFiles::allKinds())
        QTest::newRow(ReliabilityFiles::name(kind)) << kind;
}

} // namespace

// Files that the program reads and writes, as disks, other programs and
// crashes leave them: every case ends in the described result or a clear
// error, and never in a crash or a lost or half-written file.
class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void history_data() { addKindRows(); }
    void history();
    void settings_data() { addKindRows(); }
    void settings();
    void ddlFile_data() { addKindRows(); }
    void ddlFile();
    void repositoryFile_data() { addKindRows(); }
    void repositoryFile();
};

// Start reads the history, exit writes it back: no entry may go missing.
void TestHostileFiles::history()
{
    QFETCH(Kind, kind);
    CaseFolder dir;
    const QString path = dir.file("connect.hst");
    const QByteArray before = ReliabilityFiles::content(kind, "/db/p");
    ReliabilityFiles::make(path, kind, before);

    QString failure;
    QStringList entries;
    {
        const AsOrdinaryUser user(ReliabilityFiles::needsOrdinaryUser(kind));
        failure = failureOf<AppError>([&] {
            entries = ConnectionHistory::load(path);
            ConnectionHistory::save(path, ConnectionHistory::reorderedForExit(entries, "/db/p2"));
        });
    }
    const QByteArray after = ReliabilityFiles::readAll(path);
    if (!failure.isEmpty()) {
        QVERIFY2(failure.contains(path), qPrintable(failure));
        QCOMPARE(after, before);
        return;
    }
    QVERIFY2(kind != Kind::Unreadable, "an unreadable history was replaced without a word");
    const QStringList reread = ConnectionHistory::load(path);
    QCOMPARE(reread.size(), entries.size());
    for (const QByteArray &wanted : {QByteArray("/db/p1"), QByteArray("/db/p3")}) {
        if (before.contains(wanted)) {
            QVERIFY2(!reread.filter(QString::fromLatin1(wanted)).isEmpty(),
                     qPrintable("lost entry " + wanted));
        }
    }
    if (kind == Kind::Huge)
        QCOMPARE(after, before);
    if (kind == Kind::MixedLineEnds)
        QCOMPARE(after, QByteArray("/db/p2\r\n/db/p1\r\n/db/p3\r\n\r\n/db/p4\r\n"));
}

namespace {

// A settings file as the program writes it, its lines ended as the kind says.
QByteArray settingsText(Kind kind)
{
    if (kind != Kind::MixedLineEnds && !ReliabilityFiles::needsOrdinaryUser(kind))
        return ReliabilityFiles::content(kind, "IB_AUTOCOMMIT=");
    const QByteArray end = kind == Kind::MixedLineEnds ? "\r" : "\n";
    return "[General]" + end + "IB_AUTOCOMMIT=1\r\n" + "Obj.rep.%20Path=/stored/repo\n";
}

} // namespace

// Read at start, written at exit: a damaged file gives the defaults, and the
// exit writes a whole new file or says why it could not.
void TestHostileFiles::settings()
{
    QFETCH(Kind, kind);
    CaseFolder dir;
    const QString path = dir.file("Quorvel.conf");
    const QByteArray before = settingsText(kind);
    ReliabilityFiles::make(path, kind, before);
    ProgramSettings &values = ProgramSettings::instance();
    values = ProgramSettings();
    QString failure;
    {
        const AsOrdinaryUser user(ReliabilityFiles::needsOrdinaryUser(kind));
        QSettings settings(path, QSettings::IniFormat);
        SettingsStore::read(settings);
        if (kind == Kind::MixedLineEnds || kind == Kind::UnwritableDir) {
            QVERIFY(values.AutoCommit);
            QCOMPARE(values.RepositoryPath, QStringLiteral("/stored/repo"));
        }
        values.AutoCommit = true;
        values.RepositoryPath = QStringLiteral("/new/repo");
        failure = SettingsStore::write(settings);
    }
    if (!failure.isEmpty()) {
        QCOMPARE(failure, QStringLiteral("Failed to set data for 'IB_AUTOCOMMIT'"));
        QCOMPARE(ReliabilityFiles::readAll(path), before);
        return;
    }
    QVERIFY2(kind != Kind::UnwritableDir, "wrote into a folder it may not write");
    values = ProgramSettings();
    QSettings reread(path, QSettings::IniFormat);
    SettingsStore::read(reread);
    QVERIFY(values.AutoCommit);
    QCOMPARE(values.RepositoryPath, QStringLiteral("/new/repo"));
}

// Loading a .DDL file into the DDL statements window and saving it again.
void TestHostileFiles::ddlFile()
{
    QFETCH(Kind, kind);
    CaseFolder dir;
    const QString path = dir.file("STATEMENT.DDL");
    const QByteArray before = ReliabilityFiles::content(kind, "CREATE EXCEPTION E");
    ReliabilityFiles::make(path, kind, before);
    TestShell shell;
    ScriptedPrompts prompts;
    TSQLExprForm *form = TSQLExprForm::open();
    form->setLines({QStringLiteral("KEEP ME")});
    {
        const AsOrdinaryUser user(ReliabilityFiles::needsOrdinaryUser(kind));
        prompts.files.enqueue(path);
        Command::run([form] { form->MNLoadfromFileClick(); });
        // Saved back under its own name, as the user would after a load.
        if (prompts.errors().isEmpty()) {
            prompts.files.enqueue(path);
            Command::run([form] { form->SavetoFile1Click(); });
        }
    }
    const QByteArray after = ReliabilityFiles::readAll(path);
    if (kind == Kind::Unreadable) {
        QCOMPARE(prompts.errors().value(0),
                 QStringLiteral("Cannot open file \"%1\". Permission denied.").arg(path));
        QCOMPARE(form->lines(), QStringList{QStringLiteral("KEEP ME")});
        QCOMPARE(after, before);
        return;
    }
    const QString loaded = form->lines().join(u'\n');
    if (kind == Kind::UnwritableDir) {
        QCOMPARE(prompts.errors().size(), 1);
        QVERIFY2(prompts.errors()[0].startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                                    .arg(path)),
                 qPrintable(prompts.errors()[0]));
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(prompts.errors(), QStringList());
    if (kind == Kind::NulBytes) {
        QVERIFY2(loaded.contains(QStringLiteral("tail")) && loaded.contains("E3"),
                 "text after a NUL byte was dropped");
        QCOMPARE(after, before.left(before.indexOf("E3\r\n") + 4) + QByteArray(4096, '\0')
                            + "\r\n");
    }
    if (kind == Kind::Huge || kind == Kind::Empty)
        QCOMPARE(after, before);
    if (kind == Kind::MixedLineEnds)
        QCOMPARE(after, QByteArray("CREATE EXCEPTION E1\r\nCREATE EXCEPTION E2\r\n"
                                   "CREATE EXCEPTION E3\r\n\r\nCREATE EXCEPTION E4\r\n"));
    // What was saved loads again to the same lines.
    prompts.files.enqueue(path);
    Command::run([form] { form->MNLoadfromFileClick(); });
    QCOMPARE(form->lines().join(u'\n'), loaded);
}

namespace {

// A repository with one entry whose source holds the given bytes as text.
void makeRepository(const QString &folder, const QByteArray &source)
{
    QDir().mkpath(folder);
    RepositoryStore::createTable(folder);
    const QString name = QStringLiteral("hostile-setup");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QDir(folder).filePath(RepositoryStore::fileName()));
        QVERIFY(db.open());
        QSqlQuery insert(db);
        // Bytes as they are, as another program might have stored them.
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO DVSRC VALUES ('FIRST', CAST(X'%1' AS "
                                           "TEXT))").arg(QString::fromLatin1(source.toHex()))));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

// DVSRC.DB as disks and other programs leave it: the repository window opens
// and says what is wrong; storing an entry either works whole or is refused.
void TestHostileFiles::repositoryFile()
{
    QFETCH(Kind, kind);
    CaseFolder dir;
    const QString path = dir.file(RepositoryStore::fileName());
    const bool validTable = kind == Kind::InvalidUtf8 || kind == Kind::MixedLineEnds
                            || ReliabilityFiles::needsOrdinaryUser(kind);
    if (validTable) {
        makeRepository(dir.folder(), ReliabilityFiles::content(kind, "SELECT "));
        ReliabilityFiles::make(path, kind, ReliabilityFiles::readAll(path));
    } else {
        ReliabilityFiles::make(path, kind, ReliabilityFiles::content(kind, "DVSRC "));
    }
    const QByteArray before = ReliabilityFiles::readAll(path);
    ProgramSettings::instance().RepositoryPath = dir.folder();
    TDMSys dm;
    dm.DMSysCreate();
    TestShell shell;
    ScriptedPrompts prompts;
    QString current;
    int rows = 0;
    {
        const AsOrdinaryUser user(ReliabilityFiles::needsOrdinaryUser(kind));
        TObjRepos *form = TObjRepos::open();
        rows = form->SrcTable->rowCount();
        if (rows > 0)
            current = form->currentText();
        Command::run([form] { form->AddEntry("SECOND", {"CREATE EXCEPTION E2 'two'"}); });
        form->close();
    }
    QSqlDatabase::database(TDMSys::devSrcName(), false).close();
    const QStringList errors = prompts.errors();
    if (!validTable || kind == Kind::Unreadable) {
        const QString expected = kind == Kind::Unreadable
                                     ? QStringLiteral("unable to open database file.")
                                     : QStringLiteral("%1 is not a repository file.").arg(path);
        QCOMPARE(errors.value(0), expected);
        QCOMPARE(rows, 0);
        QCOMPARE(ReliabilityFiles::readAll(path), before);
        return;
    }
    QCOMPARE(rows, 1);
    if (kind == Kind::MixedLineEnds) {
        QCOMPARE(current, QStringLiteral("SELECT 1\r\nSELECT 2\r\nSELECT 3\r\n\r\nSELECT 4\r\n"));
    }
    if (kind == Kind::InvalidUtf8)
        QVERIFY(current.startsWith(QStringLiteral("SELECT 1-B")));
    if (kind == Kind::UnwritableDir) {
        QCOMPARE(errors, QStringList{QStringLiteral(
                             "attempt to write a readonly database; the entry was not stored "
                             "and stays in the window to be posted again.")});
        QCOMPARE(ReliabilityFiles::readAll(path), before);
        return;
    }
    QCOMPARE(errors, QStringList());
}

QUORVEL_TEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
