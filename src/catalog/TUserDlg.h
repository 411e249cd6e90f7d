#pragma once

#include "schema/UserEntry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

// One user's entry to create or change: name, password, names, plugin,
// tags, active and administrator. What the server lets only administrators
// change is offered only to them.
class TUserDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TUserDlg(QWidget *parent = nullptr);

    // An empty name opens the dialog for a new user.
    void setEntry(const UserEntry &entry, bool administrator);
    // What the boxes hold; throws GeneralError for a missing name, a new
    // user without a password, a plugin name or a tag that is no word.
    UserEntry entry() const;

    QLineEdit *NameEdit;
    QLineEdit *PasswordEdit;
    QLineEdit *FirstNameEdit;
    QLineEdit *MiddleNameEdit;
    QLineEdit *LastNameEdit;
    QComboBox *PluginBox;
    QLineEdit *TagsEdit;
    QCheckBox *ActiveBox;
    QCheckBox *AdminBox;

private:
    bool m_new = true;
};
