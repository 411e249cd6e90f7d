#include "catalog/PrivilegeGridModel.h"

#include <QFont>

PrivilegeGridModel::PrivilegeGridModel(PrivilegeMatrix &matrix, const QString &kindTitle,
                                       const QString &nameTitle, QObject *parent)
    : QAbstractTableModel(parent), m_matrix(matrix), m_kindTitle(kindTitle),
      m_nameTitle(nameTitle)
{
}

QString PrivilegeGridModel::stateText(PrivilegeMatrix::State state)
{
    switch (state) {
    case PrivilegeMatrix::State::Granted: return QStringLiteral("Granted");
    case PrivilegeMatrix::State::WithGrantOption: return QStringLiteral("With grant option");
    default: return QString();
    }
}

void PrivilegeGridModel::setRows(QList<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int PrivilegeGridModel::find(const QString &kind, const QString &name) const
{
    for (int at = 0; at < m_rows.size(); ++at) {
        if (m_rows[at].kind == kind && m_rows[at].name == name)
            return at;
    }
    return -1;
}

PrivilegeTarget::Privilege PrivilegeGridModel::privilegeAt(int column)
{
    return PrivilegeTarget::allPrivileges().at(column - kLeadingColumns);
}

bool PrivilegeGridModel::toggle(const QModelIndex &index)
{
    const Row *at = row(index.row());
    if (!at || index.column() < kLeadingColumns)
        return false;
    const PrivilegeTarget::Privilege privilege = privilegeAt(index.column());
    const PrivilegeMatrix::State now = m_matrix.state(at->target, at->grantee, privilege);
    if (!m_matrix.set(at->target, at->grantee, privilege, PrivilegeMatrix::next(now)))
        return false;
    emit dataChanged(index, index);
    return true;
}

void PrivilegeGridModel::refreshCells()
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, kLeadingColumns), index(rowCount() - 1, columnCount() - 1));
}

int PrivilegeGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PrivilegeGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kLeadingColumns + int(PrivilegeTarget::allPrivileges().size());
}

QVariant PrivilegeGridModel::data(const QModelIndex &index, int role) const
{
    const Row *at = row(index.row());
    if (!at)
        return {};
    if (index.column() < kLeadingColumns)
        return role == Qt::DisplayRole ? (index.column() == 0 ? at->kind : at->name) : QVariant();
    const PrivilegeTarget::Privilege privilege = privilegeAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return stateText(m_matrix.state(at->target, at->grantee, privilege));
    case Qt::FontRole: {
        if (m_matrix.state(at->target, at->grantee, privilege)
            == m_matrix.stored(at->target, at->grantee, privilege))
            return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return {};
    }
}

QVariant PrivilegeGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return m_kindTitle;
    if (section == 1)
        return m_nameTitle;
    return PrivilegeTarget::privilegeName(privilegeAt(section));
}

Qt::ItemFlags PrivilegeGridModel::flags(const QModelIndex &index) const
{
    const Row *at = row(index.row());
    if (!at)
        return Qt::NoItemFlags;
    if (index.column() < kLeadingColumns
        || at->target.applies(privilegeAt(index.column())))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsSelectable;
}
