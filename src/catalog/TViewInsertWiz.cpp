#include "catalog/TViewInsertWiz.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"

TViewInsertWiz::TViewInsertWiz(QWidget *parent)
    : TViewStatementWiz(QStringLiteral("View Insert statement wizard"),
                        QStringLiteral("Insert  into relation"),
                        {
                            QStringLiteral("If leave blank any of columns "),
                            QStringLiteral("this column will be not included "),
                            QStringLiteral("in statement."),
                            QStringLiteral("You can select table from "),
                            QStringLiteral("tables which is base tables of "),
                            QStringLiteral("view."),
                        },
                        {{QStringLiteral("Field"), 178}, {QStringLiteral("Value"), 147}}, parent)
{
}

QString TViewInsertWiz::BuildInsertStatement() const
{
    return ViewTriggerStatements::BuildInsertStatement(relationName(), rows(),
                                                      DMSys->IBDataBase->statementDialect());
}

QString RunInsertWizard(const QString &viewName)
{
    TViewInsertWiz wizard;
    wizard.runFor(viewName);
    return wizard.BuildInsertStatement();
}
