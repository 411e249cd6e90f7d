#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Every index of one relation, those behind its keys included, with the
// selectivity the server last computed: what the structure window lists.
class RelationIndices
{
public:
    struct Index
    {
        QString name;
        QStringList columns = {};
        QString expression = {}; // as stored; empty for a column list
        bool unique = false;
        bool descending = false;
        bool inactive = false;
        double selectivity = 0;
    };

    // In name order, in one query. Throws DatabaseError with the server's text.
    static QList<Index> read(QSqlDatabase database, const QString &relation);
};
