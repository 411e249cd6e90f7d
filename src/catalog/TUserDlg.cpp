#include "catalog/TUserDlg.h"

#include "core/AppError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

QLineEdit *lineEdit(QFormLayout *form, const QString &label, const QString &name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    form->addRow(label, edit);
    return edit;
}

} // namespace

TUserDlg::TUserDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("UserDlg"));
    setModal(true);
    auto *form = new QFormLayout(this);
    NameEdit = lineEdit(form, QStringLiteral("User &name"), QStringLiteral("NameEdit"));
    PasswordEdit = lineEdit(form, QStringLiteral("&Password"), QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    FirstNameEdit = lineEdit(form, QStringLiteral("&First name"), QStringLiteral("FirstNameEdit"));
    MiddleNameEdit =
        lineEdit(form, QStringLiteral("&Middle name"), QStringLiteral("MiddleNameEdit"));
    LastNameEdit = lineEdit(form, QStringLiteral("&Last name"), QStringLiteral("LastNameEdit"));
    PluginBox = new QComboBox;
    PluginBox->setObjectName(QStringLiteral("PluginBox"));
    PluginBox->setEditable(true);
    PluginBox->addItems({QString(), QStringLiteral("Srp"), QStringLiteral("Legacy_UserManager")});
    form->addRow(QStringLiteral("Pl&ugin"), PluginBox);
    TagsEdit = lineEdit(form, QStringLiteral("&Tags"), QStringLiteral("TagsEdit"));
    TagsEdit->setPlaceholderText(QStringLiteral("key=value, key=value"));
    ActiveBox = new QCheckBox(QStringLiteral("&Active"));
    AdminBox = new QCheckBox(QStringLiteral("A&dministrator"));
    form->addRow(QString(), ActiveBox);
    form->addRow(QString(), AdminBox);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setEntry(UserEntry(), true);
}

void TUserDlg::setEntry(const UserEntry &entry, bool administrator)
{
    m_new = entry.name.isEmpty();
    setWindowTitle(m_new ? QStringLiteral("New User") : QStringLiteral("Alter User"));
    NameEdit->setText(entry.name);
    NameEdit->setEnabled(m_new);
    PasswordEdit->clear();
    PasswordEdit->setPlaceholderText(m_new ? QString() : QStringLiteral("unchanged"));
    FirstNameEdit->setText(entry.firstName);
    MiddleNameEdit->setText(entry.middleName);
    LastNameEdit->setText(entry.lastName);
    PluginBox->setCurrentText(entry.plugin);
    PluginBox->setEnabled(m_new);
    TagsEdit->setText(UserEntry::tagsText(entry.tags));
    ActiveBox->setChecked(entry.active);
    AdminBox->setChecked(entry.admin);
    ActiveBox->setEnabled(administrator);
    AdminBox->setEnabled(administrator);
}

UserEntry TUserDlg::entry() const
{
    UserEntry entry;
    entry.name = NameEdit->text().trimmed();
    entry.password = PasswordEdit->text();
    entry.firstName = FirstNameEdit->text();
    entry.middleName = MiddleNameEdit->text();
    entry.lastName = LastNameEdit->text();
    entry.plugin = PluginBox->currentText().trimmed();
    entry.tags = UserEntry::parseTags(TagsEdit->text());
    entry.active = ActiveBox->isChecked();
    entry.admin = AdminBox->isChecked();
    if (entry.name.isEmpty())
        throw GeneralError(QStringLiteral("Enter the user's name"));
    if (m_new && entry.password.isEmpty())
        throw GeneralError(QStringLiteral("A new user needs a password"));
    if (!entry.plugin.isEmpty() && !UserEntry::plainWord(entry.plugin))
        throw GeneralError(QStringLiteral("The plugin name \"%1\" is no plugin's name")
                               .arg(entry.plugin));
    return entry;
}
