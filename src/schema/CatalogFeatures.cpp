#include "schema/CatalogFeatures.h"

#include "ibdb/IbDriver.h"

CatalogFeatures CatalogFeatures::of(const QSqlDatabase &database)
{
    const auto *driver = qobject_cast<const IbDriver *>(database.driver());
    if (!driver)
        return CatalogFeatures();
    const IbServerInfo &server = driver->serverInfo();
    return CatalogFeatures(server.odsMajor(), server.odsMinor());
}

CatalogFeatures::CatalogFeatures(int odsMajor, int odsMinor)
    : m_odsMajor(odsMajor), m_odsMinor(odsMinor)
{
}

QString CatalogFeatures::sqlSecurityColumn(const QString &qualifier) const
{
    return hasSqlSecurity() ? QStringLiteral(", %1RDB$SQL_SECURITY").arg(qualifier) : QString();
}
