#pragma once

#include "schema/UserEntry.h"
#include "uikit/TChildForm.h"

class QLabel;
class QTreeWidget;
class TOfficeButton;
class TToolPanel;
class TUserDlg;

// The users of the security database the server uses for this database.
// Creates, alters and drops them through statements shown before they run;
// someone who is no administrator sees and changes only their own entry.
class TUsersForm : public TChildForm
{
    Q_OBJECT

public:
    static TUsersForm *open();

    explicit TUsersForm(QWidget *parent = nullptr);

    static QString ownEntryText();

    void RefreshBtnClick();
    void NewBtnClick();
    void EditBtnClick();
    void DeleteBtnClick();
    bool selectUser(const QString &name);
    const QList<UserEntry> &users() const { return m_users; }

    TToolPanel *ComPanel;
    TOfficeButton *NewBtn;
    TOfficeButton *EditBtn;
    TOfficeButton *DeleteBtn;
    TOfficeButton *RefreshBtn;
    QLabel *OwnEntryLabel;
    QTreeWidget *UserList;
    TUserDlg *UserDlg;

private:
    void createToolPanel();
    void createMenu();
    void createList();
    void FormCreate();
    void fillList();
    const UserEntry *selectedUser() const;
    // Shows the statement (its password masked) and runs it once approved.
    void runApproved(const QString &text, const QString &shown);

    QList<UserEntry> m_users;
    bool m_administrator = false;
};
