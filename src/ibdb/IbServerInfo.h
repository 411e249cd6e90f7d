#pragma once

#include <ibase.h>

#include <QString>

// What an attachment tells of its server and database at connect: the
// server's version and the database's on-disk structure (ODS). What a
// catalogue or a type needs of a newer engine is decided by the ODS, which
// the database keeps, not by the server that happens to open it.
class IbServerInfo
{
public:
    // The first ODS with Firebird 4's types and names of 63 characters.
    static constexpr int kFirebird4Ods = 13;

    // Asks the server; a failed call throws IbError.
    static IbServerInfo read(isc_db_handle attachment);
    // From the answer to isc_info_firebird_version, isc_info_ods_version
    // and isc_info_ods_minor_version; what the answer lacks stays empty/0.
    static IbServerInfo parse(const char *answer, int size);

    // "4.0.5": the engine's own version, not the client's.
    QString version() const { return m_version; }
    int odsMajor() const { return m_odsMajor; }
    int odsMinor() const { return m_odsMinor; }
    bool hasFirebird4Types() const { return m_odsMajor >= kFirebird4Ods; }
    // "Firebird 4.0.5, ODS 13.0, dialect 3".
    QString describe(int dialect) const;

private:
    void takeVersion(const char *value, int length);

    QString m_version;
    int m_odsMajor = 0;
    int m_odsMinor = 0;
};
