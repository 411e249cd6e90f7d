#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "core/ProgramSettings.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/TestMain.h"
#include "uikit/CatalogQuery.h"
#include "uikit/TableNavigator.h"
#include "workbench/TDataForm.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QStatusBar>
#include <QTableView>

// Faults of a real server: refused logins, the server killed under an open
// transaction and under a grid that is still fetching, and statements the
// server refuses in the middle of a transaction.
class TestServerFaults : public QObject
{
    Q_OBJECT

private:
    static QString sysdba() { return QStringLiteral("SYSDBA"); }

    // Kill the server, let the command meet the dead connection, bring the
    // server back: the frame must show the truth, and a new connect work.
    static void expectRecovery(ReliabilityFrame &f, const ServerDatabase &db)
    {
        QVERIFY(f.transactionShownRightly());
        // A catalogue query does not end the tool's transaction; the user
        // rolls it back (the server has dropped it already).
        if (f.inTransaction()) {
            QCOMPARE(f.run([&] { f.frame->MnRollBackWorkClick(); }), QString());
            QVERIFY(!f.inTransaction());
            QVERIFY(f.transactionShownRightly());
        }
        ReliabilityServer::restart();
        f.prompts.answers.clear();
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        QCOMPARE(f.panel(1), QStringLiteral("Connected"));
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION AFTER_RESTART 'back'")), QString());
        QVERIFY(f.transactionShownRightly());
    }

private slots:
    void initTestCase()
    {
        if (!ReliabilityServer::available())
            QSKIP("needs the fbserver CTest fixture");
    }

    void init() { ReliabilityServer::ensureRunning(); }

    void refusedLogin_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("serverText");
        QTest::newRow("wrong password")
            << QString() << QStringLiteral("not-the-password")
            << QStringLiteral("Your user name and password are not defined. Ask your database "
                              "administrator to set up a Firebird login.");
        QTest::newRow("wrong path")
            << QStringLiteral("/nonexistent/quorvel/none.fdb") << QString()
            << QStringLiteral("I/O error during \"open\" operation for file "
                              "\"/nonexistent/quorvel/none.fdb\"\n"
                              "Error while trying to open file\nNo such file or directory");
    }

    void refusedLogin()
    {
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QString, serverText);
        ServerDatabase db;
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        const QString tooltip = f.frame->statusBar()->toolTip();
        const QStringList history = f.frame->DBEntryDlg->history();

        const QString remote = path.isEmpty() ? db.remote() : ReliabilityServer::remotePath(path);
        const QString shown = f.connect(remote, sysdba(),
                                        password.isEmpty() ? ReliabilityServer::password()
                                                           : password);
        // The error box ends the text with one full stop.
        QCOMPARE(shown, serverText.endsWith(u'.') ? serverText : serverText + u'.');
        QVERIFY(!f.dm.IBDataBase->Connected());
        QCOMPARE(f.panel(1), QStringLiteral("Connected"));
        QVERIFY(f.frame->DataMenu->isEnabled());
        QCOMPARE(f.frame->statusBar()->toolTip(), tooltip);
        QCOMPARE(f.frame->DBEntryDlg->history(), history);
        QVERIFY(f.transactionShownRightly());
    }

    // What the user does next after the server died with the tool's
    // transaction open (auto-commit off, one statement executed). The error
    // names the client's failure and then says what became of the work.
    void killedDuringTransaction_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<QList<Prompts::Answer>>("answers");
        QTest::addColumn<bool>("autoCommit");
        QTest::addColumn<QString>("note");
        using A = Prompts::Answer;
        const QString work = QStringLiteral("The connection to the database was lost; the work "
                                            "of the open transaction was not committed.");
        const QString commit = QStringLiteral("The connection to the database was lost during "
                                              "the commit; reconnect and check whether the work "
                                              "was committed.");
        QTest::newRow("commit work") << "commit" << QList<A>{} << false << commit;
        // The client reports no failure for a rollback it cannot send: the
        // server drops the transaction all the same.
        QTest::newRow("rollback work") << "rollback" << QList<A>{} << false << QString();
        QTest::newRow("next statement") << "statement" << QList<A>{} << false << work;
        QTest::newRow("next statement, auto-commit") << "statement" << QList<A>{} << true << work;
        QTest::newRow("catalogue query") << "query" << QList<A>{} << false << work;
        QTest::newRow("connect, commit") << "connect" << QList<A>{A::Yes} << false << commit;
        // The rollback goes through; the new attachment finds no server.
        QTest::newRow("connect, roll back")
            << "connect" << QList<A>{A::No} << false
            << QStringLiteral("Failed to establish a connection.");
        QTest::newRow("disconnect") << "disconnect" << QList<A>{A::Ok} << false << commit;
        QTest::newRow("exit") << "exit" << QList<A>{A::Ok, A::Yes} << false << commit;
    }

    void killedDuringTransaction()
    {
        QFETCH(QString, next);
        QFETCH(QList<Prompts::Answer>, answers);
        QFETCH(bool, autoCommit);
        QFETCH(QString, note);
        ServerDatabase db;
        ReliabilityFrame f(false);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION LOST_WORK 'never committed'")),
                 QString());
        QVERIFY(f.inTransaction());
        ProgramSettings::instance().AutoCommit = autoCommit;
        if (autoCommit)
            f.frame->panel(2)->setText(QStringLiteral("AUTO"));

        ReliabilityServer::kill();
        for (Prompts::Answer answer : answers)
            f.prompts.answers.enqueue(answer);
        QString shown;
        if (next == "commit")
            shown = f.run([&] { f.frame->MnCommitWorkClick(); });
        else if (next == "rollback")
            shown = f.run([&] { f.frame->MnRollBackWorkClick(); });
        else if (next == "statement")
            shown = f.execute(QStringLiteral("CREATE EXCEPTION MORE_WORK 'x'"));
        else if (next == "query")
            shown = f.run([] {
                CatalogQuery query;
                query.setLines({QStringLiteral("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS")});
                query.open();
            });
        else if (next == "connect")
            shown = f.connect(db.remote(), sysdba(), ReliabilityServer::password());
        else if (next == "disconnect")
            shown = f.run([&] { f.frame->MnDisconectClick(); });
        else if (next == "exit")
            shown = f.run([&] { QVERIFY(f.frame->close()); });

        if (note.isEmpty())
            QCOMPARE(shown, QString());
        else
            QVERIFY2(shown.endsWith(note), qPrintable(shown));
        QVERIFY(!f.inTransaction());
        // Told once: the loss said by the failed command is not said again.
        QCOMPARE(f.prompts.errors().size(), note.isEmpty() ? 0 : 1);
        if (next == "commit" || next == "statement" || next == "query")
            QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        expectRecovery(f, db);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME "
                           "= 'LOST_WORK'"), QStringLiteral("0"));
    }

    void killedWhileGridFetches_data()
    {
        QTest::addColumn<bool>("catalogue");
        QTest::newRow("data grid") << false;
        // Its rows are read ahead in the background, up to a limit.
        QTest::newRow("catalogue grid") << true;
    }

    // The grid has its first rows; the rest would stream in as it scrolls.
    void killedWhileGridFetches()
    {
        QFETCH(bool, catalogue);
        const QString select = QStringLiteral("SELECT ID, NAME FROM BIG ORDER BY ID");
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE TABLE BIG (ID INTEGER, NAME VARCHAR(40))"),
                    QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                                   "WHILE (I < 40000) DO BEGIN "
                                   "INSERT INTO BIG VALUES (:I, 'row ' || :I); "
                                   "I = I + 1; END END")});
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        CatalogQuery catalogueQuery;
        QSqlQueryModel dataQuery;
        QSqlQueryModel &query = catalogue ? catalogueQuery : dataQuery;
        QTableView grid;
        grid.setModel(&query);
        grid.resize(300, 200);
        grid.show();
        catalogueQuery.setLines({select});
        if (catalogue)
            QCOMPARE(f.run([&] { catalogueQuery.open(); }), QString());
        else
            dataQuery.setQuery(QSqlQuery(select, QSqlDatabase::database(TDMSys::ibName())));
        QVERIFY(query.canFetchMore());
        const int fetched = query.rowCount();

        ReliabilityServer::kill();
        grid.scrollToBottom();
        QCoreApplication::processEvents();
        // The client may still hold rows the server sent before it died.
        while (query.canFetchMore())
            query.fetchMore();
        QVERIFY(query.rowCount() >= fetched);
        QVERIFY(query.rowCount() < 40000);
        QCOMPARE(query.data(query.index(0, 1)).toString(), QStringLiteral("row 0"));
        // Met while the grid scrolled, outside any command: told all the same.
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QTRY_COMPARE(f.prompts.errors().size(), 1);
        QVERIFY2(f.prompts.errors().first().endsWith(
                     QStringLiteral("\nThe connection to the database was lost.")),
                 qPrintable(f.prompts.errors().first()));
        // Until the user connects again, no query attaches behind the frame's back.
        QCOMPARE(f.run([&] { catalogueQuery.open(); }),
                 QStringLiteral("The connection to the database was lost."));

        expectRecovery(f, db);
        QCOMPARE(f.run([&] {
            catalogueQuery.open();
            catalogueQuery.fetchAll();
        }), QString());
        QCOMPARE(catalogueQuery.rowCount(), 40000);
    }

    // The server dies while the data view holds an edit and the tool's
    // transaction holds work: the post says so once, the frame shows the
    // loss, the edit stays, and after File > Connect to the same database it
    // is posted, once.
    void lostUnderDataViewEdit()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                   "NOTE VARCHAR(30))"),
                    QStringLiteral("INSERT INTO T VALUES (1, 'one')")});
        ReliabilityFrame f(false);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION LOST_WORK 'never committed'")),
                 QString());
        f.run([] { OpenDataView(QStringLiteral("T")); });
        QMdiSubWindow *window = f.frame->mdiArea()->activeSubWindow();
        auto *form = window ? qobject_cast<TDataForm *>(window->widget()) : nullptr;
        QVERIFY(form);
        form->table()->setValue(QStringLiteral("NOTE"), QStringLiteral("mine"));

        ReliabilityServer::kill();
        const QString shown = f.run([&] { form->table()->post(); });
        QVERIFY2(shown.endsWith(QStringLiteral("\nThe connection to the database was lost; the "
                                               "work of the open transaction was not "
                                               "committed.")),
                 qPrintable(shown));
        QCOMPARE(f.prompts.errors().size(), 1);
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QCOMPARE(f.panel(2), QString());
        QVERIFY(!f.frame->MnCommitWork->isEnabled());
        QVERIFY(!f.frame->MnRollBackWork->isEnabled());
        QCOMPARE(form->table()->state(), TableNavigator::State::Edit);
        QCOMPARE(form->SrcTable->data(form->SrcTable->index(0, 1)).toString(),
                 QStringLiteral("mine"));

        ReliabilityServer::restart();
        // Another database would leave the window showing what is not there.
        QCOMPARE(f.connect(db.remote() + QStringLiteral(".other"), sysdba(),
                           ReliabilityServer::password()),
                 QStringLiteral("Close opened windows first."));
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        QCOMPARE(f.panel(1), QStringLiteral("Connected"));
        QCOMPARE(f.run([&] { form->table()->post(); }), QString());
        QCOMPARE(db.scalar(QStringLiteral("SELECT LIST(ID || ':' || NOTE) FROM T")),
                 QStringLiteral("1:mine"));
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME "
                           "= 'LOST_WORK'"), QStringLiteral("0"));
    }

    // With auto-commit off a refused statement leaves the transaction as it
    // was: the work before it is still there to commit or roll back.
    void refusedMidTransaction_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<bool>("commit");
        const QString duplicate = QStringLiteral("CREATE EXCEPTION FIRST_ONE 'again'");
        const QString syntax = QStringLiteral("CREATE EXCEPTON SECOND 'typo'");
        const QString longName = QStringLiteral("CREATE EXCEPTION ") + QString(40, u'L')
                                 + QStringLiteral(" 'too long'");
        const QString unknown = QStringLiteral("DROP EXCEPTION NOT_THERE");
        for (bool commit : {true, false}) {
            const char *end = commit ? "commit" : "rollback";
            QTest::addRow("duplicate, %s", end) << duplicate << commit;
            QTest::addRow("syntax, %s", end) << syntax << commit;
            QTest::addRow("long name, %s", end) << longName << commit;
            QTest::addRow("unknown object, %s", end) << unknown << commit;
        }
    }

    void refusedMidTransaction()
    {
        QFETCH(QString, refused);
        QFETCH(bool, commit);
        ServerDatabase db;
        ReliabilityFrame f(false);
        QCOMPARE(f.connect(db.remote(), sysdba(), ReliabilityServer::password()), QString());
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION FIRST_ONE 'one'")), QString());
        QVERIFY(!f.execute(refused).isEmpty());
        QVERIFY(f.inTransaction());
        QVERIFY(f.transactionShownRightly());
        QCOMPARE(f.execute(QStringLiteral("CREATE EXCEPTION AFTER_REFUSAL 'two'")), QString());
        QCOMPARE(f.run([&] {
            commit ? f.frame->MnCommitWorkClick() : f.frame->MnRollBackWorkClick();
        }), QString());
        QVERIFY(!f.inTransaction());
        QVERIFY(f.transactionShownRightly());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME IN "
                           "('FIRST_ONE', 'AFTER_REFUSAL')"),
                 commit ? QStringLiteral("2") : QStringLiteral("0"));
    }
};

QUORVEL_TEST_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
