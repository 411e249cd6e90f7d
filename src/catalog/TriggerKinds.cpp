#include "catalog/TriggerKinds.h"

#include "schema/TriggerTypeText.h"

namespace TriggerKinds {

namespace {

// Bits 13 and 14 of the code tell a database trigger (1) and a DDL
// trigger (2) from a table's.
bool firesOnDatabase(qint64 code)
{
    return ((code >> 13) & 3) != 0;
}

} // namespace

const QStringList &texts()
{
    static const QStringList kinds{
        QStringLiteral("BEFORE INSERT"), QStringLiteral("AFTER INSERT"),
        QStringLiteral("BEFORE UPDATE"), QStringLiteral("AFTER UPDATE"),
        QStringLiteral("BEFORE DELETE"), QStringLiteral("AFTER DELETE"),
    };
    return kinds;
}

int indexOf(qint64 code)
{
    return code >= 1 && code <= texts().size() ? int(code) - 1 : -1;
}

QString text(const QVariant &code)
{
    const qint64 value = code.isNull() ? 0 : code.toLongLong();
    if (firesOnDatabase(value))
        return TriggerTypeText(value);
    const int index = indexOf(value);
    return index < 0 ? QString() : texts().at(index);
}

} // namespace TriggerKinds
