#include "ibdb/StatementProfile.h"

#include "core/AppError.h"
#include "ibdb/RelationNames.h"
#include "ibdb/ServerCall.h"

#include <QStringList>

#include <algorithm>

namespace {

QString milliseconds(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 3) + QStringLiteral(" ms");
}

// The relations' names per database, read once for many statements.
QHash<QString, QHash<int, QString>> &knownNames()
{
    static QHash<QString, QHash<int, QString>> names;
    return names;
}

QString section(const QString &title, const QString &body)
{
    return title + u'\n' + (body.isEmpty() ? QStringLiteral("No plan") : body) + u'\n';
}

} // namespace

void StatementProfile::clear()
{
    *this = StatementProfile();
}

bool StatementProfile::takeSnapshot(isc_db_handle attachment, AttachmentCounters &into)
{
    try {
        ServerCall::run(attachment, [&] { into = AttachmentCounters::take(attachment); });
        return true;
    } catch (const AppError &) {
        m_countersLost = true;
        return false;
    }
}

// A snapshot taken after the last call still holds when nothing reached the
// server since: the common case while rows are fetched batch after batch.
void StatementProfile::beginCall(isc_db_handle attachment)
{
    m_ran = true;
    m_inCall = false;
    if (m_countersLost)
        return;
    if (m_haveLast && ServerCall::callsStarted() == m_lastCalls)
        m_start = m_last;
    else if (!takeSnapshot(attachment, m_start))
        return;
    m_startCalls = ServerCall::callsStarted();
    m_inCall = true;
}

void StatementProfile::endCall(isc_db_handle attachment)
{
    if (!m_inCall)
        return;
    m_inCall = false;
    if (ServerCall::callsStarted() == m_startCalls) {
        m_last = m_start;
    } else {
        if (!takeSnapshot(attachment, m_last))
            return;
        m_counters += m_last - m_start;
    }
    m_lastCalls = ServerCall::callsStarted();
    m_haveLast = true;
}

void StatementProfile::setRows(int fetched, bool final)
{
    m_hasRows = true;
    m_rows = fetched;
    m_final = final;
}

void StatementProfile::setPlanOnly()
{
    m_ran = false;
}

void StatementProfile::nameTables(const QSqlDatabase &db)
{
    QHash<int, QString> &cached = knownNames()[db.connectionName() + u'|' + db.databaseName()];
    const auto known = [&cached](int relation) { return cached.contains(relation); };
    const QList<int> ids = m_counters.tables.keys();
    if (!std::all_of(ids.cbegin(), ids.cend(), known)) {
        try {
            cached = RelationNames::read(db);
        } catch (const AppError &) {
            // The figures stand without names; the ids say which table it was.
        }
        // A relation dropped meanwhile is not looked for again each batch.
        for (const int relation : ids) {
            if (!cached.contains(relation))
                cached.insert(relation, QStringLiteral("#%1").arg(relation));
        }
    }
    m_names = cached;
}

void StatementProfile::forgetTableNames()
{
    knownNames().clear();
}

QString StatementProfile::tableName(int relation) const
{
    return m_names.value(relation, QStringLiteral("#%1").arg(relation));
}

QList<StatementProfile::Table> StatementProfile::tables() const
{
    QList<Table> list;
    for (auto it = m_counters.tables.cbegin(); it != m_counters.tables.cend(); ++it)
        list.append({tableName(it.key()), *it});
    const auto reads = [](const Table &t) {
        return t.counts[TableCounts::NonIndexedReads] + t.counts[TableCounts::IndexedReads];
    };
    std::stable_sort(list.begin(), list.end(), [&](const Table &a, const Table &b) {
        return reads(a) != reads(b) ? reads(a) > reads(b) : a.name < b.name;
    });
    return list;
}

QString StatementProfile::timesText() const
{
    QString text = QStringLiteral("Prepare ") + milliseconds(m_times.prepareNs);
    if (m_ran)
        text += QStringLiteral(", execute ") + milliseconds(m_times.executeNs);
    if (m_hasRows)
        text += QStringLiteral(", fetch ") + milliseconds(m_times.fetchNs);
    return text;
}

QString StatementProfile::stateText() const
{
    if (!m_ran)
        return QStringLiteral("Not run: plans only");
    if (!m_hasRows)
        return QStringLiteral("Final");
    const QString rows = m_rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(m_rows);
    return m_final ? QStringLiteral("Final: all %1 fetched").arg(rows)
                   : QStringLiteral("So far: %1 fetched, more to come").arg(rows);
}

QString StatementProfile::pagesText() const
{
    if (!m_ran)
        return {};
    if (m_countersLost)
        return QStringLiteral("Pages: the server gave no counts");
    return QStringLiteral("Pages: %1 reads, %2 writes, %3 fetches, %4 marks")
        .arg(m_counters.reads)
        .arg(m_counters.writes)
        .arg(m_counters.fetches)
        .arg(m_counters.marks);
}

QString StatementProfile::headerText(TableCounts::Kind kind)
{
    static const char *const headers[TableCounts::KindCount] = {
        "Non-indexed reads", "Indexed reads", "Inserts", "Updates",
        "Deletes",           "Backouts",      "Purges",  "Expunges"};
    return QString::fromLatin1(headers[kind]);
}

QString StatementProfile::text() const
{
    QStringList lines{section(QStringLiteral("Plan"), m_plan.plan),
                      section(QStringLiteral("Detailed plan"), m_plan.detailed)};
    QString figures = timesText() + u'\n' + stateText() + u'\n';
    if (m_ran)
        figures += pagesText() + u'\n';
    lines << figures;
    if (m_ran && !m_countersLost) {
        QStringList rows{QStringLiteral("Table")};
        for (int kind = 0; kind < TableCounts::KindCount; ++kind)
            rows.first() += u'\t' + headerText(TableCounts::Kind(kind));
        for (const Table &table : tables()) {
            QString row = table.name;
            for (const qint64 value : table.counts.values)
                row += u'\t' + QString::number(value);
            rows << row;
        }
        lines << rows.join(u'\n') + u'\n';
    }
    return lines.join(u'\n');
}
