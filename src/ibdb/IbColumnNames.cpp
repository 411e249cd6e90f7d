#include "ibdb/IbColumnNames.h"

#include "ibdb/IbError.h"

namespace {

// The XSQLVAR's name fields, less the ending zero.
constexpr int kShortName = 31;
// A column's four names at the most: four items of 3 + 252 bytes.
constexpr int kAnswerSize = 32000;

int integerAt(const char *p, int length)
{
    return int(isc_vax_integer(p, short(length)));
}

} // namespace

bool IbColumnNames::mayBeCut(const XSQLVAR &var)
{
    return var.sqlname_length >= kShortName || var.relname_length >= kShortName
           || var.aliasname_length >= kShortName;
}

QByteArray IbColumnNames::request(int first)
{
    QByteArray items;
    items += char(isc_info_sql_sqlda_start);
    items += char(2);
    items += char(first & 0xff);
    items += char((first >> 8) & 0xff);
    for (const char item : {char(isc_info_sql_select), char(isc_info_sql_describe_vars),
                            char(isc_info_sql_sqlda_seq), char(isc_info_sql_field),
                            char(isc_info_sql_relation), char(isc_info_sql_alias),
                            char(isc_info_sql_describe_end)})
        items += item;
    return items;
}

std::vector<IbColumnNames::Names> IbColumnNames::read(isc_stmt_handle statement, int count)
{
    IbColumnNames reader;
    reader.names.resize(count);
    QByteArray answer(kAnswerSize, '\0');
    for (int first = 1; first > 0 && first <= count;) {
        const QByteArray items = request(first);
        ISC_STATUS_ARRAY status;
        isc_dsql_sql_info(status, &statement, short(items.size()), items.constData(),
                          short(answer.size()), answer.data());
        IbError::check(status, QSqlError::StatementError);
        const int next = reader.take(answer.constData(), int(answer.size()), first);
        // An answer that brought no column would be asked for again forever.
        first = next > first ? next : 0;
    }
    return reader.names;
}

int IbColumnNames::take(const char *answer, int size, int first)
{
    const char *p = answer;
    const char *const end = answer + size;
    int column = 0;
    while (p < end && *p != isc_info_end) {
        const char item = *p++;
        // The last column begun may be incomplete: it is asked for again.
        if (item == isc_info_truncated)
            return column > 0 ? column : first;
        if (item == isc_info_sql_select || item == isc_info_sql_describe_end)
            continue;
        if (end - p < 2)
            break;
        const int length = integerAt(p, 2);
        p += 2;
        if (length < 0 || end - p < length)
            break;
        const QString text = QString::fromUtf8(p, length);
        if (item == isc_info_sql_sqlda_seq) {
            column = integerAt(p, length);
        } else if (column >= 1 && column <= int(names.size())) {
            Names &n = names[column - 1];
            if (item == isc_info_sql_field)
                n.field = text;
            else if (item == isc_info_sql_relation)
                n.relation = text;
            else if (item == isc_info_sql_alias)
                n.alias = text;
        }
        p += length;
    }
    return 0;
}
