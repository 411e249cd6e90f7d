#include "StatementRecorder.h"

#include "ibdb/IbReadAhead.h"

#include <ibase.h>

#include <dlfcn.h>

#include <cstring>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

namespace {

// Rows read ahead in the background are counted on the server thread while
// the window's thread takes a snapshot.
struct Recording
{
    std::mutex mutex;
    bool on = false;
    // The text and dialect each handle was prepared with.
    std::unordered_map<isc_stmt_handle, std::pair<std::string, unsigned short>> prepared;
    // The run a handle's fetches count towards: an index into runs.
    std::unordered_map<isc_stmt_handle, size_t> current;
    std::vector<RecordedRun> runs;
};

Recording &recording()
{
    static Recording instance;
    return instance;
}

// The client library may call its own entry points (execute calls execute2):
// only the program's outermost call counts.
thread_local int depth = 0;

struct Outermost
{
    Outermost() { ++depth; }
    ~Outermost() { --depth; }
    bool operator()() const { return depth == 1; }
};

template <typename Function>
Function real(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

RecordedParameter copyOf(const XSQLVAR &var)
{
    RecordedParameter value;
    value.type = short(var.sqltype & ~1);
    value.scale = var.sqlscale;
    value.subType = var.sqlsubtype;
    value.length = var.sqllen;
    value.null = (var.sqltype & 1) && var.sqlind && *var.sqlind < 0;
    if (value.null || !var.sqldata)
        return value;
    size_t size = size_t(var.sqllen);
    if (value.type == SQL_VARYING) {
        unsigned short used = 0;
        std::memcpy(&used, var.sqldata, sizeof used);
        size = sizeof used + used;
    }
    value.data.assign(var.sqldata, size);
    return value;
}

void beginRun(isc_stmt_handle handle, const XSQLDA *input, bool cursor)
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    if (!r.on)
        return;
    RecordedRun run;
    std::tie(run.text, run.dialect) = r.prepared[handle];
    run.cursor = cursor;
    for (int i = 0; input && i < input->sqld; ++i)
        run.parameters.push_back(copyOf(input->sqlvar[i]));
    r.current[handle] = r.runs.size();
    r.runs.push_back(std::move(run));
}

// Texts are kept even while off: a window may run a statement it prepared earlier.
void keepText(const isc_stmt_handle *statement, unsigned short length, const ISC_SCHAR *text,
              unsigned short dialect)
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    r.prepared[*statement] = {length ? std::string(text, length) : std::string(text), dialect};
}

// A handle given back takes its text along: a script of 10,000 statements
// would otherwise leave the benchmark holding every one of them, counted as
// the program's memory.
void forgetText(isc_stmt_handle statement)
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    r.prepared.erase(statement);
    r.current.erase(statement);
}

// Rows the program takes from those it read ahead count as asked for.
void taken(isc_stmt_handle statement, int rows, bool end)
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    const auto found = r.current.find(statement);
    if (!r.on || found == r.current.end())
        return;
    RecordedRun &run = r.runs[found->second];
    run.rows += rows;
    run.rowsReadAhead -= rows;
    run.reachedEnd = run.reachedEnd || end;
    run.endReadAhead = run.endReadAhead && !end;
}

} // namespace

namespace StatementRecorder {

void start()
{
    IbReadAhead::watchTaking(taken);
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    r.runs.clear();
    r.current.clear();
    r.on = true;
}

std::vector<RecordedRun> snapshot()
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    return r.runs;
}

std::vector<RecordedRun> stop()
{
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    r.on = false;
    r.current.clear();
    for (RecordedRun &run : r.runs) {
        run.rows += run.rowsReadAhead;
        run.reachedEnd = run.reachedEnd || run.endReadAhead;
    }
    return std::move(r.runs);
}


} // namespace StatementRecorder

extern "C" {

ISC_STATUS ISC_EXPORT isc_dsql_prepare(ISC_STATUS *status, isc_tr_handle *transaction,
                                       isc_stmt_handle *statement, unsigned short length,
                                       const ISC_SCHAR *text, unsigned short dialect,
                                       XSQLDA *output)
{
    static const auto call = real<decltype(&isc_dsql_prepare)>("isc_dsql_prepare");
    const Outermost outermost;
    const ISC_STATUS result = call(status, transaction, statement, length, text, dialect, output);
    if (result == 0 && statement && outermost())
        keepText(statement, length, text, dialect);
    return result;
}

ISC_STATUS ISC_EXPORT isc_dsql_prepare_m(ISC_STATUS *status, isc_tr_handle *transaction,
                                         isc_stmt_handle *statement, unsigned short length,
                                         const ISC_SCHAR *text, unsigned short dialect,
                                         unsigned short itemLength, const ISC_SCHAR *items,
                                         unsigned short bufferLength, ISC_SCHAR *buffer)
{
    static const auto call = real<decltype(&isc_dsql_prepare_m)>("isc_dsql_prepare_m");
    const Outermost outermost;
    const ISC_STATUS result = call(status, transaction, statement, length, text, dialect,
                                   itemLength, items, bufferLength, buffer);
    if (result == 0 && statement && outermost())
        keepText(statement, length, text, dialect);
    return result;
}

ISC_STATUS ISC_EXPORT isc_dsql_execute(ISC_STATUS *status, isc_tr_handle *transaction,
                                       isc_stmt_handle *statement, unsigned short version,
                                       const XSQLDA *input)
{
    static const auto call = real<decltype(&isc_dsql_execute)>("isc_dsql_execute");
    const Outermost outermost;
    if (outermost())
        beginRun(*statement, input, true);
    return call(status, transaction, statement, version, input);
}

ISC_STATUS ISC_EXPORT isc_dsql_execute2(ISC_STATUS *status, isc_tr_handle *transaction,
                                        isc_stmt_handle *statement, unsigned short version,
                                        const XSQLDA *input, const XSQLDA *output)
{
    static const auto call = real<decltype(&isc_dsql_execute2)>("isc_dsql_execute2");
    const Outermost outermost;
    if (outermost())
        beginRun(*statement, input, false);
    return call(status, transaction, statement, version, input, output);
}

ISC_STATUS ISC_EXPORT isc_dsql_free_statement(ISC_STATUS *status, isc_stmt_handle *statement,
                                              unsigned short option)
{
    static const auto call = real<decltype(&isc_dsql_free_statement)>("isc_dsql_free_statement");
    if (statement && option == DSQL_drop)
        forgetText(*statement);
    return call(status, statement, option);
}

ISC_STATUS ISC_EXPORT isc_dsql_fetch(ISC_STATUS *status, isc_stmt_handle *statement,
                                     unsigned short version, const XSQLDA *output)
{
    static const auto call = real<decltype(&isc_dsql_fetch)>("isc_dsql_fetch");
    const Outermost outermost;
    const ISC_STATUS result = call(status, statement, version, output);
    Recording &r = recording();
    const std::lock_guard lock(r.mutex);
    if (r.on && outermost()) {
        const auto found = r.current.find(*statement);
        if (found != r.current.end()) {
            RecordedRun &run = r.runs[found->second];
            const bool ahead = IbReadAhead::readingOnThisThread();
            if (result == 0)
                ++(ahead ? run.rowsReadAhead : run.rows);
            else if (result == 100)
                (ahead ? run.endReadAhead : run.reachedEnd) = true;
        }
    }
    return result;
}

} // extern "C"
