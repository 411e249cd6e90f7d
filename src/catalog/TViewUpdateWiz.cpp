#include "catalog/TViewUpdateWiz.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TViewUpdateWiz::TViewUpdateWiz(QWidget *parent)
    : TViewStatementWiz(QStringLiteral("View update statement  wizard"),
                        QStringLiteral("Update relation"),
                        {
                            QStringLiteral("If leave blank any of first two "),
                            QStringLiteral("columns "),
                            QStringLiteral("this column will be not included "),
                            QStringLiteral("in statement."),
                            QStringLiteral("You can select table from "),
                            QStringLiteral("tables which is base tables of "),
                            QStringLiteral("view."),
                        },
                        {
                            {QStringLiteral("Field"), 156},
                            {QStringLiteral("Value"), 173},
                            {QStringLiteral("Criteria"), 166},
                        },
                        parent)
{
    auto *label = new QLabel(QStringLiteral("Alias to be used in statement"), this);
    AliasEdit = new QLineEdit(this);
    label->setBuddy(AliasEdit);
    belowNote()->addWidget(label);
    belowNote()->addWidget(AliasEdit);
}

void TViewUpdateWiz::relationChosen(const QString &name)
{
    AliasEdit->setText(name + QLatin1Char('1'));
}

QString TViewUpdateWiz::BuildUpdateStatement() const
{
    return ViewTriggerStatements::BuildUpdateStatement(relationName(), AliasEdit->text(), rows(),
                                                      DMSys->IBDataBase->statementDialect());
}

QString RunUpdateWizard(const QString &viewName)
{
    TViewUpdateWiz wizard;
    wizard.runFor(viewName);
    return wizard.BuildUpdateStatement();
}
