#pragma once

#include <QList>
#include <QString>

// One row of a view trigger wizard's statement grid.
struct StatementRow
{
    QString field;    // a column of the base relation
    QString value;    // the value given to it, usually NEW.<view column>
    QString criteria; // update wizard: a search condition, operator included
};

// The texts the view insert and update wizards write into a trigger's
// source. Every line ends with CR LF, the last one included. Rows whose
// field or value is empty take no part in the column and value lists.
// Relation, alias and field names are spelled as a statement of the given
// dialect needs them; values and criteria are SQL text and go as they are.
namespace ViewTriggerStatements {

// Raised by both builders when no base relation has been chosen.
QString noRelationMessage();

// INSERT INTO <relation> (<fields>) VALUES (<values>); throws GeneralError
// when the relation is empty.
QString BuildInsertStatement(const QString &relation, const QList<StatementRow> &rows,
                             int dialect = 1);

// UPDATE <relation> <alias> SET <alias>.<field> = <value> ... WHERE <criteria>;
// throws GeneralError when the relation is empty.
QString BuildUpdateStatement(const QString &relation, const QString &alias,
                             const QList<StatementRow> &rows, int dialect = 1);

// A value with its context prefix ("NEW." or "OLD.") swapped in: everything
// up to the first full stop is replaced, a value without one gets the
// prefix in front, and an empty value stays empty.
QString WithModifier(const QString &value, const QString &prefix);

} // namespace ViewTriggerStatements
