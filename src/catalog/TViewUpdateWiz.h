#pragma once

#include "catalog/TViewStatementWiz.h"

class QLineEdit;

// Writes the UPDATE statement with which a view's update trigger passes the
// changed row on to one of the view's base relations; the base relation is
// referred to by an alias, and the user types the search conditions.
class TViewUpdateWiz : public TViewStatementWiz
{
    Q_OBJECT

public:
    explicit TViewUpdateWiz(QWidget *parent = nullptr);

    // The statement from the grid; throws GeneralError without a relation.
    QString BuildUpdateStatement() const;

    QLineEdit *AliasEdit = nullptr;

protected:
    void relationChosen(const QString &name) override;
};

// Shows the wizard for a view and returns its statement; raises SilentAbort
// when the user cancels.
QString RunUpdateWizard(const QString &viewName);
