#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The six trigger kinds as RDB$TRIGGER_TYPE codes them (1 to 6). The list
// window decodes the code into its text, and the source editor offers the
// same texts in the same order, so code minus 1 is the index of the text.
namespace TriggerKinds {

// "BEFORE INSERT" ... "AFTER DELETE", in code order.
const QStringList &texts();

// The index of a code in texts(), or -1 for a code outside 1 to 6.
int indexOf(int code);

// The text of a code; NULL reads as 0, and every code outside 1 to 6
// (multi-action and database triggers among them) gives an empty text.
QString text(const QVariant &code);

} // namespace TriggerKinds
