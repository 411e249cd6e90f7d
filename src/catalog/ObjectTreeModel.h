#pragma once

#include "schema/ObjectDirectory.h"

#include <QAbstractItemModel>
#include <QList>
#include <QStringList>

#include <array>

// The explorer's tree: one row per kind of object, titled with its count,
// and under it the names that pass the filter. Filtering keeps indices into
// the names read, so a keystroke on 20,000 names copies no string and builds
// no item.
class ObjectTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using Kind = ObjectDirectory::Kind;

    explicit ObjectTreeModel(QObject *parent = nullptr);

    void setEntries(const QList<ObjectDirectory::Entry> &entries);
    // Names holding the text, case aside; an empty text passes every name.
    void setFilter(const QString &text);
    QString filter() const { return m_filter; }

    // "Tables (12)" and, while a filter hides some, "Tables (3 of 12)".
    QString kindText(Kind kind) const;
    // What a row stands for: a kind row has an empty name.
    Kind kindOf(const QModelIndex &index) const;
    QString nameOf(const QModelIndex &index) const;
    QModelIndex kindIndex(Kind kind) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    static constexpr int kKinds = 10;
    void applyFilter();

    std::array<QStringList, kKinds> m_names;
    std::array<QList<int>, kKinds> m_shown;
    QString m_filter;
};
