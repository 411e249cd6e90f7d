#include "uikit/CatalogQuery.h"

#include "core/AppError.h"
#include "core/BusyCursor.h"
#include "ibdb/IbResult.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TDMSys.h"
#include "uikit/SqlGridRoles.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

const QString kConnection = TDMSys::ibName();

} // namespace

CatalogQuery::CatalogQuery(QObject *parent) : QSqlQueryModel(parent) {}

void CatalogQuery::setLines(const QStringList &lines)
{
    m_text = lines.join(QLatin1Char('\n'));
}

void CatalogQuery::setParam(const QString &name, const QVariant &value)
{
    for (auto &param : m_params) {
        if (param.first == name) {
            param.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

void CatalogQuery::addCalculatedField(const QString &name, Calculation calculation)
{
    m_calculated.append({name, std::move(calculation)});
}

void CatalogQuery::setMemoField(const QString &name)
{
    m_memoFields.append(name);
}

void CatalogQuery::open()
{
    BusyCursor busy;
    close();
    QSqlDatabase db = QSqlDatabase::database(kConnection);
    if (!db.isOpen())
        throw DatabaseError(SqlErrorText(db.lastError()));
    QSqlQuery query(db);
    if (!query.prepare(m_text))
        throw DatabaseError(SqlErrorText(query.lastError()));
    for (const auto &[name, value] : m_params)
        query.bindValue(QLatin1Char(':') + name, value);
    if (!query.exec())
        throw DatabaseError(SqlErrorText(query.lastError()));
    // Catalogue rows are few: the grid finds them in when it scrolls on,
    // read meanwhile, while the window lays out and paints.
    IbResult::readAheadInBackground(query);
    // Views ask for the columns while the model resets, so the calculated ones
    // must already count by then.
    m_open = true;
    setQuery(std::move(query));
    if (lastError().isValid()) {
        const QString text = SqlErrorText(lastError());
        close();
        throw DatabaseError(text);
    }
    if (m_sortColumn >= 0)
        applySort();
}

void CatalogQuery::close()
{
    clear();
    m_calculatedValues.clear();
    m_order.clear();
    m_open = false;
}

void CatalogQuery::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column < columnCount() ? column : -1;
    m_sortOrder = order;
    if (m_open)
        applySort();
}

// Rows that compare equal keep the query's order, which is the catalogue's
// own (by name, mostly); the current row stays on its object.
void CatalogQuery::applySort()
{
    fetchAll();
    const QModelIndexList shown = persistentIndexList();
    QList<int> sources;
    for (const QModelIndex &index : shown)
        sources << sourceRow(index.row());
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> order;
    if (m_sortColumn >= 0) {
        QList<QVariant> keys;
        for (int row = 0; row < rowCount(); ++row) {
            order << row;
            keys << sortKey(row, m_sortColumn);
        }
        const bool ascending = m_sortOrder == Qt::AscendingOrder;
        std::stable_sort(order.begin(), order.end(), [&keys, ascending](int a, int b) {
            return ascending ? before(keys[a], keys[b]) : before(keys[b], keys[a]);
        });
    }
    m_order = order;
    QList<int> viewRows(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        viewRows[sourceRow(row)] = row;
    QModelIndexList moved;
    for (qsizetype i = 0; i < shown.size(); ++i)
        moved << index(viewRows.value(sources[i]), shown[i].column());
    changePersistentIndexList(shown, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Names without the catalogue's blank padding, letters without case.
QVariant CatalogQuery::sortKey(int sourceRow, int column) const
{
    const int base = baseColumnCount();
    const QVariant value = column < base ? stored(sourceRow, column)
                                         : calculated(sourceRow, column - base);
    if (value.typeId() == QMetaType::QString)
        return value.toString().trimmed().toCaseFolded();
    return value;
}

// A strict order for sorting: NULL before every value, numbers by value.
bool CatalogQuery::before(const QVariant &left, const QVariant &right)
{
    if (left.isNull() || right.isNull())
        return left.isNull() && !right.isNull();
    const QPartialOrdering ordering = QVariant::compare(left, right);
    if (ordering == QPartialOrdering::Unordered)
        return left.toString() < right.toString();
    return ordering == QPartialOrdering::Less;
}

int CatalogQuery::baseColumnCount() const
{
    return QSqlQueryModel::columnCount();
}

int CatalogQuery::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_open ? baseColumnCount() + int(m_calculated.size()) : 0;
}

int CatalogQuery::fieldIndex(const QString &name) const
{
    const int stored = record().indexOf(name);
    if (stored >= 0)
        return stored;
    for (int i = 0; i < m_calculated.size(); ++i) {
        if (m_calculated[i].first == name)
            return baseColumnCount() + i;
    }
    return -1;
}

QString CatalogQuery::fieldName(int column) const
{
    const int base = baseColumnCount();
    if (column < base)
        return record().fieldName(column);
    return column - base < m_calculated.size() ? m_calculated[column - base].first : QString();
}

QVariant CatalogQuery::value(int row, const QString &name) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const int column = record().indexOf(name);
    if (column >= 0)
        return stored(sourceRow(row), column);
    for (int field = 0; field < m_calculated.size(); ++field) {
        if (m_calculated[field].first == name)
            return calculated(sourceRow(row), field);
    }
    return {};
}

QSqlRecord CatalogQuery::rowRecord(int row) const
{
    return sourceRecord(sourceRow(row));
}

// Qt's record(row) reads through data(), so in the grid's order; these
// read the query's own rows.
QVariant CatalogQuery::stored(int sourceRow, int column) const
{
    return QSqlQueryModel::data(QSqlQueryModel::index(sourceRow, column), Qt::EditRole);
}

QSqlRecord CatalogQuery::sourceRecord(int sourceRow) const
{
    QSqlRecord values = record();
    for (int column = 0; column < values.count(); ++column)
        values.setValue(column, stored(sourceRow, column));
    return values;
}

// Of the query's row: the values are kept by it, whatever the order shown.
QVariant CatalogQuery::calculated(int row, int field) const
{
    auto known = m_calculatedValues.constFind({row, field});
    if (known != m_calculatedValues.cend())
        return *known;
    // A row's values are read once for all its calculated fields: a grid asks
    // for them cell by cell.
    const QSqlRecord values = sourceRecord(row);
    for (int other = 0; other < m_calculated.size(); ++other) {
        if (!m_calculatedValues.contains({row, other}))
            m_calculatedValues.insert({row, other}, m_calculated[other].second(values));
    }
    return m_calculatedValues.value({row, field});
}

void CatalogQuery::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

QVariant CatalogQuery::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (SqlGridRoles::answers(role))
        return SqlGridRoles::data(*this, index, role);
    const int base = baseColumnCount();
    if (index.column() >= base) {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return calculated(sourceRow(index.row()), index.column() - base);
    }
    if (role == Qt::DisplayRole && isMemoField(fieldName(index.column())))
        return QStringLiteral("(MEMO)");
    return QSqlQueryModel::data(QSqlQueryModel::index(sourceRow(index.row()), index.column()),
                                role);
}

QVariant CatalogQuery::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int base = baseColumnCount();
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= base) {
        const QVariant title = QSqlQueryModel::headerData(section, orientation, Qt::EditRole);
        if (title.isValid())
            return title;
        return section - base < m_calculated.size() ? QVariant(m_calculated[section - base].first)
                                                    : QVariant();
    }
    return QSqlQueryModel::headerData(section, orientation, role);
}
