#include "ibdb/DatabaseSettings.h"

#include "ibdb/RestoreTarget.h"

#include <ibase.h>

DatabaseSettings DatabaseSettings::read(const QString &database, const QString &user,
                                        const QString &password)
{
    const char items[] = {isc_info_sweep_interval, isc_info_forced_writes,
                          isc_info_set_page_buffers,
                          isc_info_db_read_only, isc_info_db_sql_dialect, isc_info_end};
    return fromAnswer(RestoreTarget(database, user, password)
                          .info(QByteArray(items, int(sizeof items))));
}

DatabaseSettings DatabaseSettings::fromAnswer(const QByteArray &answer)
{
    DatabaseSettings settings;
    qsizetype at = 0;
    while (at + 3 <= answer.size()) {
        const char item = answer.at(at);
        if (item == isc_info_end || item == isc_info_truncated)
            break;
        const int length = isc_vax_integer(answer.constData() + at + 1, 2);
        if (at + 3 + length > answer.size())
            break;
        const auto value = quint32(isc_vax_integer(answer.constData() + at + 3, short(length)));
        switch (item) {
        case isc_info_sweep_interval: settings.sweepInterval = value; break;
        case isc_info_forced_writes: settings.forcedWrites = value != 0; break;
        case isc_info_set_page_buffers: settings.pageBuffers = value; break;
        case isc_info_db_read_only: settings.readOnly = value != 0; break;
        case isc_info_db_sql_dialect: settings.dialect = int(value); break;
        default: break;
        }
        at += 3 + length;
    }
    return settings;
}
