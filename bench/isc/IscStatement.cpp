#include "IscStatement.h"

#include "IscError.h"
#include "IscSession.h"

#include <cstring>

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

IscStatement::IscStatement(IscSession &session, IbTransaction &transaction,
                           const std::string &text)
    : m_session(session), m_transaction(transaction), m_segment(65535)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, session.handle(), m_statement.ref());
    IscError::check(status, "allocate");
    m_output = std::make_unique<Sqlda>(1);
    isc_dsql_prepare(status, m_transaction.ref(), m_statement.ref(), 0, text.c_str(), 1,
                     m_output->da());
    IscError::check(status, "prepare " + text.substr(0, 200));
    describeOutput();
    describeInput();
}

IscStatement::~IscStatement() = default;

void IscStatement::describeOutput()
{
    const int count = m_output->da()->sqld;
    m_output = std::make_unique<Sqlda>(count);
    ISC_STATUS_ARRAY status;
    isc_dsql_describe(status, m_statement.ref(), SQLDA_VERSION1, m_output->da());
    IscError::check(status, "describe");
    m_buffers.resize(count);
    m_nulls.resize(count);
    for (int i = 0; i < count; ++i) {
        XSQLVAR &var = m_output->da()->sqlvar[i];
        m_buffers[i].resize(var.sqllen + sizeof(short));
        var.sqldata = m_buffers[i].data();
        var.sqlind = &m_nulls[i];
    }
}

void IscStatement::describeInput()
{
    m_input = std::make_unique<Sqlda>(1);
    ISC_STATUS_ARRAY status;
    isc_dsql_describe_bind(status, m_statement.ref(), SQLDA_VERSION1, m_input->da());
    IscError::check(status, "describe input");
    const int count = m_input->da()->sqld;
    if (count <= 1)
        return;
    m_input = std::make_unique<Sqlda>(count);
    isc_dsql_describe_bind(status, m_statement.ref(), SQLDA_VERSION1, m_input->da());
    IscError::check(status, "describe input");
}

// The values go in exactly as the program gave them, types included.
void IscStatement::bind(const std::vector<RecordedParameter> &parameters)
{
    XSQLDA *da = m_input->da();
    static short isNull = -1;
    static short notNull = 0;
    for (int i = 0; i < da->sqld && i < int(parameters.size()); ++i) {
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

bool IscStatement::isSelect()
{
    const char items[] = {isc_info_sql_stmt_type};
    char answer[16] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, m_statement.ref(), sizeof items, items, sizeof answer, answer);
    IscError::check(status, "statement type");
    const int length = isc_vax_integer(answer + 1, 2);
    const int type = isc_vax_integer(answer + 3, short(length));
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

void IscStatement::execute()
{
    XSQLDA *input = m_input->da()->sqld > 0 ? m_input->da() : nullptr;
    ISC_STATUS_ARRAY status;
    if (isSelect()) {
        isc_dsql_execute(status, m_transaction.ref(), m_statement.ref(), SQLDA_VERSION1, input);
    } else {
        XSQLDA *output = m_output->da()->sqld > 0 ? m_output->da() : nullptr;
        isc_dsql_execute2(status, m_transaction.ref(), m_statement.ref(), SQLDA_VERSION1, input,
                          output);
    }
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

void IscStatement::readBlobs()
{
    XSQLDA *da = m_output->da();
    for (int i = 0; i < da->sqld; ++i) {
        const XSQLVAR &var = da->sqlvar[i];
        if ((var.sqltype & ~1) != SQL_BLOB || ((var.sqltype & 1) && *var.sqlind < 0))
            continue;
        ISC_QUAD id;
        std::memcpy(&id, var.sqldata, sizeof id);
        ISC_STATUS_ARRAY status;
        IbBlob blob;
        isc_open_blob2(status, m_session.handle(), m_transaction.ref(), blob.ref(), &id, 0,
                       nullptr);
        IscError::check(status, "open blob");
        unsigned short length = 0;
        for (;;) {
            const ISC_STATUS result = isc_get_segment(status, blob.ref(), &length,
                                                      (unsigned short)m_segment.size(),
                                                      m_segment.data());
            if (result == isc_segstr_eof)
                break;
            if (result != 0 && result != isc_segment)
                IscError::check(status, "read blob");
        }
        isc_close_blob(status, blob.ref());
        blob.forget();
    }
}
