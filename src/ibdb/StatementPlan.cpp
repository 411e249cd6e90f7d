#include "ibdb/StatementPlan.h"

#include "ibdb/IbError.h"

namespace {

// The info calls take a signed 16-bit buffer length.
constexpr int kLargestAnswer = 32767;

QString planText(const char *value, int length)
{
    QString text = QString::fromUtf8(value, length);
    if (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    return text;
}

QByteArray askServer(isc_stmt_handle statement, const QByteArray &items, int size)
{
    QByteArray answer(size, '\0');
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &statement, short(items.size()), items.constData(), short(size),
                      answer.data());
    IbError::check(status, QSqlError::StatementError);
    return answer;
}

} // namespace

QByteArray StatementPlan::items()
{
    static const char plans[] = {isc_info_sql_get_plan, isc_info_sql_explain_plan};
    return QByteArray(plans, sizeof plans);
}

StatementPlan StatementPlan::fromAnswer(const char *answer, int size, bool *truncated)
{
    StatementPlan plans;
    bool cut = false;
    const char *p = answer;
    const char *const end = answer + size;
    while (end - p >= 1 && *p != isc_info_end) {
        if (*p == isc_info_truncated || end - p < 3) {
            cut = true;
            break;
        }
        const int length = int(isc_vax_integer(p + 1, 2));
        if (length < 0 || end - p - 3 < length) {
            cut = true;
            break;
        }
        if (*p == isc_info_sql_get_plan)
            plans.plan = planText(p + 3, length);
        else if (*p == isc_info_sql_explain_plan)
            plans.detailed = planText(p + 3, length);
        p += 3 + length;
    }
    if (truncated)
        *truncated = cut;
    return plans;
}

// Both at once as a rule; a plan too long for one answer is asked for alone.
StatementPlan StatementPlan::read(isc_stmt_handle statement)
{
    QByteArray answer = askServer(statement, items(), 4096);
    bool truncated = false;
    StatementPlan plans = fromAnswer(answer.constData(), int(answer.size()), &truncated);
    if (!truncated)
        return plans;
    for (const char item : items()) {
        answer = askServer(statement, QByteArray(1, item), kLargestAnswer);
        const StatementPlan one = fromAnswer(answer.constData(), int(answer.size()), &truncated);
        plans.tooLong = plans.tooLong || truncated;
        if (item == isc_info_sql_get_plan)
            plans.plan = one.plan;
        else
            plans.detailed = one.detailed;
    }
    return plans;
}
