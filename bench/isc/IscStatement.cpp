#include "IscStatement.h"

#include "IscError.h"
#include "IscSession.h"

#include <cstring>
#include <vector>

struct IscStatement::Sqlda
{
    explicit Sqlda(int count) : storage(XSQLDA_LENGTH(count) / sizeof(double) + 1)
    {
        da()->version = SQLDA_VERSION1;
        da()->sqln = short(count);
    }
    XSQLDA *da() { return reinterpret_cast<XSQLDA *>(storage.data()); }

    std::vector<double> storage;
};

namespace {

// Enough columns for every catalogue query: one prepare describes them all.
constexpr int kColumns = 40;
constexpr unsigned short kSegment = 65535;

} // namespace

IscStatement::IscStatement(IscSession &session, IbTransaction &transaction,
                           const std::string &text, unsigned short dialect)
    : m_session(session), m_transaction(transaction)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, session.handle(), m_statement.ref());
    IscError::check(status, "allocate");
    m_output = std::make_unique<Sqlda>(kColumns);
    isc_dsql_prepare(status, m_transaction.ref(), m_statement.ref(), 0, text.c_str(), dialect,
                     m_output->da());
    IscError::check(status, "prepare " + text.substr(0, 200));
    if (m_output->da()->sqld > m_output->da()->sqln) {
        m_output = std::make_unique<Sqlda>(m_output->da()->sqld);
        isc_dsql_describe(status, m_statement.ref(), SQLDA_VERSION1, m_output->da());
        IscError::check(status, "describe");
    }
    allocateOutput();
}

IscStatement::~IscStatement() = default;

void IscStatement::allocateOutput()
{
    const int count = m_output->da()->sqld;
    m_buffers.resize(count);
    m_nulls.resize(count);
    for (int i = 0; i < count; ++i) {
        XSQLVAR &var = m_output->da()->sqlvar[i];
        m_buffers[i].resize(var.sqllen + sizeof(short));
        var.sqldata = m_buffers[i].data();
        var.sqlind = &m_nulls[i];
    }
}

// The values go in exactly as the program gave them, types included.
void IscStatement::bind(const std::vector<RecordedParameter> &parameters)
{
    static short isNull = -1;
    static short notNull = 0;
    if (parameters.empty()) {
        m_input.reset();
        return;
    }
    m_input = std::make_unique<Sqlda>(int(parameters.size()));
    XSQLDA *da = m_input->da();
    da->sqld = da->sqln;
    for (int i = 0; i < da->sqld; ++i) {
        const RecordedParameter &value = parameters[i];
        XSQLVAR &var = da->sqlvar[i];
        var.sqltype = short(value.type | 1);
        var.sqlscale = value.scale;
        var.sqlsubtype = value.subType;
        var.sqllen = value.length;
        var.sqldata = const_cast<char *>(value.data.data());
        var.sqlind = value.null ? &isNull : &notNull;
    }
}

void IscStatement::execute(bool cursor)
{
    XSQLDA *input = m_input ? m_input->da() : nullptr;
    XSQLDA *output = !cursor && m_output->da()->sqld > 0 ? m_output->da() : nullptr;
    ISC_STATUS_ARRAY status;
    isc_dsql_execute2(status, m_transaction.ref(), m_statement.ref(), SQLDA_VERSION1, input,
                      output);
    IscError::check(status, "execute");
}

bool IscStatement::fetch()
{
    ISC_STATUS_ARRAY status;
    const ISC_STATUS result =
        isc_dsql_fetch(status, m_statement.ref(), SQLDA_VERSION1, m_output->da());
    if (result == 100)
        return false;
    IscError::check(status, "fetch");
    return true;
}

long long IscStatement::readBlobs()
{
    XSQLDA *da = m_output->da();
    long long bytes = 0;
    for (int i = 0; i < da->sqld; ++i) {
        const XSQLVAR &var = da->sqlvar[i];
        if ((var.sqltype & 1) && *var.sqlind < 0)
            continue;
        if ((var.sqltype & ~1) == SQL_BLOB) {
            bytes += readBlob(var);
        } else if ((var.sqltype & ~1) == SQL_VARYING) {
            unsigned short length;
            std::memcpy(&length, var.sqldata, sizeof length);
            bytes += length;
        } else {
            bytes += var.sqllen;
        }
    }
    return bytes;
}

long long IscStatement::readBlob(const XSQLVAR &var)
{
    ISC_QUAD id;
    std::memcpy(&id, var.sqldata, sizeof id);
    ISC_STATUS_ARRAY status;
    IbBlob blob;
    isc_open_blob2(status, m_session.handle(), m_transaction.ref(), blob.ref(), &id, 0,
                   nullptr);
    IscError::check(status, "open blob");
    if (!m_segment)
        m_segment = std::make_unique<char[]>(kSegment);
    unsigned short length = 0;
    long long bytes = 0;
    for (;;) {
        const ISC_STATUS result =
            isc_get_segment(status, blob.ref(), &length, kSegment, m_segment.get());
        if (result == isc_segstr_eof)
            break;
        if (result != 0 && result != isc_segment)
            IscError::check(status, "read blob");
        bytes += length;
    }
    isc_close_blob(status, blob.ref());
    blob.forget();
    return bytes;
}
