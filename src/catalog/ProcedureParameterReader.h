#pragma once

#include "schema/ProcedureDdl.h"

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
    // Names of domains, relations and columns are spelled as a statement of
    // the given dialect needs them.
    explicit ProcedureParameterReader(int dialect = 1) : m_dialect(dialect) {}

    ProcedureDdl::Parameter read(const CatalogQuery *query, int row, const QString &typeText);

private:
    QString domainOf(const CatalogQuery *query, int row) const;
    QString characterSetOf(const CatalogQuery *query, int row);
    QString collationOf(const CatalogQuery *query, int row);
    void loadNames();

    int m_dialect;
    bool m_loaded = false;
    QString m_defaultCharacterSet;
    QHash<int, QString> m_characterSets;
    QHash<QPair<int, int>, QString> m_collations;
};
