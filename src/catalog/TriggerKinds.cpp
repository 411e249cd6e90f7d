#include "catalog/TriggerKinds.h"

namespace TriggerKinds {

const QStringList &texts()
{
    static const QStringList kinds{
        QStringLiteral("BEFORE INSERT"), QStringLiteral("AFTER INSERT"),
        QStringLiteral("BEFORE UPDATE"), QStringLiteral("AFTER UPDATE"),
        QStringLiteral("BEFORE DELETE"), QStringLiteral("AFTER DELETE"),
    };
    return kinds;
}

int indexOf(int code)
{
    return code >= 1 && code <= texts().size() ? code - 1 : -1;
}

QString text(const QVariant &code)
{
    const int index = indexOf(code.isNull() ? 0 : code.toInt());
    return index < 0 ? QString() : texts().at(index);
}

} // namespace TriggerKinds
