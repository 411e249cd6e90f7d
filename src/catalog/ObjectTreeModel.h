#pragma once

#include "schema/ObjectDirectory.h"

#include <QAbstractItemModel>
#include <QList>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// The explorer's tree: one row per kind of object, titled with its count,
// and under it the names that pass the filter. With a hundred thousand
// objects the tree shows the counts alone at first: a kind's names are read
// when it opens, and every kind's when a filter is typed. Filtering keeps
// indices into the names read, so a keystroke copies no string and builds
// no item.
class ObjectTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    using Kind = ObjectDirectory::Kind;
    // Reads one kind's names; nothing when the read failed (the loader has
    // told the user), and the kind stays unread.
    using Loader = std::function<std::optional<QStringList>(Kind)>;

    explicit ObjectTreeModel(QObject *parent = nullptr);

    void setLoader(Loader loader) { m_loader = std::move(loader); }
    // Every name known at once.
    void setEntries(const QList<ObjectDirectory::Entry> &entries);
    // Only the counts, indexed by kind; names come from the loader.
    void setCounts(const QList<int> &counts);
    // Names holding the text, case aside; an empty text passes every name.
    void setFilter(const QString &text);
    QString filter() const { return m_filter; }

    // "Tables (12)" and, while a filter hides some, "Tables (3 of 12)".
    QString kindText(Kind kind) const;
    // The kind's names, read or not.
    int count(Kind kind) const { return m_counts[int(kind)]; }
    // What a row stands for: a kind row has an empty name.
    Kind kindOf(const QModelIndex &index) const;
    QString nameOf(const QModelIndex &index) const;
    QModelIndex kindIndex(Kind kind) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    static constexpr int kKinds = 10;
    bool unread(int kind) const { return !m_read[kind] && m_counts[kind] > 0; }
    bool load(int kind);
    QList<int> matching(int kind) const;
    void applyFilter(int kind, bool narrowing);

    std::array<QStringList, kKinds> m_names;
    std::array<QList<int>, kKinds> m_shown;
    std::array<int, kKinds> m_counts{};
    std::array<bool, kKinds> m_read{};
    std::array<bool, kKinds> m_failed{};
    QString m_filter;
    Loader m_loader;
};
