#pragma once

#include "catalog/TViewStatementWiz.h"

// Writes the INSERT INTO statement with which a view's insert trigger
// passes the new row on to one of the view's base relations.
class TViewInsertWiz : public TViewStatementWiz
{
    Q_OBJECT

public:
    explicit TViewInsertWiz(QWidget *parent = nullptr);

    // The statement from the grid; throws GeneralError without a relation.
    QString BuildInsertStatement() const;
};

// Shows the wizard for a view and returns its statement; raises SilentAbort
// when the user cancels.
QString RunInsertWizard(const QString &viewName);
