#include "schema/TriggerTypeText.h"

#include <QStringList>

namespace {

constexpr qint64 kKindMask = 3 << 13;
constexpr qint64 kDatabase = 1 << 13;
constexpr qint64 kDdl = 2 << 13;
constexpr quint64 kAnyDdl = 0x7FFFFFFFFFFFFFFFULL & ~quint64(kKindMask) & ~1ULL;

QString dmlText(qint64 type)
{
    // The server stores prefix + suffix - 1: the prefix says before or after,
    // the suffix holds up to three two-bit action slots.
    const qint64 value = type + 1;
    QStringList actions;
    for (const int shift : {1, 3, 5}) {
        switch ((value >> shift) & 3) {
        case 1: actions << QStringLiteral("INSERT"); break;
        case 2: actions << QStringLiteral("UPDATE"); break;
        case 3: actions << QStringLiteral("DELETE"); break;
        default: break;
        }
    }
    return ((value & 1) ? QStringLiteral("AFTER ") : QStringLiteral("BEFORE "))
           + actions.join(QStringLiteral(" OR "));
}

QString databaseText(qint64 type)
{
    static const char *const events[] = {"CONNECT", "DISCONNECT", "TRANSACTION START",
                                         "TRANSACTION COMMIT", "TRANSACTION ROLLBACK"};
    const qint64 event = type & ~kKindMask;
    if (event < 0 || event >= qint64(std::size(events)))
        return {};
    return QStringLiteral("ON ") + QLatin1String(events[event]);
}

// Bit n of a DDL trigger's type stands for the n-th statement here; bits 13
// to 15 hold the kind of trigger.
const char *ddlEvent(int bit)
{
    static const char *const events[] = {
        nullptr, "CREATE TABLE", "ALTER TABLE", "DROP TABLE", "CREATE PROCEDURE",
        "ALTER PROCEDURE", "DROP PROCEDURE", "CREATE FUNCTION", "ALTER FUNCTION",
        "DROP FUNCTION", "CREATE TRIGGER", "ALTER TRIGGER", "DROP TRIGGER", nullptr, nullptr,
        nullptr, "CREATE EXCEPTION", "ALTER EXCEPTION", "DROP EXCEPTION", "CREATE VIEW",
        "ALTER VIEW", "DROP VIEW", "CREATE DOMAIN", "ALTER DOMAIN", "DROP DOMAIN",
        "CREATE ROLE", "ALTER ROLE", "DROP ROLE", "CREATE INDEX", "ALTER INDEX", "DROP INDEX",
        "CREATE SEQUENCE", "ALTER SEQUENCE", "DROP SEQUENCE", "CREATE USER", "ALTER USER",
        "DROP USER", "CREATE COLLATION", "DROP COLLATION", "ALTER CHARACTER SET",
        "CREATE PACKAGE", "ALTER PACKAGE", "DROP PACKAGE", "CREATE PACKAGE BODY",
        "DROP PACKAGE BODY", "CREATE MAPPING", "ALTER MAPPING", "DROP MAPPING"};
    return bit < int(std::size(events)) ? events[bit] : nullptr;
}

QString ddlText(qint64 type)
{
    const QString when = (type & 1) ? QStringLiteral("AFTER ") : QStringLiteral("BEFORE ");
    const quint64 events = quint64(type) & ~quint64(kKindMask) & ~1ULL;
    if (events == kAnyDdl)
        return when + QStringLiteral("ANY DDL STATEMENT");
    QStringList names;
    for (int bit = 1; bit < 63; ++bit) {
        if ((events >> bit) & 1) {
            if (const char *event = ddlEvent(bit))
                names << QLatin1String(event);
        }
    }
    return when + names.join(QStringLiteral(" OR "));
}

} // namespace

QString TriggerTypeText(qint64 type)
{
    switch (type & kKindMask) {
    case kDatabase: return databaseText(type);
    case kDdl: return ddlText(type);
    default: return dmlText(type);
    }
}
