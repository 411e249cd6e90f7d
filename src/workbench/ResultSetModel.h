#pragma once

#include <QSqlQueryModel>

// The query result window's rows: a long value shows as its preview (see
// CellPreview); asked for itself (GridValueDelegate::WholeValueRole), a long
// blob is read whole while the query's transaction lives. A query is no
// table: it has no key to read a row again by, and it may compute its blobs,
// which live no longer than that transaction.
class ResultSetModel : public QSqlQueryModel
{
    Q_OBJECT

public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Told around each batch of rows the view asks for, never each row.
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

signals:
    void batchStarting();
    void batchFetched();
};
