#pragma once

#include <QSortFilterProxyModel>

#include <functional>

// The rows of a model that a predicate admits, asked anew for every row
// the source model delivers or resets: a client-side row filter.
class RowFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    using Predicate = std::function<bool(int sourceRow)>;

    explicit RowFilterModel(Predicate predicate, QObject *parent = nullptr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    Predicate m_predicate;
};
