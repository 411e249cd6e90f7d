#include "support/OtherUser.h"
#include "support/ReliabilityServer.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestShell.h"

#include "catalog/TBackupForm.h"
#include "catalog/TMaintenanceForm.h"
#include "catalog/TPropertiesForm.h"
#include "catalog/TRestoreForm.h"
#include "catalog/TStatisticsForm.h"
#include "controls/TableSizeChart.h"
#include "core/ProgramSettings.h"
#include "ibdb/IbStatus.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "uikit/Command.h"

#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUuid>

#include <functional>
#include <memory>

// The windows of the server's services, driven as a user drives them, on
// the private Firebird 3 server: their jobs run on a thread of their own
// while the window answers.
class tst_ServiceWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void backupThenRestoreGivesTheSameDatabase();
    void replaceRefusedThenConfirmed();
    void cancelledBackupLeavesNoFile();
    void cancelledReplaceKeepsTheOldDatabase();
    void validationFindsAPlantedFault_data();
    void validationFindsAPlantedFault();
    void statisticsAgreeWithGstat_data();
    void statisticsAgreeWithGstat();
    void shutdownThenOnline();
    void slowShutdownWaitsInTheBox();
    void endTexts_data();
    void endTexts();
    void faultLines_data();
    void faultLines();
};

namespace {

const QString kUser = QStringLiteral("SYSDBA");

std::unique_ptr<ServerDatabase> g_db;
std::unique_ptr<TDMSys> g_dm;

TIBDataBase *ib()
{
    return g_dm->IBDataBase;
}

// The windows work on the database the session names.
void name(const QString &database)
{
    ib()->setParam(QStringLiteral("SERVER NAME"), database);
}

QString folder()
{
    return QFileInfo(g_db->file()).path();
}

void fill(const ServerDatabase &db, int rows)
{
    db.execute({"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N VARCHAR(40), B BLOB SUB_TYPE 1)",
                "CREATE INDEX T_N ON T (N)",
                "CREATE TABLE SMALL (ID INTEGER NOT NULL PRIMARY KEY)",
                "CREATE TABLE EMPTY (ID INTEGER)",
                "CREATE VIEW V AS SELECT ID, N FROM T WHERE ID > 10",
                "CREATE PROCEDURE P (X INTEGER) RETURNS (Y INTEGER) AS BEGIN Y = X + 1; SUSPEND; END",
                "INSERT INTO SMALL VALUES (1)",
                QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO"
                               " BEGIN INSERT INTO T VALUES (:I, 'name ' || :I,"
                               " LPAD('', MOD(:I, 300), 'b')); I = I + 1; END END").arg(rows)});
}

// Starts the window's job and waits for its end, the window answering meanwhile.
void runJob(TServiceJobForm &form)
{
    Command::run([&] { form.StartBtnClick(); });
    QTRY_VERIFY_WITH_TIMEOUT(!form.running(), 240000);
}

// Cancels the window's job at the first bytes it moves once `when` holds;
// what it returns tells whether it did.
std::shared_ptr<bool> cancelAtProgress(TServiceJobForm &form, std::function<bool()> when)
{
    auto cancelled = std::make_shared<bool>(false);
    QObject::connect(form.runner(), &ServiceJobRunner::progress, &form,
                     [&form, cancelled, when = std::move(when)](qint64 done, qint64) {
                         if (done > 0 && !*cancelled && when()) {
                             *cancelled = true;
                             form.CancelBtnClick();
                         }
                     });
    return cancelled;
}

// A backup through the window, unverified, to a file of this machine.
bool backedUp(const QString &file)
{
    TBackupForm backup;
    backup.VerifyCheck->setChecked(false);
    backup.FileEdit->setText(file);
    runJob(backup);
    return backup.ResultLine->text().startsWith("Succeeded in ");
}

QString scriptOf(const QString &database)
{
    TIBDataBase attachment(QUuid::createUuid().toString());
    attachment.setParam(QStringLiteral("SERVER NAME"), database);
    attachment.setParam(QStringLiteral("USER NAME"), kUser);
    attachment.setParam(QStringLiteral("PASSWORD"), ReliabilityServer::password());
    attachment.Open();
    return SchemaScript(SchemaReader(attachment.connection()).read()).text();
}

// Whether a new attachment of SYSDBA is admitted.
bool admitted(const QString &database)
{
    return !RestoreTarget(database, kUser, ReliabilityServer::password()).creationStamp().isEmpty();
}

} // namespace

void tst_ServiceWindows::initTestCase()
{
    if (!ReliabilityServer::available())
        QSKIP("needs the fbserver CTest fixture");
}

void tst_ServiceWindows::init()
{
    ReliabilityServer::ensureRunning();
    g_db = std::make_unique<ServerDatabase>(QStringLiteral("source.fdb"), 3);
    g_dm = std::make_unique<TDMSys>();
    ProgramSettings::instance().RepositoryPath = folder();
    g_dm->DMSysCreate();
    ib()->setParam(QStringLiteral("USER NAME"), kUser);
    ib()->setParam(QStringLiteral("PASSWORD"), ReliabilityServer::password());
    name(g_db->remote());
    ib()->Open();
}

void tst_ServiceWindows::cleanup()
{
    g_dm.reset();
    g_db.reset();
}

// Backed up to this machine and proven, restored through the server: the
// same metadata script, the same rows.
void tst_ServiceWindows::backupThenRestoreGivesTheSameDatabase()
{
    const ScriptedPrompts prompts;
    fill(*g_db, 2000);
    TBackupForm backup;
    QVERIFY(backup.VerifyCheck->isChecked());
    backup.FileEdit->setText(folder() + "/window.fbk");
    runJob(backup);
    QVERIFY2(backup.ResultLine->text().startsWith("Succeeded in "),
             qPrintable(backup.Log->toPlainText()));
    QVERIFY(backup.Log->toPlainText().contains(
        "Verified: the backup restores to an identical database"));

    TRestoreForm restore;
    const QString copy = ReliabilityServer::remotePath(folder() + "/copy.fdb");
    restore.FileEdit->setText(folder() + "/window.fbk");
    restore.DatabaseEdit->setText(copy);
    restore.PageSizeBox->setCurrentIndex(restore.PageSizeBox->findData(8192));
    runJob(restore);
    QVERIFY2(restore.ResultLine->text().startsWith("Succeeded in "),
             qPrintable(restore.Log->toPlainText()));
    QCOMPARE(scriptOf(copy), scriptOf(g_db->remote()));
    const QString rows = "SELECT COUNT(*) || '/' || SUM(ID) || '/' || SUM(CHAR_LENGTH(B)) FROM T";
    QCOMPARE(ReliabilityServer::scalar(copy, rows), g_db->scalar(rows));
    QCOMPARE(ReliabilityServer::scalar(copy, "SELECT MON$PAGE_SIZE FROM MON$DATABASE"),
             QStringLiteral("8192"));
}

// Over an existing database: refused without Replace; with it, asked first
// naming the file, and a Cancel starts nothing; OK replaces it.
void tst_ServiceWindows::replaceRefusedThenConfirmed()
{
    ScriptedPrompts prompts;
    fill(*g_db, 10);
    const ServerDatabase other(QStringLiteral("other.fdb"), 3);
    other.execute({"CREATE TABLE OTHER (ID INTEGER)"});
    QVERIFY(backedUp(folder() + "/source.fbk"));

    TRestoreForm restore;
    restore.FileEdit->setText(folder() + "/source.fbk");
    restore.DatabaseEdit->setText(other.remote());
    runJob(restore);
    QVERIFY(restore.ResultLine->text().startsWith("Failed after "));
    QTRY_COMPARE(prompts.errors(),
                 QStringList{QStringLiteral("database %1 already exists; it is overwritten only "
                                            "with Replace.").arg(other.remote())});

    restore.ReplaceCheck->setChecked(true);
    prompts.answers << Prompts::Answer::Cancel << Prompts::Answer::Ok;
    Command::run([&] { restore.StartBtnClick(); });
    QVERIFY(!restore.running());
    const QString question =
        QStringLiteral("The restore overwrites the database file %1 on the server localhost/%2\n"
                       "Replace it?").arg(other.file()).arg(ReliabilityServer::port());
    QCOMPARE(prompts.questions(), QStringList{question});
    QCOMPARE(TRestoreForm::replaceQuestion(other.remote()), question);
    QCOMPARE(other.scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'OTHER'"),
             QStringLiteral("1"));

    runJob(restore);
    QVERIFY2(restore.ResultLine->text().startsWith("Succeeded in "),
             qPrintable(restore.Log->toPlainText()));
    QCOMPARE(prompts.questions(), (QStringList{question, question}));
    QCOMPARE(other.scalar("SELECT COUNT(*) FROM T"), QStringLiteral("10"));
}

// Cancel after the first bytes: the job says so, and no file of the name is
// there, not even part of one.
void tst_ServiceWindows::cancelledBackupLeavesNoFile()
{
    const ScriptedPrompts prompts;
    fill(*g_db, 60000);
    TBackupForm backup;
    backup.FileEdit->setText(folder() + "/stopped.fbk");
    const auto cancelled = cancelAtProgress(backup, [] { return true; });
    runJob(backup);
    QVERIFY(*cancelled);
    QVERIFY2(backup.ResultLine->text().startsWith("Cancelled after "),
             qPrintable(backup.ResultLine->text()));
    QCOMPARE(QDir(folder()).entryList({"stopped*"}, QDir::Files | QDir::Hidden), QStringList());
}

// Cancel once the restore over a server's database has begun, when the
// service has dropped the old one: the old one is put back, rows and all.
void tst_ServiceWindows::cancelledReplaceKeepsTheOldDatabase()
{
    ScriptedPrompts prompts;
    fill(*g_db, 30000);
    const ServerDatabase other(QStringLiteral("kept.fdb"), 3);
    other.execute({"CREATE TABLE OTHER (ID INTEGER)", "INSERT INTO OTHER VALUES (7)"});
    QVERIFY(backedUp(folder() + "/big.fbk"));

    TRestoreForm restore;
    restore.FileEdit->setText(folder() + "/big.fbk");
    restore.DatabaseEdit->setText(other.remote());
    restore.ReplaceCheck->setChecked(true);
    prompts.answers << Prompts::Answer::Ok;
    bool restoring = false;
    connect(restore.runner(), &ServiceJobRunner::line, &restore, [&](const QString &text) {
        restoring = restoring || text.startsWith("Restoring over ");
    });
    const auto cancelled = cancelAtProgress(restore, [&] { return restoring; });
    runJob(restore);
    QVERIFY(*cancelled);
    QVERIFY2(restore.ResultLine->text().startsWith("Cancelled after "),
             qPrintable(restore.Log->toPlainText()));
    QCOMPARE(other.scalar("SELECT SUM(ID) FROM OTHER"), QStringLiteral("7"));
    QVERIFY2(restore.Log->toPlainText().contains(other.remote() + " is as it was before the restore"),
             qPrintable(restore.Log->toPlainText()));
}

void tst_ServiceWindows::validationFindsAPlantedFault_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("report"); // a line that names the fault
    QTest::newRow("online") << int(TMaintenanceForm::OnlineValidation) << "(T)";
    QTest::newRow("full") << int(TMaintenanceForm::FullValidation)
                          << "Summary of validation errors";
}

// A data page of a copy overwritten with nonsense: validation reports it;
// the original validates clean.
void tst_ServiceWindows::validationFindsAPlantedFault()
{
    QFETCH(int, action);
    QFETCH(QString, report);
    ScriptedPrompts prompts;
    fill(*g_db, 3000);
    const QString relation =
        g_db->scalar("SELECT RDB$RELATION_ID FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'T'");
    ib()->Close();
    const QString broken = folder() + "/broken.fdb";
    QVERIFY(QFile::copy(g_db->file(), broken));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const int pageSize = 4096;
    bool planted = false;
    for (qint64 page = 1; !planted && page * pageSize < file.size(); ++page) {
        file.seek(page * pageSize);
        const QByteArray header = file.read(24);
        // Type 5 is a data page; its relation is the two bytes at 20.
        if (header.at(0) == 5 && quint8(header.at(20)) + 256 * quint8(header.at(21)) == relation.toInt()) {
            file.seek(page * pageSize + 24);
            file.write(QByteArray(400, '\xee'));
            planted = true;
        }
    }
    file.close();
    QVERIFY(planted);
    name(g_db->remote());
    ib()->Open();

    TestShell shell;
    TMaintenanceForm validation;
    validation.ActionBox->setCurrentIndex(action);
    const bool full = action != TMaintenanceForm::OnlineValidation;
    if (full) {
        // The server would refuse it while any attachment, ours too, is there:
        // asked first, and nothing is let go without a yes.
        runJob(validation);
        QCOMPARE(prompts.asked.value(0).text,
                 "The full validation needs the database to itself. Close this program's "
                 "connection for it, and connect again when it ends?");
        QCOMPARE(validation.ResultLine->text(), QString());
        QVERIFY(ib()->Connected());
        // Another user in it: the job fails, says nothing of faults, and the
        // program is attached again.
        const OtherUser other(g_db->remote(), ReliabilityServer::password());
        prompts.answers.enqueue(Prompts::Answer::Ok);
        runJob(validation);
        QVERIFY(validation.ResultLine->text().startsWith("Failed after "));
        QVERIFY(!validation.ResultLine->text().contains("no faults found"));
        QVERIFY(ib()->Connected());
        prompts.answers.enqueue(Prompts::Answer::Ok);
    }
    runJob(validation);
    QVERIFY2(validation.faults().isEmpty(), qPrintable(validation.Log->toPlainText()));
    QVERIFY(validation.ResultLine->text().endsWith(": no faults found"));
    QCOMPARE(shell.released, full ? 2 : 0);
    QVERIFY(ib()->Connected());

    ib()->Close();
    name(ReliabilityServer::remotePath(broken));
    runJob(validation);
    QVERIFY2(!validation.faults().isEmpty(),
             qPrintable(validation.Log->toPlainText() + prompts.errors().join('\n')));
    QVERIFY(validation.faults().join('\n').contains(report));
}

void tst_ServiceWindows::statisticsAgreeWithGstat_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("versions"); // back versions to count
    QTest::newRow("big, updated, with indices") << "T" << true;
    QTest::newRow("one row") << "SMALL" << false;
    QTest::newRow("no rows") << "EMPTY" << false;
}

// The window's figures are those Firebird's own gstat prints for the table.
void tst_ServiceWindows::statisticsAgreeWithGstat()
{
    const ScriptedPrompts prompts;
    QFETCH(QString, table);
    QFETCH(bool, versions);
    fill(*g_db, 5000);
    // A transaction older than the update keeps its old versions, and their
    // index entries, from being collected between the two readings.
    ib()->StartTransaction();
    g_db->execute({"UPDATE T SET N = 'changed' WHERE ID < 100"});
    TStatisticsForm statistics;
    runJob(statistics);
    QVERIFY2(statistics.ResultLine->text().startsWith("Succeeded in "),
             qPrintable(statistics.Log->toPlainText()));
    QProcess gstat;
    gstat.start("fbstat", {"-a", "-r", "-user", kUser, "-password", ReliabilityServer::password(),
                           g_db->remote()});
    QVERIFY(gstat.waitForFinished(60000));
    const QString report = QString::fromUtf8(gstat.readAllStandardOutput());
    const qsizetype start = report.indexOf(QRegularExpression("\\n" + table + " \\(\\d+\\)\\n"));
    QVERIFY2(start >= 0, qPrintable(report));
    const QString block = report.mid(start, report.indexOf(QRegularExpression("\\n\\S"), start + 1) - start);
    const auto figure = [&](const QString &label) {
        return QRegularExpression(label + ":? (\\d+)").match(block).captured(1).toLongLong();
    };
    const QList<QTreeWidgetItem *> rows = statistics.TableList->findItems(table, Qt::MatchExactly);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0)->text(1).toLongLong(), figure("Data pages"));
    QCOMPARE(rows.at(0)->text(3).toLongLong(), figure("total records"));
    QCOMPARE(rows.at(0)->text(4).toLongLong(), figure("total versions"));
    QCOMPARE(rows.at(0)->text(4).toLongLong() > 0, versions);
    for (QTreeWidgetItem *index : statistics.IndexList->findItems(table, Qt::MatchExactly)) {
        const QString name = index->text(1);
        const qsizetype at = block.indexOf("Index " + name + " ");
        QVERIFY2(at >= 0, qPrintable(name));
        const QString part = block.mid(at);
        QCOMPARE(index->text(2).toLongLong(),
                 QRegularExpression("depth: (\\d+)").match(part).captured(1).toLongLong());
        QCOMPARE(index->text(4).toLongLong(),
                 QRegularExpression("nodes: (\\d+)").match(part).captured(1).toLongLong());
    }
    QCOMPARE(statistics.statistics().headerValue("Page size"), QStringLiteral("4096"));
    QVERIFY(!statistics.statistics().headerValue("Oldest active").isEmpty());
    QCOMPARE(statistics.Chart->bars().first().label, QStringLiteral("T"));
    ib()->Rollback();
}

// Shut down, a second attachment is refused; online again, it is admitted.
void tst_ServiceWindows::shutdownThenOnline()
{
    const ServerDatabase target(QStringLiteral("shut.fdb"), 3);
    name(target.remote());
    ScriptedPrompts prompts;
    prompts.answers << Prompts::Answer::Ok;
    TPropertiesForm properties;
    Command::run([&] { properties.RefreshBtnClick(); });
    QCOMPARE(properties.DialectLabel->text(), QStringLiteral("3"));
    properties.SweepIntervalEdit->setValue(1234);
    properties.ForcedWritesCheck->setChecked(false);
    properties.PageBuffersEdit->setValue(3000);
    Command::run([&] { properties.ApplyBtnClick(); });
    QCOMPARE(prompts.errors(), QStringList());
    QCOMPARE(properties.PageBuffersEdit->value(), 3000);
    QCOMPARE(target.scalar("SELECT MON$SWEEP_INTERVAL || '/' || MON$FORCED_WRITES FROM MON$DATABASE"),
             QStringLiteral("1234/0"));

    properties.ShutdownModeBox->setCurrentIndex(2); // full
    properties.ShutdownKindBox->setCurrentIndex(0); // forced
    Command::run([&] { properties.ShutdownBtnClick(); });
    QCOMPARE(prompts.questions(), QStringList{TPropertiesForm::shutdownQuestion(target.remote())});
    QCOMPARE(prompts.errors(), QStringList());
    QVERIFY(!admitted(target.remote()));
    Command::run([&] { properties.OnlineBtnClick(); });
    QCOMPARE(prompts.errors(), QStringList());
    QVERIFY(admitted(target.remote()));
}

// A shutdown that waits for another user's attachment keeps the frame
// answering behind the wait box, which offers no Cancel: the server lets no
// one call a shutdown off once it waits. At the end of the wait the server's
// refusal is shown and the database stays open to others.
void tst_ServiceWindows::slowShutdownWaitsInTheBox()
{
    const ServerDatabase target(QStringLiteral("busy.fdb"), 3);
    const OtherUser other(target.remote(), ReliabilityServer::password());
    name(target.remote());
    ScriptedPrompts prompts;
    prompts.answers << Prompts::Answer::Ok;
    QList<bool> cancellable;
    ServerCall::install([&cancellable](const QString &, std::function<void()> cancel) {
        cancellable << bool(cancel);
        return std::make_unique<ServerCall::WaitBox>();
    });
    const auto uninstall = qScopeGuard([] { ServerCall::install(nullptr); });
    int ticks = 0;
    QTimer heartbeat;
    connect(&heartbeat, &QTimer::timeout, [&ticks] { ++ticks; });
    heartbeat.start(20);
    TPropertiesForm properties;
    properties.ShutdownModeBox->setCurrentIndex(2); // full
    properties.ShutdownKindBox->setCurrentIndex(1); // wait for the attachments
    properties.ShutdownWaitEdit->setValue(3);
    Command::run([&] { properties.ShutdownBtnClick(); });
    QCOMPARE(cancellable, QList<bool>{false});
    QVERIFY2(ticks >= 40, qPrintable(QString::number(ticks)));
    QCOMPARE(prompts.errors(), QStringList{"database shutdown unsuccessful."});
    QVERIFY(admitted(target.remote()));
}

void tst_ServiceWindows::endTexts_data()
{
    QTest::addColumn<int>("end");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("text");
    QTest::newRow("quick") << int(ServiceJobRunner::End::Succeeded) << qint64(2449) << "Succeeded in 2.4 s";
    QTest::newRow("minutes") << int(ServiceJobRunner::End::Failed) << qint64(63000) << "Failed after 1 min 03 s";
    QTest::newRow("hours") << int(ServiceJobRunner::End::Cancelled) << qint64(3723000) << "Cancelled after 1 h 02 min";
}

void tst_ServiceWindows::endTexts()
{
    QFETCH(int, end);
    QFETCH(qint64, elapsed);
    QFETCH(QString, text);
    QCOMPARE(TServiceJobForm::endText(ServiceJobRunner::End(end), elapsed), text);
}

void tst_ServiceWindows::faultLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("fault");
    QTest::newRow("online, errors") << "Relation 128 (T) : 1 ERRORS found" << true;
    QTest::newRow("online, clean") << "Relation 128 (T) is ok" << false;
    QTest::newRow("full, errors") << "Number of record level errors\t: 3" << true;
    QTest::newRow("full, none") << "Number of record level errors\t: 0" << false;
    QTest::newRow("tenfold") << "Relation 130 (ORDERS) : 10 ERRORS found" << true;
    QTest::newRow("full, summary") << "Summary of validation errors" << true;
}

void tst_ServiceWindows::faultLines()
{
    QFETCH(QString, line);
    QFETCH(bool, fault);
    QCOMPARE(TMaintenanceForm::reportsFault(line), fault);
}

QUORVEL_TEST_MAIN(tst_ServiceWindows)
#include "tst_servicewindows.moc"
