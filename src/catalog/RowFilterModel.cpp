#include "catalog/RowFilterModel.h"

RowFilterModel::RowFilterModel(Predicate predicate, QObject *parent)
    : QSortFilterProxyModel(parent), m_predicate(std::move(predicate))
{
}

bool RowFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return !sourceParent.isValid() && m_predicate(sourceRow);
}
