#pragma once

#include "schema/RoleEntry.h"
#include "uikit/TChildForm.h"

class QTreeWidget;
class TOfficeButton;
class TRoleGrantDlg;
class TToolPanel;

// The roles of the database and who holds each, ADMIN OPTION shown; creates
// and drops roles, grants and revokes them to and from users and roles, and
// on Firebird 4 shows and sets a role's system privileges. Every statement
// is shown before it runs.
class TRolesForm : public TChildForm
{
    Q_OBJECT

public:
    static TRolesForm *open();

    explicit TRolesForm(QWidget *parent = nullptr);

    void RefreshBtnClick();
    void NewBtnClick();
    void DropBtnClick();
    void GrantBtnClick();
    void RevokeBtnClick();
    void RevokeAdminOptionClick();
    void SystemPrivilegesBtnClick();
    bool selectRole(const QString &name);
    bool selectHolder(const QString &name);
    const QList<RoleEntry> &roles() const { return m_roles; }

    TToolPanel *ComPanel;
    TOfficeButton *NewBtn;
    TOfficeButton *DropBtn;
    TOfficeButton *GrantBtn;
    TOfficeButton *RevokeBtn;
    TOfficeButton *SystemPrivilegesBtn;
    TOfficeButton *RefreshBtn;
    QTreeWidget *RoleList;
    QTreeWidget *HolderList;
    TRoleGrantDlg *GrantDlg;

private:
    void createToolPanel();
    void createMenu();
    void FormCreate();
    void fillRoles();
    void fillHolders();
    const RoleEntry *selectedRole() const;
    const RoleEntry::Holder *selectedHolder() const;
    void revoke(bool adminOptionOnly);
    void runApproved(const QString &statement);

    QList<RoleEntry> m_roles;
    bool m_systemPrivileges = false;
};
