#include "app/TDBEntryDlg.h"

#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *buddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TDBEntryDlg::TDBEntryDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dbPath(new QComboBox), UserN(new QLineEdit(TIBDataBase::defaultUserName())),
      Password(new QLineEdit(TIBDataBase::defaultPassword())), Role(new QLineEdit),
      OKBtn(new QPushButton(QStringLiteral("OK"))),
      CancelBtn(new QPushButton(QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("Database login"));
    dbPath->setEditable(true);
    dbPath->setInsertPolicy(QComboBox::NoInsert);
    dbPath->setMinimumWidth(240);
    dbPath->setAccessibleName(QStringLiteral("Database"));
    UserN->setAccessibleName(QStringLiteral("Username"));
    Password->setAccessibleName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Role->setAccessibleName(QStringLiteral("Role"));
    connect(dbPath, &QComboBox::currentTextChanged, this,
            [this](const QString &path) { recallRole(path); });
    connect(UserN, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int cursor = UserN->cursorPosition();
        UserN->setText(text.toUpper());
        UserN->setCursorPosition(cursor);
    });

    auto *form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("&Database"), dbPath), dbPath);
    form->addRow(buddyLabel(QStringLiteral("&Username"), UserN), UserN);
    form->addRow(buddyLabel(QStringLiteral("&Password"), Password), Password);
    form->addRow(buddyLabel(QStringLiteral("&Role"), Role), Role);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(dbPath, UserN);
    setTabOrder(UserN, Password);
    setTabOrder(Password, Role);
    setTabOrder(Role, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    m_lastFocus = Password;
}

QString TDBEntryDlg::path() const
{
    return dbPath->currentText();
}

void TDBEntryDlg::recallRole(const QString &path)
{
    Role->setText(ProgramSettings::instance().LoginRoles.value(path));
}

void TDBEntryDlg::rememberRole()
{
    QMap<QString, QString> &roles = ProgramSettings::instance().LoginRoles;
    const QString role = Role->text().trimmed();
    if (role.isEmpty())
        roles.remove(path());
    else
        roles.insert(path(), role);
}

QStringList TDBEntryDlg::history() const
{
    QStringList entries;
    for (int i = 0; i < dbPath->count(); ++i)
        entries << dbPath->itemText(i);
    return entries;
}

void TDBEntryDlg::setHistory(const QStringList &entries)
{
    const QString text = dbPath->currentText();
    dbPath->clear();
    dbPath->addItems(entries);
    dbPath->setEditText(text);
}

void TDBEntryDlg::appendToHistory(const QString &entry)
{
    const QString text = dbPath->currentText();
    dbPath->addItem(entry);
    dbPath->setEditText(text);
}

void TDBEntryDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_lastFocus)
        m_lastFocus->setFocus();
}

void TDBEntryDlg::done(int result)
{
    if (QWidget *focused = focusWidget())
        m_lastFocus = focused;
    QDialog::done(result);
}
