#include "catalog/TRolesForm.h"

#include "catalog/AdminWindow.h"
#include "catalog/TRoleGrantDlg.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "core/AppError.h"
#include "ibdb/TDMSys.h"
#include "schema/SystemPrivileges.h"
#include "schema/TypedName.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/Prompts.h"

#include <QMenu>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum RoleColumn { NameColumn = 0, OwnerColumn = 1, PrivilegesColumn = 2 };

using AdminWindow::connection;
using AdminWindow::dialect;

using AdminWindow::yesNo;

QStringList checkedPrivileges(const QString &typed)
{
    const QStringList known = SystemPrivileges::known();
    QStringList privileges;
    for (const QString &item : typed.split(u',', Qt::SkipEmptyParts)) {
        const QString name = item.trimmed().toUpper();
        if (!known.contains(name))
            throw GeneralError(QStringLiteral("\"%1\" is no system privilege").arg(item.trimmed()));
        privileges << name;
    }
    return privileges;
}

} // namespace

TRolesForm *TRolesForm::open()
{
    return openInFrame<TRolesForm>(&TRolesForm::FormCreate);
}

TRolesForm::TRolesForm(QWidget *parent) : TChildForm(parent), GrantDlg(new TRoleGrantDlg(this))
{
    setWindowTitle(QStringLiteral("Roles"));
    createToolPanel();
    createMenu();
    RoleList = AdminWindow::createList(this, QStringLiteral("Roles"),
                          {QStringLiteral("Role"), QStringLiteral("Owner"),
                           QStringLiteral("System privileges")});
    HolderList = AdminWindow::createList(this, QStringLiteral("Holders"),
                            {QStringLiteral("Grantee"), QStringLiteral("Kind"),
                             QStringLiteral("Admin option"), QStringLiteral("Grantor")});
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(RoleList);
    splitter->addWidget(HolderList);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(splitter);
    connect(RoleList, &QTreeWidget::currentItemChanged, this, [this] { fillHolders(); });
    resize(640, 320);
}

void TRolesForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    NewBtn = ComPanel->addButton(QStringLiteral("new"), QStringLiteral("Create new role"));
    DropBtn = ComPanel->addButton(QStringLiteral("delete"), QStringLiteral("Drop role"));
    GrantBtn = ComPanel->addCaptionButton(QStringLiteral("insert"), QStringLiteral("&Grant"),
                                          QStringLiteral("Grant the role to a user or role"));
    RevokeBtn = ComPanel->addCaptionButton(QStringLiteral("remove"), QStringLiteral("Re&voke"),
                                           QStringLiteral("Revoke the role from the grantee"));
    SystemPrivilegesBtn = ComPanel->addCaptionButton(
        QStringLiteral("edit"), QStringLiteral("S&ystem Privileges"),
        QStringLiteral("Sets the role's system privileges"));
    RefreshBtn = ComPanel->addButton(QStringLiteral("refresh"), QStringLiteral("Refresh roles"));
    ComPanel->addStretch();
    onClick(NewBtn, [this] { NewBtnClick(); });
    onClick(DropBtn, [this] { DropBtnClick(); });
    onClick(GrantBtn, [this] { GrantBtnClick(); });
    onClick(RevokeBtn, [this] { RevokeBtnClick(); });
    onClick(SystemPrivilegesBtn, [this] { SystemPrivilegesBtnClick(); });
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });
}

void TRolesForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Roles"));
    Command::addAction(
        menu, QStringLiteral("&New"), QStringLiteral("Create new role"),
        [this] { NewBtnClick(); }, QKeySequence(Qt::Key_Insert));
    Command::addAction(menu, QStringLiteral("&Drop"), QStringLiteral("Drop role"),
                       [this] { DropBtnClick(); });
    Command::addAction(menu, QStringLiteral("&Grant…"),
                       QStringLiteral("Grant the role to a user or role"),
                       [this] { GrantBtnClick(); });
    Command::addAction(menu, QStringLiteral("Re&voke"),
                       QStringLiteral("Revoke the role from the grantee"),
                       [this] { RevokeBtnClick(); });
    Command::addAction(menu, QStringLiteral("Revoke &Admin Option"),
                       QStringLiteral("Keeps the grant but takes the grantee's admin option"),
                       [this] { RevokeAdminOptionClick(); });
    Command::addAction(menu, QStringLiteral("S&ystem Privileges…"),
                       QStringLiteral("Sets the role's system privileges"),
                       [this] { SystemPrivilegesBtnClick(); });
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh roles"),
        [this] { RefreshBtnClick(); }, QKeySequence(Qt::Key_F5));
}

void TRolesForm::FormCreate()
{
    RefreshBtnClick();
}

void TRolesForm::RefreshBtnClick()
{
    const QString selected = selectedRole() ? selectedRole()->name : QString();
    m_systemPrivileges = RoleEntry::hasSystemPrivileges(connection());
    m_roles = RoleEntry::readAll(connection());
    fillRoles();
    if (!selectRole(selected) && !m_roles.isEmpty())
        RoleList->setCurrentItem(RoleList->topLevelItem(0));
}

void TRolesForm::fillRoles()
{
    RoleList->setColumnHidden(PrivilegesColumn, !m_systemPrivileges);
    SystemPrivilegesBtn->setVisible(m_systemPrivileges);
    const UpdatesSuspended suspended({RoleList});
    RoleList->clear();
    for (const RoleEntry &role : m_roles) {
        RoleList->addTopLevelItem(new QTreeWidgetItem(
            {role.name, role.owner, role.systemPrivileges.join(QStringLiteral(", "))}));
    }
    fillHolders();
}

void TRolesForm::fillHolders()
{
    const UpdatesSuspended suspended({HolderList});
    HolderList->clear();
    const RoleEntry *role = selectedRole();
    if (!role)
        return;
    for (const RoleEntry::Holder &holder : role->holders) {
        HolderList->addTopLevelItem(new QTreeWidgetItem(
            {holder.name, holder.isRole ? QStringLiteral("Role") : QStringLiteral("User"),
             yesNo(holder.adminOption), holder.grantor}));
    }
}

const RoleEntry *TRolesForm::selectedRole() const
{
    const int row = AdminWindow::currentRow(RoleList);
    return row >= 0 && row < m_roles.size() ? &m_roles[row] : nullptr;
}

const RoleEntry::Holder *TRolesForm::selectedHolder() const
{
    const RoleEntry *role = selectedRole();
    const int row = AdminWindow::currentRow(HolderList);
    return role && row >= 0 && row < role->holders.size() ? &role->holders[row] : nullptr;
}

bool TRolesForm::selectRole(const QString &name)
{
    return !name.isEmpty() && AdminWindow::selectText(RoleList, name);
}

bool TRolesForm::selectHolder(const QString &name)
{
    return AdminWindow::selectText(HolderList, name);
}

void TRolesForm::runApproved(const QString &statement)
{
    AdminWindow::runApproved(
        {statement}, [&statement] { DMSys->execute(statement); },
        [this] { RefreshBtnClick(); });
}

void TRolesForm::NewBtnClick()
{
    QString typed;
    if (!Prompts::instance().inputQuery(QStringLiteral("New Role"), QStringLiteral("Role name"),
                                        typed))
        return;
    const QString name = TypedName(typed, dialect());
    runApproved(RoleEntry::createText(name, dialect()));
    selectRole(name);
}

void TRolesForm::DropBtnClick()
{
    const RoleEntry *role = selectedRole();
    if (!role)
        return;
    runApproved(RoleEntry::dropText(role->name, dialect()));
}

void TRolesForm::GrantBtnClick()
{
    const RoleEntry *role = selectedRole();
    if (!role)
        return;
    const QString name = role->name;
    QStringList roleNames;
    for (const RoleEntry &each : m_roles)
        roleNames << each.name;
    GrantDlg->offer(name, AdminWindow::userNames(), roleNames);
    if (ModalForms::exec(GrantDlg) != QDialog::Accepted)
        return;
    RoleEntry::Holder grantee = GrantDlg->grantee();
    grantee.name = TypedName(grantee.name, dialect());
    runApproved(RoleEntry::grantText(name, grantee, dialect()));
    selectRole(name);
}

void TRolesForm::revoke(bool adminOptionOnly)
{
    const RoleEntry *role = selectedRole();
    const RoleEntry::Holder *holder = selectedHolder();
    if (!role || !holder)
        return;
    const QString name = role->name;
    runApproved(RoleEntry::revokeText(name, *holder, adminOptionOnly, dialect()));
    selectRole(name);
}

void TRolesForm::RevokeBtnClick()
{
    revoke(false);
}

void TRolesForm::RevokeAdminOptionClick()
{
    revoke(true);
}

void TRolesForm::SystemPrivilegesBtnClick()
{
    const RoleEntry *role = selectedRole();
    if (!role)
        return;
    if (!m_systemPrivileges)
        throw GeneralError(QStringLiteral("System privileges need a Firebird 4 database"));
    const QString name = role->name;
    QString typed = role->systemPrivileges.join(QStringLiteral(", "));
    if (!Prompts::instance().inputQuery(QStringLiteral("System Privileges"),
                                        QStringLiteral("System privileges of %1").arg(name),
                                        typed))
        return;
    runApproved(RoleEntry::systemPrivilegesText(name, checkedPrivileges(typed), dialect()));
    selectRole(name);
}
