#include "catalog/TUsersForm.h"

#include "catalog/AdminWindow.h"
#include "catalog/TUserDlg.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "core/AppError.h"
#include "schema/TypedName.h"
#include "ibdb/TDMSys.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"

#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using AdminWindow::yesNo;

// The preview and the repository never hold a password.
UserEntry masked(UserEntry entry)
{
    if (!entry.password.isEmpty())
        entry.password = QStringLiteral("********");
    return entry;
}

using AdminWindow::dialect;

} // namespace

TUsersForm *TUsersForm::open()
{
    return openInFrame<TUsersForm>(&TUsersForm::FormCreate);
}

TUsersForm::TUsersForm(QWidget *parent) : TChildForm(parent), UserDlg(new TUserDlg(this))
{
    setWindowTitle(QStringLiteral("Users"));
    createToolPanel();
    createMenu();
    createList();
    OwnEntryLabel = new QLabel(ownEntryText(), this);
    OwnEntryLabel->setObjectName(QStringLiteral("OwnEntryLabel"));
    OwnEntryLabel->setContentsMargins(4, 2, 4, 2);
    OwnEntryLabel->setVisible(false);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(OwnEntryLabel);
    layout->addWidget(UserList);
    resize(640, 320);
}

void TUsersForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    NewBtn = ComPanel->addButton(QStringLiteral("new"), QStringLiteral("Create new user"));
    EditBtn = ComPanel->addButton(QStringLiteral("edit"), QStringLiteral("Alter user"));
    DeleteBtn = ComPanel->addButton(QStringLiteral("delete"), QStringLiteral("Drop user"));
    RefreshBtn = ComPanel->addButton(QStringLiteral("refresh"), QStringLiteral("Refresh users"));
    ComPanel->addStretch();
    onClick(NewBtn, [this] { NewBtnClick(); });
    onClick(EditBtn, [this] { EditBtnClick(); });
    onClick(DeleteBtn, [this] { DeleteBtnClick(); });
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });
}

void TUsersForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Users"));
    Command::addAction(
        menu, QStringLiteral("&New"), QStringLiteral("Create new user"),
        [this] { NewBtnClick(); }, QKeySequence(Qt::Key_Insert));
    Command::addAction(
        menu, QStringLiteral("&Alter"), QStringLiteral("Alter user"), [this] { EditBtnClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(menu, QStringLiteral("&Drop"), QStringLiteral("Drop user"),
                       [this] { DeleteBtnClick(); });
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh users"),
        [this] { RefreshBtnClick(); }, QKeySequence(Qt::Key_F5));
}

void TUsersForm::createList()
{
    UserList = AdminWindow::createList(
        this, QStringLiteral("Users"),
        {QStringLiteral("User name"), QStringLiteral("First name"), QStringLiteral("Middle name"),
         QStringLiteral("Last name"), QStringLiteral("Active"), QStringLiteral("Admin"),
         QStringLiteral("Plugin"), QStringLiteral("Tags")});
    // Its object name differs from the accessible one, which reads better.
    UserList->setObjectName(QStringLiteral("UserList"));
    connect(UserList, &QTreeWidget::itemDoubleClicked, this,
            Command::guard([this] { EditBtnClick(); }));
}

QString TUsersForm::ownEntryText()
{
    return QStringLiteral("Only your own entry is shown: the server lets administrators see "
                          "and change every user.");
}

void TUsersForm::FormCreate()
{
    RefreshBtnClick();
}

void TUsersForm::RefreshBtnClick()
{
    const QSqlDatabase connection = AdminWindow::connection();
    m_administrator = UserEntry::managesUsers(connection);
    m_users = UserEntry::readAll(connection);
    fillList();
}

void TUsersForm::fillList()
{
    OwnEntryLabel->setVisible(!m_administrator);
    NewBtn->setEnabled(m_administrator);
    DeleteBtn->setEnabled(m_administrator);
    const UpdatesSuspended suspended({UserList});
    UserList->clear();
    for (const UserEntry &user : m_users) {
        UserList->addTopLevelItem(new QTreeWidgetItem(
            {user.name, user.firstName, user.middleName, user.lastName, yesNo(user.active),
             yesNo(user.admin), user.plugin, UserEntry::tagsText(user.tags)}));
    }
}

bool TUsersForm::selectUser(const QString &name)
{
    return AdminWindow::selectText(UserList, name);
}

const UserEntry *TUsersForm::selectedUser() const
{
    const int row = AdminWindow::currentRow(UserList);
    return row >= 0 && row < m_users.size() ? &m_users[row] : nullptr;
}
void TUsersForm::runApproved(const QString &text, const QString &shown)
{
    AdminWindow::runApproved(
        {shown}, [&text] { DMSys->execute(text); }, [this] { RefreshBtnClick(); });
}

void TUsersForm::NewBtnClick()
{
    if (!m_administrator)
        throw GeneralError(QStringLiteral("Only administrators create users"));
    UserDlg->setEntry(UserEntry(), true);
    if (ModalForms::exec(UserDlg) != QDialog::Accepted)
        return;
    UserEntry entry = UserDlg->entry();
    entry.name = TypedName(entry.name, dialect());
    runApproved(entry.createText(dialect()), masked(entry).createText(dialect()));
}

void TUsersForm::EditBtnClick()
{
    const UserEntry *selected = selectedUser();
    if (!selected)
        return;
    const UserEntry before = *selected;
    UserDlg->setEntry(before, m_administrator);
    if (ModalForms::exec(UserDlg) != QDialog::Accepted)
        return;
    const UserEntry after = UserDlg->entry();
    const QString text = after.alterText(before, dialect());
    if (text.isEmpty())
        return;
    runApproved(text, masked(after).alterText(before, dialect()));
}

void TUsersForm::DeleteBtnClick()
{
    const UserEntry *selected = selectedUser();
    if (!selected)
        return;
    if (!m_administrator)
        throw GeneralError(QStringLiteral("Only administrators drop users"));
    const UserEntry entry = *selected;
    runApproved(entry.dropText(dialect()), entry.dropText(dialect()));
}
