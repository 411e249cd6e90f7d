#pragma once

#include "ibdb/IbHandles.h"
#include "SchemaSize.h"

#include <string>

class IscSession;

// Writes the benchmark schema into a new dialect-1 database. Every object
// depends on others the way real schemas do: columns on domains, views on
// two tables, triggers and procedures on tables, generators and exceptions.
// The first table is the one with many dependents: every view and every
// procedure reads it.
class SchemaGenerator
{
public:
    SchemaGenerator(IscSession &session, const SchemaSize &size);

    void run();
    // The domains alone: a catalogue of many objects and no data.
    void objectsOnly();

    static std::string tableName(int number);
    static constexpr const char *rowsTable = "BENCH_ROWS";

private:
    void domains();
    void exceptions();
    void generators();
    void tables();
    void rows();
    void views();
    void triggers();
    void procedures();

    std::string domainName(int number) const;
    std::string domainType(int number) const;
    std::string triggerText(int number) const;
    std::string procedureText(int number) const;

    // Statements are committed in batches: thousands of objects in one
    // transaction hold too much, one each is slow.
    void batch(const std::string &statement);
    void flush();

    IscSession &m_session;
    SchemaSize m_size;
    IbTransaction m_transaction;
    int m_pending = 0;
};
