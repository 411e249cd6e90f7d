#include "schema/DatabaseStatistics.h"

#include <QRegularExpression>

namespace {

// "Index X (0)" opens an index of the table before; "T (128)" a table.
// The lines come without their indentation.
const QRegularExpression &indexLine()
{
    static const QRegularExpression re(QStringLiteral("^\\s*Index (\\S+) \\(\\d+\\)$"));
    return re;
}

const QRegularExpression &tableLine()
{
    static const QRegularExpression re(QStringLiteral("^\\s*([^\\t:]+) \\((\\d+)\\)$"));
    return re;
}

// "Data pages: 24, average fill: 87%" gives ("data pages", "24"), ("average fill", "87").
QList<QPair<QString, QString>> figures(const QString &line)
{
    static const QRegularExpression pair(QStringLiteral("([A-Za-z][A-Za-z ]*?):\\s*([\\d.]+)"));
    QList<QPair<QString, QString>> found;
    for (auto match = pair.globalMatch(line); match.hasNext();) {
        const auto m = match.next();
        found.append({m.captured(1).trimmed().toLower(), m.captured(2)});
    }
    return found;
}

// "20 - 39% = 4": band 1 holds 4 pages.
bool readFill(const QString &line, DatabaseStatistics::Fill &fill)
{
    static const QRegularExpression band(QStringLiteral("^\\s*(\\d+) - \\d+% = (\\d+)$"));
    const auto m = band.match(line);
    if (!m.hasMatch())
        return false;
    const int slot = m.captured(1).toInt() / 20;
    if (slot >= 0 && slot < int(fill.size()))
        fill[size_t(slot)] = m.captured(2).toLongLong();
    return true;
}

} // namespace

DatabaseStatistics::DatabaseStatistics(const QStringList &lines)
{
    // Everything before the first table is the header's, wherever the
    // service breaks it up ("Variable header data:" holds the sweep interval).
    for (const QString &line : lines) {
        if (m_tables.isEmpty() && !tableLine().match(line).hasMatch())
            readHeaderLine(line);
        else
            readTableLine(line);
    }
}

void DatabaseStatistics::readHeaderLine(const QString &line)
{
    // "\tPage size\t\t8192", "\tSweep interval:\t\t20000": a name, tabs, a value.
    static const QRegularExpression entry(QStringLiteral("^\\s*([^\\t:]+?):?\\t+(.*)$"));
    const auto m = entry.match(line);
    if (m.hasMatch())
        m_header.append({m.captured(1).trimmed(), m.captured(2).trimmed()});
}

void DatabaseStatistics::readTableLine(const QString &line)
{
    const auto index = indexLine().match(line);
    if (!index.hasMatch() && tableLine().match(line).hasMatch()) {
        const auto m = tableLine().match(line);
        Table table;
        table.name = m.captured(1).trimmed();
        table.id = m.captured(2).toLongLong();
        m_tables.append(table);
        return;
    }
    if (m_tables.isEmpty())
        return;
    Table &table = m_tables.last();
    if (index.hasMatch()) {
        table.indices.append({index.captured(1)});
        return;
    }
    Fill &fill = table.indices.isEmpty() ? table.fill : table.indices.last().fill;
    if (!readFill(line, fill))
        readFigures(line);
}

void DatabaseStatistics::readFigures(const QString &line)
{
    Table &table = m_tables.last();
    for (const auto &[name, value] : figures(line)) {
        if (!table.indices.isEmpty()) {
            Index &index = table.indices.last();
            if (name == QLatin1String("depth"))
                index.depth = value.toLongLong();
            else if (name == QLatin1String("leaf buckets"))
                index.leafBuckets = value.toLongLong();
            else if (name == QLatin1String("nodes"))
                index.nodes = value.toLongLong();
            continue;
        }
        if (name == QLatin1String("data pages"))
            table.dataPages = value.toLongLong();
        else if (name == QLatin1String("average fill"))
            table.averageFill = value.toLongLong();
        else if (name == QLatin1String("total records"))
            table.records = value.toLongLong();
        else if (name == QLatin1String("total versions"))
            table.versions = value.toLongLong();
        else if (name == QLatin1String("average record length"))
            table.averageRecordLength = value.toDouble();
    }
}

QString DatabaseStatistics::headerValue(const QString &name) const
{
    for (const auto &[key, value] : m_header)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString DatabaseStatistics::fillText(const Fill &fill)
{
    QStringList parts;
    for (qint64 pages : fill)
        parts << QString::number(pages);
    return parts.join(QStringLiteral(" / "));
}
