#include "app/TNewDatabaseDlg.h"

#include "ibdb/TIBDataBase.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNewDatabaseDlg::TNewDatabaseDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dbPath(new QLineEdit), UserN(new QLineEdit(TIBDataBase::defaultUserName())),
      Password(new QLineEdit), PageSize(new QComboBox), Dialect(new QComboBox),
      CharSet(new QComboBox), OKBtn(new QPushButton(QStringLiteral("OK"))),
      CancelBtn(new QPushButton(QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("New Database"));
    dbPath->setMinimumWidth(240);
    dbPath->setPlaceholderText(QStringLiteral("file, or host/port:file"));
    dbPath->setAccessibleName(QStringLiteral("Database"));
    UserN->setAccessibleName(QStringLiteral("Username"));
    Password->setAccessibleName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    PageSize->setAccessibleName(QStringLiteral("Page size"));
    Dialect->setAccessibleName(QStringLiteral("SQL dialect"));
    CharSet->setAccessibleName(QStringLiteral("Default character set"));
    const NewDatabase defaults;
    for (int size : NewDatabase::pageSizes())
        PageSize->addItem(QString::number(size), size);
    PageSize->setCurrentText(QString::number(defaults.pageSize));
    Dialect->addItem(QStringLiteral("1"), 1);
    Dialect->addItem(QStringLiteral("3"), 3);
    Dialect->setCurrentText(QString::number(defaults.dialect));
    CharSet->addItems(NewDatabase::characterSets());
    CharSet->setEditable(true);
    CharSet->setCurrentText(defaults.characterSet);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Database"), dbPath);
    form->addRow(QStringLiteral("&Username"), UserN);
    form->addRow(QStringLiteral("&Password"), Password);
    form->addRow(QStringLiteral("Page &size"), PageSize);
    form->addRow(QStringLiteral("SQL d&ialect"), Dialect);
    form->addRow(QStringLiteral("Default &character set"), CharSet);
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
}

NewDatabase TNewDatabaseDlg::request() const
{
    NewDatabase request;
    request.path = dbPath->text().trimmed();
    request.user = UserN->text().trimmed();
    request.password = Password->text();
    request.pageSize = PageSize->currentData().toInt();
    request.dialect = Dialect->currentData().toInt();
    request.characterSet = CharSet->currentText().trimmed().toUpper();
    return request;
}
