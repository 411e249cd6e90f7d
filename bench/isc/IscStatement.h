#pragma once

#include "ibdb/IbHandles.h"
#include "RecordedRun.h"

#include <memory>
#include <vector>

class IscSession;

// A statement prepared through the bare client library with buffers for
// every column, fetching rows the way any client must at the least: one
// prepare that describes the columns, no input description (the recorded
// values carry their types), no statement-type query.
class IscStatement
{
public:
    IscStatement(IscSession &session, IbTransaction &transaction, const std::string &text,
                 unsigned short dialect = 1);
    ~IscStatement();

    void bind(const std::vector<RecordedParameter> &parameters);
    // A cursor is opened for fetching; otherwise the one result row, if
    // any, comes with the execution.
    void execute(bool cursor);
    // False at the end of the rows.
    bool fetch();
    // Reads every blob of the current row to its end; returns the bytes of
    // the row's values: a VARCHAR by its length, a blob by its content, NULL
    // as nothing.
    long long readBlobs();

private:
    struct Sqlda;

    void allocateOutput();
    long long readBlob(const XSQLVAR &var);

    IscSession &m_session;
    IbTransaction &m_transaction;
    IbStatement m_statement;
    std::unique_ptr<Sqlda> m_output;
    std::unique_ptr<Sqlda> m_input;
    std::vector<std::vector<char>> m_buffers;
    std::vector<short> m_nulls;
    std::unique_ptr<char[]> m_segment;
};
