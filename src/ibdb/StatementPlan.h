#pragma once

#include <ibase.h>

#include <QByteArray>
#include <QString>

// A prepared statement's plans as the server words them: the plan of
// isc_info_sql_get_plan and the detailed plan of isc_info_sql_explain_plan,
// each without the line break the server puts before it, so that a line
// break before and after gives what isql prints with SET PLAN or SET
// EXPLAIN. A statement without a plan (DDL, a procedure call) has none.
class StatementPlan
{
public:
    // The info items that ask for both plans.
    static QByteArray items();
    // The plans found in an info answer (of isc_dsql_sql_info, or of a
    // prepare that asked for items()); truncated tells whether the answer
    // buffer was too small for some of them.
    static StatementPlan fromAnswer(const char *answer, int size, bool *truncated = nullptr);
    // Asks the server on the caller's thread; a refused call throws IbError.
    static StatementPlan read(isc_stmt_handle statement);

    QString plan;
    QString detailed;
    // The server had more to say than its info call can hand out.
    bool tooLong = false;

    bool isEmpty() const { return plan.isEmpty() && detailed.isEmpty(); }
};
