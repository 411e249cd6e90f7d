#include "app/SettingsStore.h"
#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "core/ProgramSettings.h"
#include "support/ReliabilityFiles.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/TestMain.h"
#include "uikit/Command.h"
#include "workbench/RepositoryStore.h"
#include "workbench/TObjRepos.h"
#include "workbench/TSQLExprForm.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {

// Distinctive enough that no file holds it by chance.
const QString kPassword = QStringLiteral("Qv7-Pw-Kelderwick-31415");
const QString kWrongPassword = QStringLiteral("Qv7-Wrong-Kelderwick-27182");
const QString kUser = QStringLiteral("QV_PW_PROBE");

QStringList g_messages;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_messages << text;
}


} // namespace

// The password is given once, in the login dialog, and is written nowhere:
// no file, log line, window title or message of a whole session holds it.
class TestServerPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!ReliabilityServer::available())
            QSKIP("needs the fbserver CTest fixture");
        ReliabilityServer::ensureRunning();
    }

    void neverWritten()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE OR ALTER USER %1 PASSWORD '%2'").arg(kUser, kPassword),
                    QStringLiteral("GRANT CREATE EXCEPTION TO USER %1").arg(kUser)});
        // Every place the session may write: home, the XDG folders, the
        // temporary folder, the history beside the "executable", the
        // repository and a .DDL file.
        QTemporaryDir run(ReliabilityFiles::tempRoot() + "/qvp-XXXXXX");
        const QString home = run.filePath("home");
        for (const char *variable : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                     "XDG_DATA_HOME", "XDG_STATE_HOME", "TMPDIR"}) {
            const QString folder = QStringLiteral("%1/%2").arg(home, variable);
            QDir().mkpath(folder);
            qputenv(variable, (QByteArray(variable) == "HOME" ? home : folder).toUtf8());
        }
        QDir().mkpath(run.filePath("repository"));
        RepositoryStore::createTable(run.filePath("repository"));
        const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
        runSession(db, run.path());
        qInstallMessageHandler(previous);
        if (QTest::currentTestFailed())
            return;

        QStringList searched;
        for (QDirIterator it(run.path(), QDir::Files | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            for (const QString &secret : {kPassword, kWrongPassword}) {
                const QByteArray utf16(reinterpret_cast<const char *>(secret.utf16()),
                                       secret.size() * 2);
                QVERIFY2(!bytes.contains(secret.toUtf8()) && !bytes.contains(utf16),
                         qPrintable(file));
            }
            searched << QFileInfo(file).fileName();
        }
        for (const char *expected : {"connect.hst", "Quorvel.conf", "DVSRC.DB", "SESSION.DDL"})
            QVERIFY2(searched.contains(QString::fromLatin1(expected)), expected);
        for (const QString &message : std::as_const(g_messages)) {
            QVERIFY2(!message.contains(kPassword) && !message.contains(kWrongPassword),
                     qPrintable(message));
        }
    }

private:
    // Connect (once refused), work, store, save and exit, as a user would.
    void runSession(const ServerDatabase &db, const QString &folder)
    {
        SettingsStore::read();
        ReliabilityFrame f(false, QDir(folder).filePath("app/connect.hst"));
        ProgramSettings::instance().RepositoryPath = QDir(folder).filePath("repository");
        f.dm.DMSysCreate();
        QDir().mkpath(QDir(folder).filePath("app"));
        QVERIFY(!f.connect(db.remote(), kUser, kWrongPassword).isEmpty());
        QCOMPARE(f.connect(db.remote(), kUser, kPassword), QString());
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION PW_PROBE 'probe'")), QString());
        QVERIFY(!f.execute(QStringLiteral("CREATE EXCEPTION PW_PROBE 'again'")).isEmpty());
        f.prompts.inputs.enqueue(QStringLiteral("PROBE"));
        Command::run([] { AddToRepository({QStringLiteral("CREATE EXCEPTION PW_PROBE 'x'")}); });
        TSQLExprForm *ddl = TSQLExprForm::open();
        ddl->setLines({QStringLiteral("CREATE EXCEPTION PW_PROBE 'x'")});
        f.prompts.files.enqueue(QDir(folder).filePath("SESSION.DDL"));
        Command::run([ddl] { ddl->SavetoFile1Click(); });

        for (QWidget *widget : QApplication::allWidgets()) {
            QVERIFY(!widget->windowTitle().contains(kPassword));
            QVERIFY(!widget->toolTip().contains(kPassword));
            if (auto *label = qobject_cast<QLabel *>(widget))
                QVERIFY(!label->text().contains(kPassword));
        }
        QVERIFY(!f.frame->statusBar()->toolTip().contains(kPassword));
        f.prompts.answers << Prompts::Answer::Ok << Prompts::Answer::Yes;
        QVERIFY(f.frame->close());
        QCOMPARE(SettingsStore::write(), QString());
        for (const ScriptedPrompts::Asked &asked : std::as_const(f.prompts.asked)) {
            QVERIFY2(!asked.text.contains(kPassword) && !asked.text.contains(kWrongPassword),
                     qPrintable(asked.text));
        }
    }
};

QUORVEL_TEST_MAIN(TestServerPassword)
#include "tst_serverpassword.moc"
