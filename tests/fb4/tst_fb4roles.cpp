#include "catalog/TAttachmentsForm.h"
#include "catalog/TRolesForm.h"
#include "support/ScopedFormRunner.h"
#include "uikit/Command.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "workbench/TSQLSourceForm.h"

#include <QTreeWidget>

// Firebird 4's roles carry system privileges: the roles window shows them
// and sets them; the attachments window reads that server's monitoring.
class TestFb4Roles : public QObject
{
    Q_OBJECT

private:
    static QStringList privilegesOf(const TRolesForm *form, const QString &role)
    {
        for (const RoleEntry &entry : form->roles()) {
            if (entry.name == role)
                return entry.systemPrivileges;
        }
        return {QStringLiteral("(no role)")};
    }

private slots:
    void systemPrivilegesShownAndSet()
    {
        TestSession session(TestDatabase::firebird4(), 3);
        session.db.execute(
            QStringLiteral("CREATE ROLE R_OPS SET SYSTEM PRIVILEGES TO MONITOR_ANY_ATTACHMENT"));
        TestShell shell;
        ScriptedPrompts prompts;
        QStringList shown;
        const ScopedFormRunner runner([&shown](QDialog *dialog) {
            if (auto *preview = qobject_cast<TSQLSourceForm *>(dialog))
                shown << preview->lines();
            return int(QDialog::Accepted);
        });
        TRolesForm *form = TRolesForm::open();
        QCOMPARE(prompts.errors().join(u'|'), QString());
        QVERIFY(form->selectRole(QStringLiteral("R_OPS")));
        QCOMPARE(form->RoleList->currentItem()->text(2), QStringLiteral("MONITOR_ANY_ATTACHMENT"));
        QVERIFY(!form->RoleList->isColumnHidden(2));

        prompts.inputs.enqueue(QStringLiteral("monitor_any_attachment, USER_MANAGEMENT"));
        Command::run([form] { form->SystemPrivilegesBtnClick(); });
        QCOMPARE(privilegesOf(form, QStringLiteral("R_OPS")),
                 (QStringList{QStringLiteral("USER_MANAGEMENT"),
                              QStringLiteral("MONITOR_ANY_ATTACHMENT")}));
        prompts.inputs.enqueue(QStringLiteral("USER_MANAGEMENT, SHUTDOWN_EVERYTHING"));
        Command::run([form] { form->SystemPrivilegesBtnClick(); });
        prompts.inputs.enqueue(QString());
        Command::run([form] { form->SystemPrivilegesBtnClick(); });
        QCOMPARE(privilegesOf(form, QStringLiteral("R_OPS")), QStringList());
        QCOMPARE(shown, (QStringList{
                            QStringLiteral("ALTER ROLE R_OPS SET SYSTEM PRIVILEGES TO "
                                           "MONITOR_ANY_ATTACHMENT, USER_MANAGEMENT"),
                            QStringLiteral("ALTER ROLE R_OPS DROP SYSTEM PRIVILEGES")}));
        QCOMPARE(prompts.errors(),
                 QStringList{QStringLiteral("\"SHUTDOWN_EVERYTHING\" is no system privilege.")});
        delete form;
    }

    void attachmentsReadOnFirebird4()
    {
        TestSession session(TestDatabase::firebird4(), 3);
        TestShell shell;
        ScriptedPrompts prompts;
        TAttachmentsForm *form = TAttachmentsForm::open();
        QCOMPARE(prompts.errors(), QStringList());
        QVERIFY(form->snapshot().seesAll);
        QVERIFY(form->snapshot().attachment(form->snapshot().ownAttachment));
        QVERIFY(!form->AttachmentList->currentItem()->text(9).isEmpty());
        delete form;
    }
};

QUORVEL_TEST_MAIN(TestFb4Roles)
#include "tst_fb4roles.moc"
