#include "app/TDBEntryDlg.h"
#include "app/FramePlacement.h"
#include "app/TMainForm.h"
#include "core/DatabaseFileName.h"
#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"
#include "support/ScopedFormRunner.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/TChildForm.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace {

// A child window with a menu of its own, to watch the frame merge it.
class MenuForm : public TChildForm
{
public:
    explicit MenuForm(const QString &title)
    {
        createFormMenu(title);
        setWindowTitle(title);
    }
};

QStringList menuTitles(QMainWindow *frame)
{
    QStringList titles;
    for (QAction *action : frame->menuBar()->actions())
        titles << action->text();
    return titles;
}

// Answers the login dialog with a path and OK (or Cancel).
struct Login
{
    explicit Login(const QString &path, bool ok = true, const QString &password = "masterkey")
        : runner([=](QDialog *dialog) {
              auto *login = qobject_cast<TDBEntryDlg *>(dialog);
              login->dbPath->setEditText(path);
              login->Password->setText(password);
              return ok ? QDialog::Accepted : QDialog::Rejected;
          })
    {
    }
    ScopedFormRunner runner;
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsDisconnectedWithAutoCommitShown();
    void autoCommitTogglesCheckAndPanel();
    void connectShowsStateAndLearnsThePath();
    void connectIgnoresCaseOfKnownPaths();
    void dialectPanelFollowsTheConnection_data();
    void dialectPanelFollowsTheConnection();
    void refusedLoginShowsServerTextAndChangesNothing();
    void cancelledLoginKeepsTheDisplay();
    void connectAsksToSettleOpenWork();
    void refusedWhileWindowsOpen_data();
    void refusedWhileWindowsOpen();
    void releasedForAJobAndRestored();
    void disconnectWithCancelRollsBack();
    void exitSavesHistoryEvenWhenCancelled();
    void copiesExitingInTurnKeepEachOthersPaths();
    void exitAsksCommitWorkEvenAfterCancel();
    void commitItemsFollowTheTransaction();
    void hintsReachTheLastPanel();
    void childMenuMergesBeforeWindows();
    void frameUsesTheScreenThenKeepsTheUsersSize();
    void databaseFileNameOfEveryKindOfPath_data();
    void databaseFileNameOfEveryKindOfPath();

private:
    QString historyFile() const { return m_dir.filePath("connect.hst"); }
    QTemporaryDir m_dir;
};

void TestMainForm::init()
{
    QFile::remove(historyFile());
    ProgramSettings::instance().AutoCommit = false;
}

void TestMainForm::startsDisconnectedWithAutoCommitShown()
{
    TestSession session(false);
    TMainForm frame(session.dm, "/cmd/line.fdb", historyFile());
    QCOMPARE(frame.windowTitle(), "Quorvel for Interbase");
    QCOMPARE(frame.panel(1)->text(), "Disconnected");
    QCOMPARE(frame.panel(2)->text(), "");
    QVERIFY(!frame.DataMenu->isEnabled());
    QVERIFY(!frame.MnCommitWork->isEnabled());
    QCOMPARE(frame.DBEntryDlg->path(), "/cmd/line.fdb");
    QCOMPARE(menuTitles(&frame), (QStringList{"&File", "&Database", "&Windows", "&Help"}));
}

void TestMainForm::autoCommitTogglesCheckAndPanel()
{
    TestSession session(false);
    TMainForm frame(session.dm, {}, historyFile());
    frame.MnAutoCommit->trigger();
    QVERIFY(frame.MnAutoCommit->isChecked());
    QCOMPARE(frame.panel(2)->text(), "AUTO");
    QVERIFY(ProgramSettings::instance().AutoCommit);
    frame.MnAutoCommit->trigger();
    QCOMPARE(frame.panel(2)->text(), "");
}

void TestMainForm::connectShowsStateAndLearnsThePath()
{
    TestSession session;
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    QCOMPARE(frame.DBEntryDlg->path(), "");
    Login login(session.db.path());
    frame.MnConnect->trigger();
    QVERIFY2(prompts.errors().isEmpty(), qPrintable(prompts.errors().join('|')));
    QCOMPARE(frame.panel(1)->text(), "Connected");
    QCOMPARE(frame.statusBar()->toolTip(), "Connected to:" + session.db.path());
    QVERIFY(frame.DataMenu->isEnabled());
    QCOMPARE(frame.DBEntryDlg->history(), QStringList{session.db.path()});
    QCOMPARE(session.ib()->param("SERVER NAME"), session.db.path());
}

void TestMainForm::dialectPanelFollowsTheConnection_data()
{
    QTest::addColumn<int>("dialect");
    QTest::newRow("dialect 1") << 1;
    QTest::newRow("dialect 3") << 3;
}

void TestMainForm::dialectPanelFollowsTheConnection()
{
    QFETCH(int, dialect);
    TestSession session(true, dialect);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    QCOMPARE(frame.panel(5)->text(), "");
    Login login(session.db.path());
    frame.MnConnect->trigger();
    QVERIFY2(prompts.errors().isEmpty(), qPrintable(prompts.errors().join('|')));
    // The embedded engine's own version, whichever 3.0 release is installed.
    const QRegularExpression shown(
        QStringLiteral("^Firebird 3\\.0\\.\\d+, ODS 12\\.0, dialect %1, %2$")
            .arg(dialect)
            .arg(QRegularExpression::escape(QFileInfo(session.db.path()).fileName())));
    QVERIFY2(shown.match(frame.panel(5)->text()).hasMatch(), qPrintable(frame.panel(5)->text()));
    QCOMPARE(frame.panel(1)->text(), "Connected");
    frame.MnDisconect->trigger();
    QCOMPARE(frame.panel(5)->text(), "");
}

void TestMainForm::connectIgnoresCaseOfKnownPaths()
{
    TestSession session;
    QFile file(historyFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(session.db.path().toUpper().toUtf8() + "\r\n" + session.db.path().toUtf8() + "\r\n");
    file.close();
    TMainForm frame(session.dm, {}, historyFile());
    QCOMPARE(frame.DBEntryDlg->path(), session.db.path().toUpper());
    Login login(session.db.path());
    frame.MnConnect->trigger();
    QCOMPARE(frame.DBEntryDlg->history().size(), 2);
}

void TestMainForm::refusedLoginShowsServerTextAndChangesNothing()
{
    TestSession session;
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    Login login(session.db.folder() + "/missing.fdb");
    frame.MnConnect->trigger();
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY2(prompts.errors().first().contains("missing.fdb"), qPrintable(prompts.errors().first()));
    QVERIFY(prompts.errors().first().endsWith('.'));
    QCOMPARE(frame.panel(1)->text(), "Disconnected");
    QVERIFY(frame.DBEntryDlg->history().isEmpty());
    QVERIFY(!session.ib()->Connected());
}

void TestMainForm::cancelledLoginKeepsTheDisplay()
{
    TestSession session;
    TMainForm frame(session.dm, {}, historyFile());
    {
        Login login(session.db.path());
        frame.MnConnect->trigger();
    }
    Login cancel(session.db.path(), false);
    frame.MnConnect->trigger();
    QCOMPARE(frame.panel(1)->text(), "Connected");
    QVERIFY(frame.DataMenu->isEnabled());
    QVERIFY(!session.ib()->Connected());
}

void TestMainForm::connectAsksToSettleOpenWork()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", false);
    prompts.answers << Prompts::Answer::Cancel;
    Login login(session.db.path());
    frame.MnConnect->trigger();
    QCOMPARE(prompts.questions(), QStringList{"Commit work?"});
    QCOMPARE(prompts.asked.last().caption, "YesNoCancel");
    QVERIFY(session.ib()->InTransaction());
    QVERIFY(session.ib()->Connected());

    prompts.answers << Prompts::Answer::Yes;
    frame.MnConnect->trigger();
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "1");
}

// Connect and Disconnect both keep the open windows on the database they
// show: nothing is asked, the connection and its work stay as they were.
void TestMainForm::refusedWhileWindowsOpen_data()
{
    QTest::addColumn<bool>("connect");
    QTest::newRow("disconnect") << false;
    QTest::newRow("connect") << true;
}

void TestMainForm::refusedWhileWindowsOpen()
{
    QFETCH(bool, connect);
    TestSession session(false);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", false);
    frame.showChild(new MenuForm("Child"));
    Login login(session.db.path());
    (connect ? frame.MnConnect : frame.MnDisconect)->trigger();
    QCOMPARE(prompts.errors(), QStringList{"Close opened windows first."});
    QCOMPARE(prompts.questions(), QStringList());
    QVERIFY(session.ib()->Connected());
    QVERIFY(session.ib()->InTransaction());
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
}

// A job that needs the database to itself: refused while another window
// holds work; let go as Disconnect does, and attached again with the same login.
void TestMainForm::releasedForAJobAndRestored()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    auto *job = new MenuForm("Job");
    frame.showChild(job);
    auto *other = new MenuForm("Other");
    frame.showChild(other);
    Command::run([&] { frame.releaseConnection(job); });
    QCOMPARE(prompts.errors(), QStringList{"Close opened windows first."});
    QVERIFY(session.ib()->Connected());
    delete frame.mdiArea()->subWindowList().last();
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", false);
    prompts.answers << Prompts::Answer::Ok;
    Command::run([&] { frame.releaseConnection(job); });
    QCOMPARE(prompts.asked.last().text, "Commit work?");
    QVERIFY(!session.ib()->Connected());
    QCOMPARE(frame.panel(1)->text(), "Disconnected");
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "1");
    Command::run([&] { frame.restoreConnection(); });
    QVERIFY(session.ib()->Connected());
    QCOMPARE(frame.panel(1)->text(), "Connected");
    QCOMPARE(prompts.errors().size(), 1);
}

void TestMainForm::disconnectWithCancelRollsBack()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", false);
    prompts.answers << Prompts::Answer::Cancel;
    frame.MnDisconect->trigger();
    QCOMPARE(prompts.asked.last().caption, "OkCancel");
    QVERIFY(!session.ib()->InTransaction());
    QVERIFY(!session.ib()->Connected());
    QCOMPARE(frame.panel(1)->text(), "Disconnected");
    QCOMPARE(frame.statusBar()->toolTip(), "");
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "0");
}

void TestMainForm::exitSavesHistoryEvenWhenCancelled()
{
    TestSession session;
    ScriptedPrompts prompts;
    QFile file(historyFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("P1\nP2\nP3\n");
    file.close();
    TMainForm frame(session.dm, {}, historyFile());
    frame.show();
    frame.DBEntryDlg->dbPath->setEditText("p3");
    prompts.answers << Prompts::Answer::Cancel;
    QVERIFY(!frame.close());
    QCOMPARE(prompts.questions(), QStringList{"Are you sure to exit?"});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("P3\r\nP2\r\nP1\r\n"));
}

// Two copies of the program read the same history, each learns a path, and
// they exit one after the other: the second must not write over the first.
void TestMainForm::copiesExitingInTurnKeepEachOthersPaths()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    QFile file(historyFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("P1\r\n");
    file.close();
    TMainForm first(session.dm, {}, historyFile());
    TMainForm second(session.dm, {}, historyFile());
    first.DBEntryDlg->appendToHistory("/first.fdb");
    second.DBEntryDlg->appendToHistory("/second.fdb");
    QVERIFY(!first.close());
    QVERIFY(!second.close());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("P1\r\n/second.fdb\r\n/first.fdb\r\n"));
    QCOMPARE(prompts.errors(), QStringList());
}

void TestMainForm::exitAsksCommitWorkEvenAfterCancel()
{
    TestSession session(false);
    ScriptedPrompts prompts;
    TMainForm frame(session.dm, {}, historyFile());
    frame.show();
    session.ib()->ExecuteStatement("CREATE EXCEPTION E1 'x'", false);
    prompts.answers << Prompts::Answer::Cancel << Prompts::Answer::Yes;
    QVERIFY(!frame.close());
    QCOMPARE(prompts.questions(), (QStringList{"Are you sure to exit?", "Commit work?"}));
    QVERIFY(!session.ib()->InTransaction());
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "1");

    session.ib()->ExecuteStatement("CREATE EXCEPTION E2 'x'", false);
    prompts.answers << Prompts::Answer::Ok << Prompts::Answer::No;
    QVERIFY(frame.close());
    QCOMPARE(session.db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS"), "1");
}

void TestMainForm::commitItemsFollowTheTransaction()
{
    TestSession session(false);
    TMainForm frame(session.dm, {}, historyFile());
    session.ib()->StartTransaction();
    QVERIFY(frame.MnCommitWork->isEnabled());
    QVERIFY(frame.MnRollBackWork->isEnabled());
    QCOMPARE(frame.panel(2)->text(), "TRANS");
    frame.MnAutoCommit->trigger();
    frame.MnAutoCommit->trigger();
    QCOMPARE(frame.panel(2)->text(), "");
    frame.MnCommitWork->trigger();
    QVERIFY(!frame.MnCommitWork->isEnabled());
    QVERIFY(!session.ib()->InTransaction());
}

void TestMainForm::hintsReachTheLastPanel()
{
    TestSession session;
    TMainForm frame(session.dm, {}, historyFile());
    QCOMPARE(frame.MnExit->statusTip(), "Close application");
    QStatusTipEvent tip(frame.MnExit->statusTip());
    QApplication::sendEvent(&frame, &tip);
    QCOMPARE(frame.panel(4)->text(), "Close application");
}

void TestMainForm::childMenuMergesBeforeWindows()
{
    TestSession session;
    TMainForm frame(session.dm, {}, historyFile());
    frame.show();
    frame.showChild(new MenuForm("First"));
    QCOMPARE(menuTitles(&frame),
             (QStringList{"&File", "&Database", "First", "&Windows", "&Help"}));
    frame.showChild(new MenuForm("Second"));
    QCOMPARE(menuTitles(&frame),
             (QStringList{"&File", "&Database", "Second", "&Windows", "&Help"}));
    frame.mdiArea()->closeAllSubWindows();
    QCOMPARE(menuTitles(&frame), (QStringList{"&File", "&Database", "&Windows", "&Help"}));
}

// A first run opens on most of the screen; once the user has sized the frame,
// the next run opens it so.
void TestMainForm::frameUsesTheScreenThenKeepsTheUsersSize()
{
    ProgramSettings::instance().FrameGeometry.clear();
    TestSession session;
    ScriptedPrompts prompts;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QSize sized;
    {
        TMainForm frame(session.dm, {}, historyFile());
        QCOMPARE(frame.geometry(), FramePlacement::initial(available));
        frame.show();
        frame.setGeometry(QRect(available.topLeft() + QPoint(30, 40), QSize(500, 400)));
        sized = frame.size();
        prompts.answers << Prompts::Answer::Ok;
        QVERIFY(frame.close());
    }
    QVERIFY(!ProgramSettings::instance().FrameGeometry.isEmpty());
    TMainForm again(session.dm, {}, historyFile());
    QCOMPARE(again.size(), sized);
    ProgramSettings::instance().FrameGeometry.clear();
}

void TestMainForm::databaseFileNameOfEveryKindOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("file");
    QTest::newRow("local") << "/data/shop.fdb" << "shop.fdb";
    QTest::newRow("server") << "dbhost:/data/shop.fdb" << "shop.fdb";
    QTest::newRow("server and port") << "dbhost/3051:/data/shop.fdb" << "shop.fdb";
    QTest::newRow("Windows server") << "dbhost:C:\\data\\Shop.FDB" << "Shop.FDB";
    QTest::newRow("alias") << "dbhost:shop" << "shop";
    QTest::newRow("bare name") << "shop.fdb" << "shop.fdb";
}

void TestMainForm::databaseFileNameOfEveryKindOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, file);
    QCOMPARE(DatabaseFileName(path), file);
}

QUORVEL_TEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
