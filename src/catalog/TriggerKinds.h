#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The six trigger kinds as RDB$TRIGGER_TYPE codes them (1 to 6). The list
// window decodes the code into its text, and the source editor offers the
// same texts in the same order, so code minus 1 is the index of the text.
// A database or DDL trigger ("ON CONNECT", "BEFORE ANY DDL STATEMENT") is
// named as the metadata script names it.
namespace TriggerKinds {

// "BEFORE INSERT" ... "AFTER DELETE", in code order.
const QStringList &texts();

// The index of a code in texts(), or -1 for a code outside 1 to 6.
int indexOf(qint64 code);

// The text of a code; NULL reads as 0. A multi-action trigger's code, and
// any other that is neither one of the six nor a database or DDL trigger's,
// gives an empty text.
QString text(const QVariant &code);

} // namespace TriggerKinds
