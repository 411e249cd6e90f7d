#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class TIBDataBase;

// Every user table's row count and a checksum of all its rows' values, so
// that two databases that should hold the same rows can be compared. The
// checksum does not depend on the order the rows come in: a restore may
// store them differently.
class TableChecksums
{
public:
    // Throws DatabaseError with the server's text when a table cannot be read.
    explicit TableChecksums(TIBDataBase &database);

    struct Figures
    {
        qint64 rows = 0;
        quint64 checksum = 0;
        bool operator==(const Figures &) const = default;
    };
    const QMap<QString, Figures> &tables() const { return m_tables; }

    // One line for each table whose figures differ, or that only one holds.
    static QStringList differences(const TableChecksums &original, const TableChecksums &copy);

private:
    static Figures figuresOf(TIBDataBase &database, const QString &table);

    QMap<QString, Figures> m_tables;
};
