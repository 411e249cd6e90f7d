#include "schema/TableChecksums.h"

#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"
#include "ibdb/TIBDataBase.h"

#include <QDataStream>
#include <QIODevice>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// A row's values with their types, so that 1 and '1' differ.
quint64 rowHash(const QSqlRecord &record)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    for (int i = 0; i < record.count(); ++i)
        stream << record.value(i);
    return quint64(qHash(bytes, size_t(0x51a7e5eedULL)));
}

} // namespace

TableChecksums::TableChecksums(TIBDataBase &database)
{
    QStringList names;
    database.ListTableNames(names, false, false);
    for (const QString &name : std::as_const(names))
        m_tables.insert(name, figuresOf(database, name));
}

TableChecksums::Figures TableChecksums::figuresOf(TIBDataBase &database, const QString &table)
{
    QSqlQuery query(database.connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM %1").arg(database.sqlName(table))))
        throw DatabaseError(SqlErrorText(query.lastError()));
    Figures figures;
    while (query.next()) {
        ++figures.rows;
        // A sum, not an exclusive or: two equal rows must not cancel out.
        figures.checksum += rowHash(query.record());
    }
    if (query.lastError().isValid())
        throw DatabaseError(SqlErrorText(query.lastError()));
    return figures;
}

QStringList TableChecksums::differences(const TableChecksums &original,
                                        const TableChecksums &copy)
{
    QStringList lines;
    for (auto it = original.m_tables.cbegin(); it != original.m_tables.cend(); ++it) {
        const auto other = copy.m_tables.constFind(it.key());
        if (other == copy.m_tables.cend())
            lines << QStringLiteral("table %1: missing from the restored database").arg(it.key());
        else if (other->rows != it->rows)
            lines << QStringLiteral("table %1: %2 rows, restored %3")
                         .arg(it.key()).arg(it->rows).arg(other->rows);
        else if (other->checksum != it->checksum)
            lines << QStringLiteral("table %1: the rows' values differ").arg(it.key());
    }
    for (auto it = copy.m_tables.cbegin(); it != copy.m_tables.cend(); ++it) {
        if (!original.m_tables.contains(it.key()))
            lines << QStringLiteral("table %1: only in the restored database").arg(it.key());
    }
    return lines;
}
