#pragma once

#include "ProcedureDdl.h"

#include <QHash>
#include <QPair>
#include <QString>

#include <optional>

class CatalogQuery;

// Reads a procedure parameter from a row of the parameter query (the
// parameter joined with its source domain) together with what it carries
// beyond its type: the domain or column it is declared by, NOT NULL, a
// default, a character set other than the database's and a collation. Names
// of character sets and collations are looked up once, when first needed.
class ProcedureParameterReader
{
public:
    ProcedureDdl::Parameter read(const CatalogQuery *query, int row, const QString &typeText);

private:
    static QString domainOf(const CatalogQuery *query, int row);
    QString characterSetOf(const CatalogQuery *query, int row);
    QString collationOf(const CatalogQuery *query, int row);
    void loadNames();

    bool m_loaded = false;
    QString m_defaultCharacterSet;
    QHash<int, QString> m_characterSets;
    QHash<QPair<int, int>, QString> m_collations;
};
