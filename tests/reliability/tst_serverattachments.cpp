#include "app/TMainForm.h"
#include "catalog/TAttachmentsForm.h"
#include "controls/TOfficeButton.h"
#include "support/OtherUser.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/ServerLogin.h"
#include "support/TestMain.h"

#include <QSpinBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include <future>
#include <thread>

// Who is in the database: the attachments window against other users'
// attachments on a real server, its cancel and disconnect included.
class TestServerAttachments : public QObject
{
    Q_OBJECT

private:
    static QString worker() { return QStringLiteral("QV_MON_WORKER"); }
    static QString watcher() { return QStringLiteral("QV_MON_WATCHER"); }
    static QString userPassword() { return QStringLiteral("mon-pw"); }
    // Runs until cancelled: far longer than any test waits.
    static QString longStatement()
    {
        return QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; "
                              "BEGIN WHILE (I < 2000000000) DO I = I + 1; END");
    }

    static QStringList users(const TAttachmentsForm *form)
    {
        QStringList names;
        for (const MonitorSnapshot::Row &row : form->snapshot().attachments)
            names << row.user;
        names.sort();
        return names;
    }

    // The attachment of the user other than the window's own, once listed.
    static const MonitorSnapshot::Row *otherAttachment(const TAttachmentsForm *form,
                                                       const QString &user)
    {
        for (const MonitorSnapshot::Row &row : form->snapshot().attachments) {
            if (row.user == user && row.id != form->snapshot().ownAttachment)
                return &row;
        }
        return nullptr;
    }

    // The worker's statement, refreshing until the server shows it running.
    static qint64 runningStatement(ReliabilityFrame &f, TAttachmentsForm *form)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            f.run([form] { form->RefreshBtnClick(); });
            for (const MonitorSnapshot::Row &row : form->snapshot().statements) {
                if (row.user == worker() && row.values.at(2).toString() == u"Active"
                    && row.values.last().toString().startsWith(u"EXECUTE BLOCK"))
                    return row.id;
            }
            QTest::qWait(50);
        }
        return 0;
    }

private slots:
    void initTestCase()
    {
        if (!ServerLogin::prepareUsers({worker(), watcher()}, userPassword()))
            QSKIP("needs the fbserver CTest fixture");
    }

    void init() { ReliabilityServer::ensureRunning(); }

    void administratorSeesEveryAttachmentAndOwnIsMarked()
    {
        ServerDatabase db;
        OtherUser second(db.remote(), worker(), userPassword());
        OtherUser third(db.remote(), watcher(), userPassword());
        second.execute(QStringLiteral("EXECUTE BLOCK AS BEGIN END"));
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form);
        QCOMPARE(users(form), (QStringList{QStringLiteral("QV_MON_WATCHER"),
                                           QStringLiteral("QV_MON_WORKER"),
                                           QStringLiteral("SYSDBA")}));
        QVERIFY(form->LimitedLabel->isHidden());
        // The own attachment comes selected, marked, and with no disconnect.
        const QTreeWidgetItem *current = form->AttachmentList->currentItem();
        QVERIFY(current);
        QCOMPARE(current->text(0), QStringLiteral("Yes"));
        QCOMPARE(current->text(1).toLongLong(), form->snapshot().ownAttachment);
        QVERIFY(!form->DisconnectBtn->isEnabled());
        // The worker's open transaction is listed with the header's markers.
        const MonitorSnapshot::Row *other = otherAttachment(form, worker());
        QVERIFY(other);
        QCOMPARE(form->snapshot().transactionsOf(other->id).size(), 1);
        const IbTransactionCounters &c = form->snapshot().counters;
        QVERIFY(c.oldestInteresting <= c.oldestActive && c.oldestActive < c.next);
        QVERIFY(form->CountersLabel->text().startsWith(u"Oldest interesting "));
        QCOMPARE(f.prompts.errors(), QStringList());
    }

    void nonAdministratorSeesOnlyOwnAttachment()
    {
        ServerDatabase db;
        OtherUser administrator(db.remote(), ReliabilityServer::password());
        OtherUser colleague(db.remote(), worker(), userPassword());
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), watcher(), userPassword()), QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form);
        QCOMPARE(users(form), QStringList{watcher()});
        QVERIFY(!form->LimitedLabel->isHidden());
        QCOMPARE(form->LimitedLabel->text(),
                 QStringLiteral("Only your own attachments are shown: the server shows other "
                                "users' attachments to administrators and the database owner."));
    }

    void ownAttachmentIsNotDisconnected()
    {
        ServerDatabase db;
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form && form->selectAttachment(form->snapshot().ownAttachment));
        QCOMPARE(f.run([form] { form->DisconnectBtnClick(); }),
                 QStringLiteral("Your own attachment cannot be disconnected from here."));
        QCOMPARE(f.prompts.questions(), QStringList());
        QCOMPARE(f.run([form] { form->RefreshBtnClick(); }), QString());
    }

    // Asked first, naming user and attachment; the answer decides.
    void cancelStatementEndsAnotherAttachmentsStatement()
    {
        ServerDatabase db;
        OtherUser other(db.remote(), worker(), userPassword());
        auto running = std::async(std::launch::async,
                                  [&other] { return other.attempt(longStatement()); });
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form);
        const qint64 statement = runningStatement(f, form);
        QVERIFY(statement != 0);
        const MonitorSnapshot::Row *attachment = otherAttachment(form, worker());
        QVERIFY(attachment && form->selectAttachment(attachment->id));
        QVERIFY(form->selectStatement(statement));
        const QString question = QStringLiteral("Cancel statement %1 of user QV_MON_WORKER "
                                                "(attachment %2)?")
                                     .arg(statement)
                                     .arg(attachment->id);
        f.prompts.answers.enqueue(Prompts::Answer::Cancel);
        QCOMPARE(f.run([form] { form->CancelStatementBtnClick(); }), QString());
        QCOMPARE(running.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
        QVERIFY(form->selectAttachment(attachment->id) && form->selectStatement(statement));
        f.prompts.answers.enqueue(Prompts::Answer::Ok);
        QCOMPARE(f.run([form] { form->CancelStatementBtnClick(); }), QString());
        QCOMPARE(f.prompts.questions(), (QStringList{question, question}));
        QCOMPARE(running.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        QVERIFY2(running.get().contains(u"cancelled"), "the worker's statement was not cancelled");
        // The attachment itself stays and goes on working.
        QCOMPARE(other.attempt(QStringLiteral("EXECUTE BLOCK AS BEGIN END")), QString());
    }

    void disconnectEndsAnotherAttachment()
    {
        ServerDatabase db;
        OtherUser other(db.remote(), worker(), userPassword());
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form);
        const MonitorSnapshot::Row *attachment = otherAttachment(form, worker());
        QVERIFY(attachment);
        const qint64 id = attachment->id;
        QVERIFY(form->selectAttachment(id));
        QVERIFY(form->DisconnectBtn->isEnabled());
        f.prompts.answers.enqueue(Prompts::Answer::Ok);
        QCOMPARE(f.run([form] { form->DisconnectBtnClick(); }), QString());
        QCOMPARE(f.prompts.questions(),
                 QStringList{QStringLiteral("Disconnect attachment %1 of user QV_MON_WORKER?")
                                 .arg(id)});
        QVERIFY(!form->snapshot().attachment(id));
        const QString refusal = other.attempt(QStringLiteral("EXECUTE BLOCK AS BEGIN END"));
        QVERIFY2(refusal.contains(u"shutdown"), qPrintable(refusal));
    }

    // The server dies while the window reads its snapshot: the standard
    // error box says so once, the window keeps the rows it showed, and the
    // timer that met the loss is switched off rather than ask every period.
    void serverLostMidRefresh()
    {
        ServerDatabase db;
        OtherUser other(db.remote(), worker(), userPassword());
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db), QString());
        TAttachmentsForm *form = ServerLogin::openWindow(f, &TAttachmentsForm::open);
        QVERIFY(form);
        const int shown = form->AttachmentList->topLevelItemCount();
        QCOMPARE(shown, 2);
        // Refreshes back to back while the server is killed from elsewhere:
        // one of them meets it dying.
        auto killing = std::async(std::launch::async, [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ReliabilityServer::kill();
        });
        QString refusal;
        for (int attempt = 0; attempt < 2000 && refusal.isEmpty(); ++attempt)
            refusal = f.run([form] { form->RefreshBtnClick(); });
        killing.wait();
        QVERIFY2(refusal.endsWith(u"The connection to the database was lost."),
                 qPrintable(refusal));
        QCOMPARE(f.prompts.errors().size(), 1);
        QCOMPARE(f.panel(1), QStringLiteral("Disconnected"));
        QCOMPARE(form->AttachmentList->topLevelItemCount(), shown);
        QCOMPARE(form->snapshot().attachments.size(), shown);

        form->RefreshEvery->setValue(1);
        QTRY_COMPARE_WITH_TIMEOUT(f.prompts.errors().size(), 2, 5000);
        QCOMPARE(form->RefreshEvery->value(), 0);
        QTest::qWait(1500);
        QCOMPARE(f.prompts.errors().size(), 2);
        ReliabilityServer::restart();
    }
};

QUORVEL_TEST_MAIN(TestServerAttachments)
#include "tst_serverattachments.moc"
