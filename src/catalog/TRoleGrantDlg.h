#pragma once

#include "schema/RoleEntry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// Whom to grant a role to: a user or a role, with or without ADMIN OPTION.
class TRoleGrantDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TRoleGrantDlg(QWidget *parent = nullptr);

    // The names offered: the users and roles the window knows.
    void offer(const QString &role, const QStringList &users, const QStringList &roles);
    // The grantee as typed; the caller makes the stored name of it.
    RoleEntry::Holder grantee() const;

    QComboBox *NameBox;
    QComboBox *KindBox;
    QCheckBox *AdminOptionBox;

private:
    void offerNames();

    QStringList m_users;
    QStringList m_roles;
};
