#pragma once

#include "ibdb/IbHandles.h"

#include <string>

// One attachment through the bare client library, as SYSDBA with the
// character set the program's driver asks for, so both sides pay the same
// transliteration.
class IscSession
{
public:
    explicit IscSession(const std::string &path);

    // A new dialect-1 database; writes are not forced to disk, which only
    // makes generating the schema faster.
    static void create(const std::string &path, int pageSize);

    isc_db_handle *handle() { return m_db.ref(); }

    // A transaction as the program's catalogue queries start one.
    IbTransaction readCommitted();
    // A transaction with the client library's defaults, as the program's
    // own transaction for changes is started.
    IbTransaction defaults();
    void commit(IbTransaction &transaction);

    void executeImmediate(IbTransaction &transaction, const std::string &statement);
    // Runs each statement in a transaction of its own and commits it.
    void executeCommitted(const std::string &statement);

private:
    IbAttachment m_db;
};
