#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "catalog/TRoleGrantDlg.h"
#include "catalog/TRolesForm.h"
#include "controls/TOfficeButton.h"
#include "core/ProgramSettings.h"
#include "support/OtherUser.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/ScopedFormRunner.h"
#include "support/ServerLogin.h"
#include "support/TestMain.h"
#include "workbench/TSQLSourceForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QTreeWidget>

// Roles on a real server: logging in with one, and the roles window's
// grants, ADMIN OPTION included, checked in the catalogue and by the
// grantee using them.
class TestServerRoles : public QObject
{
    Q_OBJECT

private:
    static QString member() { return QStringLiteral("QV_ROLE_MEMBER"); }
    static QString bystander() { return QStringLiteral("QV_ROLE_BYSTANDER"); }
    static QString password() { return QStringLiteral("role-pw"); }

    // Approves every statement shown, recording it; fills the grant dialog.
    static ScopedFormRunner approving(QStringList &shown, const QString &grantee = QString(),
                                      bool toRole = false, bool adminOption = false)
    {
        return ScopedFormRunner([=, &shown](QDialog *dialog) {
            if (auto *grant = qobject_cast<TRoleGrantDlg *>(dialog)) {
                grant->KindBox->setCurrentIndex(toRole ? 1 : 0);
                grant->NameBox->setEditText(grantee);
                grant->AdminOptionBox->setChecked(adminOption);
            }
            if (auto *preview = qobject_cast<TSQLSourceForm *>(dialog))
                shown << preview->lines();
            return int(QDialog::Accepted);
        });
    }

    static QString holders(const TRolesForm *form, const QString &role)
    {
        QStringList texts;
        for (const RoleEntry &entry : form->roles()) {
            if (entry.name != role)
                continue;
            for (const RoleEntry::Holder &holder : entry.holders)
                texts << QStringLiteral("%1:%2:%3").arg(holder.name,
                                                        holder.isRole ? u"role" : u"user",
                                                        holder.adminOption ? u"admin" : u"-");
        }
        return texts.join(u' ');
    }

private slots:
    void initTestCase()
    {
        if (!ServerLogin::prepareUsers({member(), bystander()}, password()))
            QSKIP("needs the fbserver CTest fixture");
    }

    void init() { ReliabilityServer::ensureRunning(); }

    // The role reaches the attachment and is offered again for its path only.
    void loginWithRole()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE ROLE QV_READER"),
                    QStringLiteral("GRANT QV_READER TO USER %1").arg(member())});
        ProgramSettings::instance().LoginRoles.clear();
        ReliabilityFrame f(true);
        QCOMPARE(f.connect(db.remote(), member(), password(), QStringLiteral("QV_READER")),
                 QString());
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("IBB")));
        QVERIFY(query.exec(QStringLiteral("SELECT CURRENT_ROLE FROM RDB$DATABASE")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("QV_READER"));
        QCOMPARE(ProgramSettings::instance().LoginRoles,
                 (QMap<QString, QString>{{db.remote(), QStringLiteral("QV_READER")}}));
        TDBEntryDlg *dialog = f.frame->DBEntryDlg;
        dialog->dbPath->setEditText(QStringLiteral("/elsewhere/other.fdb"));
        QCOMPARE(dialog->Role->text(), QString());
        dialog->dbPath->setEditText(db.remote());
        QCOMPARE(dialog->Role->text(), QStringLiteral("QV_READER"));
        // A role the user does not hold: the server attaches without it.
        QCOMPARE(f.run([&f] { f.frame->MnDisconect->trigger(); }), QString());
        QCOMPARE(f.connect(db.remote(), bystander(), password(), QStringLiteral("QV_READER")),
                 QString());
        QSqlQuery again(QSqlDatabase::database(QStringLiteral("IBB")));
        QVERIFY(again.exec(QStringLiteral("SELECT CURRENT_ROLE FROM RDB$DATABASE")));
        QVERIFY(again.next());
        QCOMPARE(again.value(0).toString(), QStringLiteral("NONE"));
    }

    void createGrantRevokeDrop()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER)")});
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TRolesForm *form = ServerLogin::openWindow(f, &TRolesForm::open);
        QVERIFY(form);
        QVERIFY(form->SystemPrivilegesBtn->isHidden());
        QStringList shown;
        f.prompts.inputs.enqueue(QStringLiteral("qv_clerk"));
        {
            const ScopedFormRunner runner = approving(shown);
            QCOMPARE(f.run([form] { form->NewBtnClick(); }), QString());
        }
        QVERIFY(form->selectRole(QStringLiteral("QV_CLERK")));
        {
            const ScopedFormRunner runner =
                approving(shown, member().toLower(), false, true);
            QCOMPARE(f.run([form] { form->GrantBtnClick(); }), QString());
        }
        QCOMPARE(holders(form, QStringLiteral("QV_CLERK")),
                 QStringLiteral("QV_ROLE_MEMBER:user:admin"));
        // The admin option lets the member pass the role on.
        {
            OtherUser holder(db.remote(), member(), password(), QStringLiteral("QV_CLERK"));
            QCOMPARE(holder.attempt(QStringLiteral("GRANT QV_CLERK TO USER %1").arg(bystander())),
                     QString());
            holder.commit();
        }
        QCOMPARE(f.run([form] { form->RefreshBtnClick(); }), QString());
        QCOMPARE(holders(form, QStringLiteral("QV_CLERK")),
                 QStringLiteral("QV_ROLE_BYSTANDER:user:- QV_ROLE_MEMBER:user:admin"));
        QVERIFY(form->selectRole(QStringLiteral("QV_CLERK")));
        QVERIFY(form->selectHolder(member()));
        {
            const ScopedFormRunner runner = approving(shown);
            QCOMPARE(f.run([form] { form->RevokeAdminOptionClick(); }), QString());
        }
        // The server takes back what the member granted with the option too.
        QCOMPARE(holders(form, QStringLiteral("QV_CLERK")),
                 QStringLiteral("QV_ROLE_MEMBER:user:-"));
        {
            OtherUser holder(db.remote(), member(), password(), QStringLiteral("QV_CLERK"));
            QVERIFY(!holder.attempt(QStringLiteral("GRANT QV_CLERK TO USER SYSDBA")).isEmpty());
        }
        QVERIFY(form->selectRole(QStringLiteral("QV_CLERK")));
        QVERIFY(form->selectHolder(member()));
        {
            const ScopedFormRunner runner = approving(shown);
            QCOMPARE(f.run([form] { form->RevokeBtnClick(); }), QString());
        }
        QCOMPARE(holders(form, QStringLiteral("QV_CLERK")), QString());
        QVERIFY(form->selectRole(QStringLiteral("QV_CLERK")));
        {
            const ScopedFormRunner runner = approving(shown);
            QCOMPARE(f.run([form] { form->DropBtnClick(); }), QString());
        }
        QCOMPARE(shown, (QStringList{
                            QStringLiteral("CREATE ROLE QV_CLERK"),
                            QStringLiteral("GRANT QV_CLERK TO USER QV_ROLE_MEMBER WITH ADMIN OPTION"),
                            QStringLiteral("REVOKE ADMIN OPTION FOR QV_CLERK FROM USER QV_ROLE_MEMBER"),
                            QStringLiteral("REVOKE QV_CLERK FROM USER QV_ROLE_MEMBER"),
                            QStringLiteral("DROP ROLE QV_CLERK")}));
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT COUNT(*) FROM RDB$ROLES WHERE RDB$ROLE_NAME = 'QV_CLERK'")),
                 QStringLiteral("0"));
        QCOMPARE(f.prompts.errors(), QStringList());
    }

    void roleGrantedToRole()
    {
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE ROLE QV_BASE"), QStringLiteral("CREATE ROLE QV_LEAD")});
        ReliabilityFrame f(true);
        QCOMPARE(ServerLogin::asAdministrator(f, db),
                 QString());
        TRolesForm *form = ServerLogin::openWindow(f, &TRolesForm::open);
        QVERIFY(form && form->selectRole(QStringLiteral("QV_BASE")));
        QStringList shown;
        const ScopedFormRunner runner = approving(shown, QStringLiteral("QV_LEAD"), true);
        const QString refusal = f.run([form] { form->GrantBtnClick(); });
        QCOMPARE(shown, QStringList{QStringLiteral("GRANT QV_BASE TO ROLE QV_LEAD")});
        // Whatever the server makes of it, the window shows the catalogue's answer.
        if (refusal.isEmpty())
            QCOMPARE(holders(form, QStringLiteral("QV_BASE")), QStringLiteral("QV_LEAD:role:-"));
        else
            QCOMPARE(holders(form, QStringLiteral("QV_BASE")), QString());
    }
};

QUORVEL_TEST_MAIN(TestServerRoles)
#include "tst_serverroles.moc"
