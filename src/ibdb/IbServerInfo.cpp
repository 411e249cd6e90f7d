#include "ibdb/IbServerInfo.h"

#include "ibdb/IbError.h"

#include <QByteArray>
#include <QRegularExpression>

IbServerInfo IbServerInfo::read(isc_db_handle attachment)
{
    static const char items[] = {isc_info_firebird_version, isc_info_ods_version,
                                 isc_info_ods_minor_version, isc_info_end};
    char answer[512] = {};
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &attachment, short(sizeof items), items, short(sizeof answer),
                      answer);
    IbError::check(status, QSqlError::ConnectionError);
    return parse(answer, int(sizeof answer));
}

IbServerInfo IbServerInfo::parse(const char *answer, int size)
{
    IbServerInfo info;
    const char *p = answer;
    const char *const end = answer + size;
    while (end - p >= 3 && *p != isc_info_end && *p != isc_info_truncated) {
        const int length = int(isc_vax_integer(p + 1, 2));
        if (length < 0 || end - p - 3 < length)
            break;
        const char *value = p + 3;
        if (*p == isc_info_firebird_version)
            info.takeVersion(value, length);
        else if (*p == isc_info_ods_version)
            info.m_odsMajor = int(isc_vax_integer(value, short(length)));
        else if (*p == isc_info_ods_minor_version)
            info.m_odsMinor = int(isc_vax_integer(value, short(length)));
        p = value + length;
    }
    return info;
}

// A count of strings, each with a length byte: the engine's own comes first
// ("LI-V4.0.5.3140 Firebird 4.0"), then those of the network layers between.
void IbServerInfo::takeVersion(const char *value, int length)
{
    if (length < 2 || int(uchar(value[1])) > length - 2)
        return;
    const QString first = QString::fromLatin1(value + 2, uchar(value[1]));
    static const QRegularExpression number(QStringLiteral("-V(\\d+\\.\\d+\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(first);
    m_version = match.hasMatch() ? match.captured(1) : first;
}

QString IbServerInfo::describe(int dialect) const
{
    return QStringLiteral("Firebird %1, ODS %2.%3, dialect %4")
        .arg(m_version)
        .arg(m_odsMajor)
        .arg(m_odsMinor)
        .arg(dialect);
}
