#include "ibdb/IbStatementInfo.h"

#include "ibdb/IbError.h"
#include "ibdb/IbStatus.h"

#include <QByteArray>

namespace {

int vaxInteger(const char *data, short length)
{
    return int(isc_vax_integer(data, length));
}

// Calls visit(code, value) for each "code, two-byte length, value" item up
// to isc_info_end or the end of the buffer, while visit returns true.
template <typename Visit>
void forEachInfoItem(const char *p, const char *end, Visit visit)
{
    while (end - p >= 3 && *p != isc_info_end) {
        const short length = short(vaxInteger(p + 1, 2));
        if (length < 0 || end - p - 3 < length || !visit(*p, vaxInteger(p + 3, length)))
            return;
        p += 3 + length;
    }
}

// The answer to one item: its code, a two-byte length and its value, which
// for a cluster is a run of sub-items of the same form.
QByteArray sqlInfo(isc_stmt_handle statement, char item, int size)
{
    QByteArray buffer(size, '\0');
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &statement, 1, &item, short(size), buffer.data());
    IbError::check(status, QSqlError::StatementError);
    return buffer;
}

} // namespace

namespace IbStatementInfo {

int type(isc_stmt_handle statement)
{
    const QByteArray buffer = sqlInfo(statement, isc_info_sql_stmt_type, 16);
    return typeIn(buffer.constData(), int(buffer.size()));
}

bool isDml(int type)
{
    return type == isc_info_sql_stmt_insert || type == isc_info_sql_stmt_update
           || type == isc_info_sql_stmt_delete;
}

bool isChange(int type)
{
    return isDml(type) || type == isc_info_sql_stmt_ddl;
}

int prepareForKind(ISC_STATUS *status, isc_db_handle *database, isc_tr_handle *transaction,
                   IbStatement &statement, const QByteArray &text, int dialect,
                   const QByteArray &items, QByteArray &answer)
{
    isc_dsql_allocate_statement(status, database, statement.ref());
    if (IbStatus::failed(status))
        return 0;
    const QByteArray asked = char(isc_info_sql_stmt_type) + items;
    isc_dsql_prepare_m(status, transaction, statement.ref(), 0, text.constData(),
                       static_cast<unsigned short>(dialect),
                       static_cast<unsigned short>(asked.size()), asked.constData(),
                       static_cast<unsigned short>(answer.size()), answer.data());
    return IbStatus::failed(status) ? 0 : typeIn(answer.constData(), int(answer.size()));
}

int typeIn(const char *answer, int size)
{
    int value = 0;
    forEachInfoItem(answer, answer + size, [&](char code, int itemValue) {
        if (code == isc_info_sql_stmt_type)
            value = itemValue;
        return false;
    });
    return value;
}

int rowsAffected(isc_stmt_handle statement, int type)
{
    const char item = isc_info_sql_records;
    const QByteArray buffer = sqlInfo(statement, item, 64);
    if (buffer[0] != item)
        return -1;
    const char wanted = type == isc_info_sql_stmt_insert   ? isc_info_req_insert_count
                        : type == isc_info_sql_stmt_update ? isc_info_req_update_count
                        : type == isc_info_sql_stmt_delete ? isc_info_req_delete_count
                                                           : 0;
    int total = 0;
    int own = -1;
    forEachInfoItem(buffer.constData() + 3, buffer.constEnd(), [&](char code, int value) {
        if (code == wanted)
            own = value;
        else if (wanted == 0 && code != isc_info_req_select_count)
            total += value;
        return own < 0;
    });
    return own >= 0 ? own : total;
}

} // namespace IbStatementInfo
