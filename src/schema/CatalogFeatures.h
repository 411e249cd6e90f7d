#pragma once

#include <QSqlDatabase>
#include <QString>

// What the catalogue of the database being read has beyond Firebird 3's
// (ODS 12), decided by the database's on-disk structure, not by the server
// that opens it. Every reader asks here before it names a newer column, so
// a Firebird 3 database is asked exactly what it always was; Firebird 5's
// additions (ODS 13.1: partial indices, its system packages) go here too.
class CatalogFeatures
{
public:
    static constexpr int kFirebird4Ods = 13;

    // The ODS the driver read at connect; Firebird 3's for another driver.
    static CatalogFeatures of(const QSqlDatabase &database);
    explicit CatalogFeatures(int odsMajor = 12, int odsMinor = 0);

    // RDB$SQL_SECURITY of tables, routines, packages, triggers and the database.
    bool hasSqlSecurity() const { return atLeast(kFirebird4Ods, 0); }
    // RDB$ROLES.RDB$SYSTEM_PRIVILEGES.
    bool hasSystemPrivileges() const { return atLeast(kFirebird4Ods, 0); }
    // RDB$PUBLICATIONS and RDB$PUBLICATION_TABLES.
    bool hasPublications() const { return atLeast(kFirebird4Ods, 0); }

    // ", <qualifier>RDB$SQL_SECURITY" where the catalogue has it, else
    // nothing: the row then has no such column and reads as not set.
    QString sqlSecurityColumn(const QString &qualifier = {}) const;

private:
    bool atLeast(int major, int minor) const
    {
        return m_odsMajor > major || (m_odsMajor == major && m_odsMinor >= minor);
    }

    int m_odsMajor;
    int m_odsMinor;
};
