#include "schema/CatalogTypes.h"

#include "schema/CatalogRow.h"

void CatalogTypes::addCharacterSet(int id, const QString &name, int bytesPerCharacter)
{
    m_characterSets.insert(id, {name, bytesPerCharacter});
}

void CatalogTypes::addCollation(int characterSet, int id, const QString &name)
{
    m_collations.insert({characterSet, id}, name);
}

void CatalogTypes::addDomain(const SchemaDomain &domain, int characterSet)
{
    m_domains.insert(domain.name, domain);
    m_domainSets.insert(domain.name, characterSet);
}

void CatalogTypes::addDimension(const QString &domain, SchemaType::Bounds bounds)
{
    const auto found = m_domains.find(domain);
    if (found != m_domains.end())
        found->type.dimensions.append(bounds);
}

QString CatalogTypes::collationName(int characterSet, int collation) const
{
    return m_collations.value({characterSet, collation});
}

QString CatalogTypes::ownCollation(const CatalogRow &row, const QString &domain) const
{
    const int collation = row.number("RDB$COLLATION_ID");
    return collation == 0 ? QString() : collationName(m_domainSets.value(domain), collation);
}

SchemaType CatalogTypes::typeOf(const CatalogRow &row) const
{
    const auto value = [&row](const char *column) { return row.value(column); };
    SchemaType type;
    type.type = value("RDB$FIELD_TYPE").toInt();
    type.subType = value("RDB$FIELD_SUB_TYPE").toInt();
    type.scale = value("RDB$FIELD_SCALE").toInt();
    type.precision = value("RDB$FIELD_PRECISION").toInt();
    type.segmentLength = value("RDB$SEGMENT_LENGTH").toInt();
    const QVariant set = value("RDB$CHARACTER_SET_ID");
    const CharacterSet characterSet = m_characterSets.value(set.toInt());
    const QVariant length = value("RDB$CHARACTER_LENGTH");
    type.charLength = !length.isNull() ? length.toInt()
                                       : value("RDB$FIELD_LENGTH").toInt()
                                             / qMax(1, characterSet.bytesPerCharacter);
    if (!set.isNull() && characterSet.name != m_defaultCharacterSet)
        type.characterSet = characterSet.name;
    const int collation = value("RDB$COLLATION_ID").toInt();
    if (collation != 0)
        type.collation = collationName(set.toInt(), collation);
    return type;
}
