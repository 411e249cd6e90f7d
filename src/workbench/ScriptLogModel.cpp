#include "workbench/ScriptLogModel.h"

#include "core/AppError.h"
#include "core/WholeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList kHeadings{QStringLiteral("Line"), QStringLiteral("Statement"),
                            QStringLiteral("Rows"), QStringLiteral("ms"),
                            QStringLiteral("Error"), QStringLiteral("Note")};

// A server's message spans lines; in the log each row keeps to one.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    text.replace(u'\r', QStringLiteral(" / "));
    text.replace(u'\n', QStringLiteral(" / "));
    text.replace(u'\t', u' ');
    return text;
}

} // namespace

ScriptLogModel::ScriptLogModel(QObject *parent) : QAbstractTableModel(parent)
{
    openStore();
}

void ScriptLogModel::openStore()
{
    m_store.setFileTemplate(QDir::tempPath() + QStringLiteral("/quorvel-log-XXXXXX.txt"));
    if (!m_store.open())
        throw GeneralError(QStringLiteral("Cannot create the log of the script run: %1")
                               .arg(m_store.errorString()));
}

void ScriptLogModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_dropped = 0;
    m_store.resize(0);
    m_store.seek(0);
    endResetModel();
}

ScriptLogRow ScriptLogModel::compact(const ScriptLogRow &row)
{
    constexpr qsizetype kLongest = 200;
    ScriptLogRow kept = row;
    QString first = row.firstLine();
    if (first.size() > kLongest)
        first = first.left(kLongest) + QStringLiteral("...");
    kept.command.text = first;
    return kept;
}

ScriptLogModel::Entry ScriptLogModel::entryOf(const ScriptLogRow &row)
{
    const QString line = QString::number(row.command.line);
    return {row.file.isEmpty() ? line : QFileInfo(row.file).fileName() + u':' + line,
            oneLine(row.firstLine()),
            row.rows,
            row.milliseconds,
            oneLine(row.error.trimmed()),
            oneLine(row.note),
            row.profile};
}

std::shared_ptr<const StatementProfile> ScriptLogModel::profileAt(int row) const
{
    return row >= 0 && row < m_entries.size() ? m_entries[row].profile : nullptr;
}

QByteArray ScriptLogModel::lineOf(const Entry &entry)
{
    QStringList cells{entry.where, entry.statement,
                      entry.rows < 0 ? QString() : QString::number(entry.rows),
                      QString::number(entry.milliseconds), entry.error, entry.note};
    return cells.join(u'\t').toUtf8() + "\r\n";
}

void ScriptLogModel::append(const QList<ScriptLogRow> &rows)
{
    if (rows.isEmpty())
        return;
    QByteArray lines;
    QList<Entry> entries;
    entries.reserve(rows.size());
    for (const ScriptLogRow &row : rows) {
        entries.append(entryOf(row));
        lines += lineOf(entries.last());
    }
    m_store.write(lines);
    const qsizetype room = shownRows() - m_entries.size();
    if (entries.size() > room)
        dropOldest(int(qMin<qsizetype>(entries.size() - room, m_entries.size())));
    // A batch larger than the grid keeps its own latest rows only.
    const qsizetype skip = qMax<qsizetype>(0, entries.size() - shownRows());
    m_dropped += skip;
    const int first = int(m_entries.size());
    beginInsertRows({}, first, first + int(entries.size() - skip) - 1);
    m_entries.append(entries.mid(skip));
    endInsertRows();
}

void ScriptLogModel::dropOldest(int count)
{
    if (count <= 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    m_entries.remove(0, count);
    m_dropped += count;
    endRemoveRows();
}

QByteArray ScriptLogModel::text() const
{
    m_store.flush();
    QFile whole(m_store.fileName());
    QByteArray bytes = kHeadings.join(u'\t').toUtf8() + "\r\n";
    if (whole.open(QIODevice::ReadOnly))
        bytes += whole.readAll();
    return bytes;
}

void ScriptLogModel::save(const QString &fileName) const
{
    const QString failure = WholeFile::write(fileName, text());
    if (!failure.isEmpty())
        throw GeneralError(QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(fileName), failure));
}

int ScriptLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ScriptLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(kHeadings.size());
}

QString ScriptLogModel::cell(const Entry &entry, int column) const
{
    switch (column) {
    case LineColumn:
        return entry.where;
    case StatementColumn:
        return entry.statement;
    case RowsColumn:
        return entry.rows < 0 ? QString() : QString::number(entry.rows);
    case MsColumn:
        return QString::number(entry.milliseconds);
    case ErrorColumn:
        return entry.error;
    default:
        return entry.note;
    }
}

QVariant ScriptLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const Entry &entry = m_entries.at(index.row());
    if (role == Qt::DisplayRole)
        return cell(entry, index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == RowsColumn || index.column() == MsColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ScriptLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= kHeadings.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return kHeadings.at(section);
}
