#include "app/TMainForm.h"
#include "catalog/TUserDlg.h"
#include "catalog/TUsersForm.h"
#include "controls/TOfficeButton.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/ScopedFormRunner.h"
#include "support/ServerLogin.h"
#include "support/TestMain.h"
#include "workbench/TSQLSourceForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlDatabase>
#include <QSqlError>

#include <functional>

// The users window on a real server's security database, each change
// checked by logging in as the user it made.
class TestServerUsers : public QObject
{
    Q_OBJECT

private:
    static QString newUser() { return QStringLiteral("QV_NEW_USER"); }
    static QString plainUser() { return QStringLiteral("QV_PLAIN_USER"); }

    // The server's refusal of a login, or empty when it lets the user in.
    static QString loginRefusal(const QString &path, const QString &user, const QString &password)
    {
        const QString name = QStringLiteral("login-check");
        QString refusal;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("INTRBASE"), name);
            db.setDatabaseName(path);
            db.setUserName(user);
            db.setPassword(password);
            if (!db.open())
                refusal = db.lastError().text();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return refusal;
    }

    // Fills the user dialog, approves the statement and records what it showed.
    static ScopedFormRunner approving(const std::function<void(TUserDlg *)> &fill,
                                      QStringList &shown)
    {
        return ScopedFormRunner([fill, &shown](QDialog *dialog) {
            if (auto *user = qobject_cast<TUserDlg *>(dialog))
                fill(user);
            if (auto *preview = qobject_cast<TSQLSourceForm *>(dialog))
                shown << preview->lines();
            return int(QDialog::Accepted);
        });
    }

    static QString attributes(const ServerDatabase &db, const QString &user)
    {
        return db.scalar(QStringLiteral(
                             "SELECT COALESCE(SEC$FIRST_NAME, '') || '|' || COALESCE(SEC$LAST_NAME, '') || '|' || "
                             "TRIM(IIF(SEC$ACTIVE, 'active', 'inactive')) || '|' || "
                             "COALESCE((SELECT LIST(SEC$KEY || '=' || SEC$VALUE) FROM "
                             "SEC$USER_ATTRIBUTES A WHERE A.SEC$USER_NAME = U.SEC$USER_NAME), '') "
                             "FROM SEC$USERS U WHERE SEC$USER_NAME = '%1'")
                             .arg(user));
    }

private slots:
    void initTestCase()
    {
        if (!ServerLogin::prepareUsers({plainUser()}, QStringLiteral("plain-pw")))
            QSKIP("needs the fbserver CTest fixture");
        ServerDatabase db;
        db.execute({QStringLiteral("ALTER USER %1 FIRSTNAME 'Pat'").arg(plainUser())});
        const QString dropped = db.scalar(QStringLiteral(
            "SELECT COUNT(*) FROM SEC$USERS WHERE SEC$USER_NAME = 'QV_NEW_USER'"));
        if (dropped != u"0")
            db.execute({QStringLiteral("DROP USER QV_NEW_USER")});
    }

    void init() { ReliabilityServer::ensureRunning(); }

    void createAlterDropThroughTheWindow()
    {
        ServerDatabase db;
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TUsersForm *form = ServerLogin::openWindow(f, &TUsersForm::open);
        QVERIFY(form);
        QVERIFY(form->OwnEntryLabel->isHidden());
        QStringList shown;
        {
            const ScopedFormRunner runner = approving(
                [](TUserDlg *dlg) {
                    dlg->NameEdit->setText(QStringLiteral("qv_new_user"));
                    dlg->PasswordEdit->setText(QStringLiteral("first-pw"));
                    dlg->FirstNameEdit->setText(QStringLiteral("Ann"));
                    dlg->TagsEdit->setText(QStringLiteral("dept=ops"));
                },
                shown);
            QCOMPARE(f.run([form] { form->NewBtnClick(); }), QString());
        }
        QCOMPARE(shown, QStringList{QStringLiteral("CREATE USER QV_NEW_USER PASSWORD \"********\" "
                                                   "FIRSTNAME \"Ann\" TAGS (DEPT = \"ops\")")});
        QCOMPARE(attributes(db, newUser()), QStringLiteral("Ann||active|DEPT=ops"));
        QCOMPARE(loginRefusal(db.remote(), newUser(), QStringLiteral("first-pw")), QString());

        QVERIFY(form->selectUser(newUser()));
        shown.clear();
        {
            const ScopedFormRunner runner = approving(
                [](TUserDlg *dlg) {
                    dlg->PasswordEdit->setText(QStringLiteral("second-pw"));
                    dlg->LastNameEdit->setText(QStringLiteral("Lee"));
                    dlg->TagsEdit->clear();
                },
                shown);
            QCOMPARE(f.run([form] { form->EditBtnClick(); }), QString());
        }
        QCOMPARE(shown, QStringList{QStringLiteral("ALTER USER QV_NEW_USER SET PASSWORD "
                                                   "\"********\" LASTNAME \"Lee\" USING PLUGIN Srp "
                                                   "TAGS (DROP DEPT)")});
        QCOMPARE(attributes(db, newUser()), QStringLiteral("Ann|Lee|active|"));
        QVERIFY(!loginRefusal(db.remote(), newUser(), QStringLiteral("first-pw")).isEmpty());
        QCOMPARE(loginRefusal(db.remote(), newUser(), QStringLiteral("second-pw")), QString());

        QVERIFY(form->selectUser(newUser()));
        shown.clear();
        {
            const ScopedFormRunner runner = approving([](TUserDlg *) {}, shown);
            QCOMPARE(f.run([form] { form->DeleteBtnClick(); }), QString());
        }
        QCOMPARE(shown, QStringList{QStringLiteral("DROP USER QV_NEW_USER USING PLUGIN Srp")});
        QVERIFY(!form->selectUser(newUser()));
        QVERIFY(!loginRefusal(db.remote(), newUser(), QStringLiteral("second-pw")).isEmpty());
    }

    void nonAdministratorChangesOnlyOwnEntry()
    {
        ServerDatabase db;
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), plainUser(), QStringLiteral("plain-pw")), QString());
        TUsersForm *form = ServerLogin::openWindow(f, &TUsersForm::open);
        QVERIFY(form);
        QCOMPARE(form->users().size(), 1);
        QCOMPARE(form->users().first().name, plainUser());
        QVERIFY(!form->OwnEntryLabel->isHidden());
        QVERIFY(!form->NewBtn->isEnabled() && !form->DeleteBtn->isEnabled());
        QCOMPARE(f.run([form] { form->NewBtnClick(); }),
                 QStringLiteral("Only administrators create users."));
        QVERIFY(form->selectUser(plainUser()));
        QStringList shown;
        bool adminOffered = true;
        {
            const ScopedFormRunner runner = approving(
                [&adminOffered](TUserDlg *dlg) {
                    adminOffered = dlg->AdminBox->isEnabled() || dlg->ActiveBox->isEnabled();
                    dlg->FirstNameEdit->setText(QStringLiteral("Patricia"));
                },
                shown);
            QCOMPARE(f.run([form] { form->EditBtnClick(); }), QString());
        }
        QVERIFY(!adminOffered);
        QCOMPARE(shown, QStringList{QStringLiteral("ALTER USER QV_PLAIN_USER SET FIRSTNAME "
                                                   "\"Patricia\" USING PLUGIN Srp")});
        QCOMPARE(attributes(db, plainUser()), QStringLiteral("Patricia||active|"));
    }
};

QUORVEL_TEST_MAIN(TestServerUsers)
#include "tst_serverusers.moc"
