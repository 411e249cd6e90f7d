#include "catalog/ObjectTreeModel.h"

#include "catalog/ExplorerIcons.h"

namespace {

// Names sit under their kind; the internal id of a name's index is its
// kind's row plus one, and 0 marks a kind row.
constexpr quintptr kKindRow = 0;

} // namespace

ObjectTreeModel::ObjectTreeModel(QObject *parent) : QAbstractItemModel(parent) {}

void ObjectTreeModel::setEntries(const QList<ObjectDirectory::Entry> &entries)
{
    beginResetModel();
    for (QStringList &names : m_names)
        names.clear();
    for (const ObjectDirectory::Entry &entry : entries)
        m_names[int(entry.kind)].append(entry.name);
    for (int kind = 0; kind < kKinds; ++kind) {
        m_counts[kind] = int(m_names[kind].size());
        m_read[kind] = true;
        m_failed[kind] = false;
        applyFilter(kind, false);
    }
    endResetModel();
}

void ObjectTreeModel::setCounts(const QList<int> &counts)
{
    beginResetModel();
    for (int kind = 0; kind < kKinds; ++kind) {
        m_names[kind].clear();
        m_shown[kind].clear();
        m_counts[kind] = counts.value(kind);
        m_read[kind] = false;
        m_failed[kind] = false;
    }
    for (int kind = 0; kind < kKinds; ++kind) {
        if (!m_filter.isEmpty())
            load(kind);
        applyFilter(kind, false);
    }
    endResetModel();
}

void ObjectTreeModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    // A key typed at the end or inside finds a part of what was found.
    const bool narrowing = !m_filter.isEmpty() && text.contains(m_filter, Qt::CaseInsensitive);
    beginResetModel();
    m_filter = text;
    for (int kind = 0; kind < kKinds; ++kind) {
        const bool fresh = !m_filter.isEmpty() && load(kind);
        applyFilter(kind, narrowing && !fresh);
    }
    endResetModel();
}

bool ObjectTreeModel::load(int kind)
{
    if (!unread(kind) || !m_loader)
        return false;
    std::optional<QStringList> names = m_loader(Kind(kind));
    // Asked once: a view lays its tree out again and again, and a lost
    // server would answer each time with another error box.
    m_read[kind] = true;
    if (!names) {
        m_failed[kind] = true;
        return false;
    }
    m_names[kind] = std::move(*names);
    m_counts[kind] = int(m_names[kind].size());
    return true;
}

QList<int> ObjectTreeModel::matching(int kind) const
{
    const QStringList &names = m_names[kind];
    QList<int> shown;
    shown.reserve(names.size());
    for (int i = 0; i < names.size(); ++i) {
        if (m_filter.isEmpty() || names[i].contains(m_filter, Qt::CaseInsensitive))
            shown.append(i);
    }
    return shown;
}

void ObjectTreeModel::applyFilter(int kind, bool narrowing)
{
    if (m_filter.isEmpty() || !narrowing) {
        m_shown[kind] = matching(kind);
        return;
    }
    const QStringList &names = m_names[kind];
    m_shown[kind].removeIf(
        [&](int i) { return !names[i].contains(m_filter, Qt::CaseInsensitive); });
}

QString ObjectTreeModel::kindText(Kind kind) const
{
    const qsizetype all = m_counts[int(kind)];
    const bool unknown = unread(int(kind)) || m_failed[int(kind)];
    const qsizetype shown = unknown ? all : m_shown[int(kind)].size();
    const QString title = ObjectDirectory::kindTitle(kind);
    if (shown == all)
        return QStringLiteral("%1 (%2)").arg(title).arg(all);
    return QStringLiteral("%1 (%2 of %3)").arg(title).arg(shown).arg(all);
}

ObjectTreeModel::Kind ObjectTreeModel::kindOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return Kind::Domain;
    const quintptr id = index.internalId();
    return Kind(id == kKindRow ? index.row() : int(id) - 1);
}

QString ObjectTreeModel::nameOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == kKindRow)
        return {};
    const int kind = int(index.internalId()) - 1;
    return m_names[kind].value(m_shown[kind].value(index.row(), -1));
}

QModelIndex ObjectTreeModel::kindIndex(Kind kind) const
{
    return index(int(kind), 0);
}

QModelIndex ObjectTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, kKindRow);
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex ObjectTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kKindRow)
        return {};
    return createIndex(int(child.internalId()) - 1, 0, kKindRow);
}

int ObjectTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return kKinds;
    if (parent.internalId() != kKindRow)
        return 0;
    return int(m_shown[parent.row()].size());
}

bool ObjectTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.internalId() == kKindRow && unread(parent.row()))
        return true;
    return rowCount(parent) > 0;
}

bool ObjectTreeModel::canFetchMore(const QModelIndex &parent) const
{
    return parent.isValid() && parent.internalId() == kKindRow && unread(parent.row());
}

void ObjectTreeModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const int kind = parent.row();
    if (load(kind)) {
        QList<int> shown = matching(kind);
        if (!shown.isEmpty()) {
            beginInsertRows(parent, 0, int(shown.size()) - 1);
            m_shown[kind] = std::move(shown);
            endInsertRows();
        }
    }
    emit dataChanged(parent, parent);
}

int ObjectTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ObjectTreeModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && role == Qt::DecorationRole)
        return ExplorerIcons::icon(kindOf(index));
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    if (index.internalId() == kKindRow)
        return kindText(Kind(index.row()));
    return nameOf(index);
}
