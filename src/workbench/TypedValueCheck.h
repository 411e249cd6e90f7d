#pragma once

#include <QString>

class QSqlDatabase;
class QSqlRecord;

// The server converts a typed number into Firebird 4's types by rounding:
// "1.5" into INT128 becomes 2, a 35th digit of a DECFLOAT(34) is rounded
// away, 1E-7000 becomes 0, all without a word. Each such value is cast by
// the server to its column's own type first and the result compared with
// what was typed, so that a value goes in as typed or not at all.
namespace TypedValueCheck {

// Empty when every changed value of `values` goes into `table` exactly;
// else why one does not. `fields` is the table's record as the driver
// describes it (its sql type the declared one). A cast the server refuses
// is refused with the server's text.
QString refusal(const QSqlDatabase &database, const QString &table, const QSqlRecord &fields,
                const QSqlRecord &values);

} // namespace TypedValueCheck
