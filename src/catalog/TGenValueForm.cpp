#include "TGenValueForm.h"

#include "AppError.h"
#include "Command.h"
#include "ModalForms.h"
#include "ProgramSettings.h"
#include "TDMSys.h"
#include "TIBDataBase.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void execute(const QString &statement)
{
    DMSys->IBDataBase->ExecuteStatement(statement, ProgramSettings::instance().AutoCommit);
}

// The value as the server will get it: a signed 32-bit decimal.
int integerValue(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw GeneralError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QLabel *buddyLabel(const QString &text, QLineEdit *buddy)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TGenValueForm::TGenValueForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      GenNameEdit(new QLineEdit(this)),
      GenValueEdit(new QLineEdit(this)),
      Ok(new QPushButton(QStringLiteral("Ok"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Generator value"));
    GenNameEdit->setObjectName(QStringLiteral("GenNameEdit"));
    GenValueEdit->setObjectName(QStringLiteral("GenValueEdit"));
    Ok->setObjectName(QStringLiteral("Ok"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight);
    fields->addRow(buddyLabel(QStringLiteral("Generator &Name"), GenNameEdit), GenNameEdit);
    fields->addRow(buddyLabel(QStringLiteral("Generator &Value"), GenValueEdit), GenValueEdit);
    GenNameEdit->setMinimumWidth(200);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Ok->setDefault(true);
    connect(Ok, &QPushButton::clicked, this, Command::guard([this] { OkClick(); }));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

int TGenValueForm::ShowForNew()
{
    return showAs(QStringLiteral("New generator"), QStringLiteral("GENERATOR..."),
                  QStringLiteral("0"), true);
}

int TGenValueForm::ShowForValue(const QString &name, const QString &value)
{
    return showAs(QStringLiteral("Set generator value"), name, value, false);
}

int TGenValueForm::showAs(const QString &caption, const QString &name, const QString &value,
                          bool isNew)
{
    setWindowTitle(caption);
    GenValueEdit->setText(value);
    GenNameEdit->setText(name);
    m_newGenerator = isNew;
    GenNameEdit->setEnabled(isNew);
    return ModalForms::exec(this);
}

void TGenValueForm::OkClick()
{
    const QString name = GenNameEdit->text();
    if (m_newGenerator)
        execute(QStringLiteral("CREATE GENERATOR %1").arg(name));
    const int value = integerValue(GenValueEdit->text());
    execute(QStringLiteral("SET GENERATOR %1 TO %2").arg(name, QString::number(value)));
    accept();
}
