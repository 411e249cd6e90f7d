#include "workbench/TSQLSourceForm.h"

#include "controls/FixedPitchFont.h"
#include "controls/SqlEditorKit.h"
#include "core/AppError.h"
#include "uikit/Command.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/ModalForms.h"
#include "uikit/StatementText.h"
#include "workbench/TObjRepos.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSQLSourceForm::TSQLSourceForm(QWidget *parent)
    : QDialog(parent),
      Memo1(new QPlainTextEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("OK"), this)),
      BitBtn2(new QPushButton(QStringLiteral("Cancel"), this)),
      AddBtn(new QPushButton(QStringLiteral("&Add to Repository"), this))
{
    setWindowTitle(QStringLiteral("SQL Source"));
    resize(480, 320);

    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("SQL source"));
    Memo1->setFont(FixedPitchFont());
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    BitBtn1->setDefault(true);
    AddBtn->setToolTip(QStringLiteral("Add to repository"));
    AddBtn->setStatusTip(QStringLiteral("Add to repository"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(AddBtn, &QPushButton::clicked, this, Command::guard([this] { AddrepBtnClick(); }));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    buttons->addWidget(AddBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    SqlEditorKit::attach(Memo1, ConnectedDialect::doubleQuotes());
}

QStringList TSQLSourceForm::lines() const
{
    return StatementText::lines(Memo1->toPlainText());
}

void TSQLSourceForm::setLines(const QStringList &lines)
{
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TSQLSourceForm::AddrepBtnClick()
{
    AddToRepository(lines());
}

void ShowSQLSource(const QStringList &lines)
{
    TSQLSourceForm form;
    form.setLines(lines);
    if (ModalForms::exec(&form) != QDialog::Accepted)
        throw SilentAbort();
}
