#pragma once

#include <ibase.h>

#include <QString>
#include <QStringList>

// What a Firebird 4 server reports about its new types (DECFLOAT, INT128,
// NUMERIC of 19 to 38 digits, time zones, binary strings) in words, for the
// client library the tool links (Firebird 3's) knows none of these codes and
// would say "unknown ISC error 335545142".
namespace NewerServerMessages {

// The text of a code with the arguments the status vector gave it ({0},
// {1}, ... in the order given); empty for a code that is none of these.
QString text(ISC_STATUS code, const QStringList &arguments);

// The code and arguments of the status vector's item at the cursor, as
// fb_interpret reads them; code 0 when the item is no error or warning.
struct Item
{
    ISC_STATUS code = 0;
    QStringList arguments;
};
Item itemAt(const ISC_STATUS *cursor);

} // namespace NewerServerMessages
