#pragma once

#include "ibdb/AttachmentCounters.h"
#include "ibdb/StatementPlan.h"
#include "ibdb/StatementTimes.h"

#include <ibase.h>

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// What one statement cost: its plans, its times, and the attachment's page
// and per-table counts while its own server calls ran. Whoever runs the
// statement feeds it: the plans once prepared, beginCall() and endCall()
// around each call that runs it or fetches its rows (two info calls at
// most, none when nothing reached the server), the times and the rows so
// far. Counts of other work on the attachment between those calls are left
// out, so a window open beside it does not add its reads here.
class StatementProfile
{
public:
    struct Table
    {
        QString name;
        TableCounts counts;
    };

    // Starts over for another statement.
    void clear();

    void setPlan(const StatementPlan &plan) { m_plan = plan; }
    const StatementPlan &plan() const { return m_plan; }
    StatementTimes &times() { return m_times; }
    const StatementTimes &times() const { return m_times; }

    // On the application's thread, around the statement's own calls. A
    // failed snapshot leaves the counts out; it never fails the statement.
    void beginCall(isc_db_handle attachment);
    void endCall(isc_db_handle attachment);
    const AttachmentCounters &counters() const { return m_counters; }
    bool countersLost() const { return m_countersLost; }

    // A statement that returns rows: how many came so far, and whether the
    // last has (then the figures are final).
    void setRows(int fetched, bool final);
    // Prepared only, never run: there are plans and no figures.
    void setPlanOnly();

    // The counted tables, named from the database (read again only for a
    // relation not seen before; a failed read leaves "#id"), most rows read
    // first.
    QList<Table> tables() const;
    void nameTables(const QSqlDatabase &db);
    // The names are kept between statements, per database, until a
    // statement may have renamed the relations (DDL run here).
    static void forgetTableNames();

    // One line each: the times, the state of the figures, the pages.
    QString timesText() const;
    QString stateText() const;
    QString pagesText() const;
    static QString headerText(TableCounts::Kind kind);
    // Everything, as the pane shows it, as plain text (tables tab-separated).
    QString text() const;

private:
    bool takeSnapshot(isc_db_handle attachment, AttachmentCounters &into);
    QString tableName(int relation) const;

    StatementPlan m_plan;
    StatementTimes m_times;
    AttachmentCounters m_counters;
    AttachmentCounters m_start;
    AttachmentCounters m_last;
    quint64 m_startCalls = 0;
    quint64 m_lastCalls = 0;
    bool m_haveLast = false;
    bool m_inCall = false;
    bool m_countersLost = false;
    bool m_ran = false;
    bool m_hasRows = false;
    bool m_final = false;
    int m_rows = 0;
    QHash<int, QString> m_names;
};
