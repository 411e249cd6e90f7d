#include "catalog/TGenValueForm.h"

#include "core/AppError.h"
#include "ibdb/SqlLiteral.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int kWideDialect = 3;

bool isWide(qint64 value)
{
    return value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max();
}

// A dialect-1 statement cannot carry a literal beyond 32 bits; such a value
// goes in a dialect-3 statement, which then spells the name the dialect-3 way.
// A name the user typed for a new generator is SQL already and goes as typed.
void setValue(const QString &name, qint64 value, bool typed)
{
    TIBDataBase *db = DMSys->IBDataBase;
    const int dialect = isWide(value) ? kWideDialect : db->statementDialect();
    const QString statement = QStringLiteral("SET GENERATOR %1 TO %2")
                                  .arg(typed ? name : SqlLiteral::name(name, dialect),
                                       QString::number(value));
    DMSys->execute(statement, dialect);
}

// The value as the server will get it: a signed 64-bit decimal, the range of
// a generator.
qint64 integerValue(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (ok)
        return value;
    static const QRegularExpression digits(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (digits.match(text).hasMatch()) {
        throw GeneralError(QStringLiteral("'%1' is out of the range of a generator value, "
                                          "%2 to %3")
                               .arg(text)
                               .arg(std::numeric_limits<qint64>::min())
                               .arg(std::numeric_limits<qint64>::max()));
    }
    throw GeneralError(QStringLiteral("'%1' is not a valid integer value").arg(text));
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
    m_shownValue = value;
    GenNameEdit->setEnabled(isNew);
    return ModalForms::exec(this);
}

void TGenValueForm::OkClick()
{
    const QString name = GenNameEdit->text();
    if (m_newGenerator)
        DMSys->execute(QStringLiteral("CREATE GENERATOR %1").arg(name));
    const qint64 value = integerValue(GenValueEdit->text());
    // The generator may have moved on since it was shown: setting it back to
    // the value the user left alone would hand out numbers again.
    if (!m_newGenerator && isShownValue(value))
        return accept();
    setValue(name, value, m_newGenerator);
    accept();
}

bool TGenValueForm::isShownValue(qint64 value) const
{
    bool ok = false;
    const qint64 shown = m_shownValue.toLongLong(&ok, 10);
    return ok && shown == value;
}
