#include "catalog/TRoleGrantDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

TRoleGrantDlg::TRoleGrantDlg(QWidget *parent)
    : QDialog(parent), NameBox(new QComboBox), KindBox(new QComboBox),
      AdminOptionBox(new QCheckBox(QStringLiteral("With &admin option")))
{
    setObjectName(QStringLiteral("RoleGrantDlg"));
    setModal(true);
    NameBox->setEditable(true);
    NameBox->setObjectName(QStringLiteral("NameBox"));
    KindBox->addItems({QStringLiteral("User"), QStringLiteral("Role")});
    KindBox->setObjectName(QStringLiteral("KindBox"));
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Kind"), KindBox);
    form->addRow(QStringLiteral("&Grantee"), NameBox);
    form->addRow(QString(), AdminOptionBox);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    connect(KindBox, &QComboBox::currentIndexChanged, this, [this] { offerNames(); });
}

void TRoleGrantDlg::offer(const QString &role, const QStringList &users, const QStringList &roles)
{
    setWindowTitle(QStringLiteral("Grant Role %1").arg(role));
    m_users = users;
    m_roles = roles;
    m_roles.removeAll(role);
    AdminOptionBox->setChecked(false);
    offerNames();
}

void TRoleGrantDlg::offerNames()
{
    NameBox->clear();
    NameBox->addItems(KindBox->currentIndex() == 1 ? m_roles : m_users);
    NameBox->setEditText(QString());
}

RoleEntry::Holder TRoleGrantDlg::grantee() const
{
    RoleEntry::Holder holder;
    holder.name = NameBox->currentText();
    holder.isRole = KindBox->currentIndex() == 1;
    holder.adminOption = AdminOptionBox->isChecked();
    return holder;
}
