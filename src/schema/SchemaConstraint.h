#pragma once

#include <QString>
#include <QStringList>

// A PRIMARY KEY, UNIQUE, FOREIGN KEY or CHECK constraint of a table.
struct SchemaConstraint
{
    enum class Kind { PrimaryKey, Unique, ForeignKey, Check };

    QString name; // empty: a name of the server's own (INTEG_n)
    QString table;
    Kind kind = Kind::PrimaryKey;
    QStringList columns = {};
    QString indexName = {}; // empty: the server's own
    bool descending = false;
    QString referencedTable = {};
    QStringList referencedColumns = {};
    QString updateRule = {}; // "CASCADE", "SET NULL", ...; empty: RESTRICT
    QString deleteRule = {};
    QString checkSource = {}; // "CHECK (...)", as stored
    QString storedName = {};  // as the server holds it, INTEG_n too: what the user sees
};
