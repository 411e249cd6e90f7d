#pragma once

#include "schema/SchemaDomain.h"

#include <QHash>
#include <QPair>
#include <QString>

class CatalogRow;

// The character sets, collations and domains of the database being read, as
// its columns, parameters and arguments refer to them: by number, and by the
// name of the domain that holds their type. Every domain is kept, the
// server's RDB$n ones too, since a type written out in a declaration lives in
// one of those.
class CatalogTypes
{
public:
    // The character set a type need not name.
    void setDefaultCharacterSet(const QString &name) { m_defaultCharacterSet = name; }
    void addCharacterSet(int id, const QString &name, int bytesPerCharacter);
    void addCollation(int characterSet, int id, const QString &name);
    void addDomain(const SchemaDomain &domain, int characterSet);
    // Nothing happens for a domain not read.
    void addDimension(const QString &domain, SchemaType::Bounds bounds);

    bool hasDomain(const QString &name) const { return m_domains.contains(name); }
    // An empty domain for one not read.
    SchemaDomain domain(const QString &name) const { return m_domains.value(name); }

    // The type of a row that has the type columns of RDB$FIELDS.
    SchemaType typeOf(const CatalogRow &row) const;
    // The collation a column or parameter row names itself, in the character
    // set of its domain; empty when it names none.
    QString ownCollation(const CatalogRow &row, const QString &domain) const;

private:
    struct CharacterSet
    {
        QString name;
        int bytesPerCharacter = 1;
    };

    QString collationName(int characterSet, int collation) const;

    QString m_defaultCharacterSet;
    QHash<int, CharacterSet> m_characterSets;
    QHash<QPair<int, int>, QString> m_collations; // (character set, collation)
    QHash<QString, SchemaDomain> m_domains;
    QHash<QString, int> m_domainSets; // its character set id
};
