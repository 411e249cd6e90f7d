#include "catalog/ObjectTreeModel.h"

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
    applyFilter();
    endResetModel();
}

void ObjectTreeModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    beginResetModel();
    m_filter = text;
    applyFilter();
    endResetModel();
}

void ObjectTreeModel::applyFilter()
{
    for (int kind = 0; kind < kKinds; ++kind) {
        const QStringList &names = m_names[kind];
        QList<int> &shown = m_shown[kind];
        shown.clear();
        shown.reserve(names.size());
        for (int i = 0; i < names.size(); ++i) {
            if (m_filter.isEmpty() || names[i].contains(m_filter, Qt::CaseInsensitive))
                shown.append(i);
        }
    }
}

QString ObjectTreeModel::kindText(Kind kind) const
{
    const qsizetype all = m_names[int(kind)].size();
    const qsizetype shown = m_shown[int(kind)].size();
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

int ObjectTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ObjectTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    if (index.internalId() == kKindRow)
        return kindText(Kind(index.row()));
    return nameOf(index);
}
