#include "IscSession.h"

#include "IscError.h"

#include <vector>

namespace {

std::vector<char> attachParameters()
{
    std::vector<char> dpb{isc_dpb_version1};
    auto add = [&dpb](char tag, const std::string &value) {
        dpb.push_back(tag);
        dpb.push_back(char(value.size()));
        dpb.insert(dpb.end(), value.begin(), value.end());
    };
    add(isc_dpb_user_name, "SYSDBA");
    add(isc_dpb_password, "masterkey");
    add(isc_dpb_lc_ctype, "UTF8");
    return dpb;
}

} // namespace

IscSession::IscSession(const std::string &path)
{
    const std::vector<char> dpb = attachParameters();
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, path.c_str(), m_db.ref(), short(dpb.size()), dpb.data());
    IscError::check(status, "attach " + path);
}

void IscSession::create(const std::string &path, int pageSize)
{
    const std::string statement = "CREATE DATABASE '" + path
                                  + "' USER 'SYSDBA' PASSWORD 'masterkey' PAGE_SIZE "
                                  + std::to_string(pageSize) + " DEFAULT CHARACTER SET NONE";
    ISC_STATUS_ARRAY status;
    IbAttachment db;
    isc_tr_handle none = 0;
    isc_dsql_execute_immediate(status, db.ref(), &none, 0, statement.c_str(), 1, nullptr);
    IscError::check(status, "create " + path);
    db.reset();
    // A server asks for the password the embedded engine does without.
    std::vector<char> dpb = attachParameters();
    dpb.insert(dpb.end(), {isc_dpb_force_write, 1, 0});
    isc_attach_database(status, 0, path.c_str(), db.ref(), short(dpb.size()), dpb.data());
    IscError::check(status, "async writes for " + path);
}

IbTransaction IscSession::readCommitted()
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_nowait};
    IbTransaction transaction;
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, transaction.ref(), 1, m_db.ref(), short(sizeof tpb), tpb);
    IscError::check(status, "start transaction");
    return transaction;
}

IbTransaction IscSession::defaults()
{
    IbTransaction transaction;
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, transaction.ref(), 1, m_db.ref(), 0, nullptr);
    IscError::check(status, "start transaction");
    return transaction;
}

void IscSession::commit(IbTransaction &transaction)
{
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, transaction.ref());
    IscError::check(status, "commit");
    transaction.forget();
}

void IscSession::executeImmediate(IbTransaction &transaction, const std::string &statement)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, m_db.ref(), transaction.ref(), 0, statement.c_str(), 1,
                               nullptr);
    IscError::check(status, statement.substr(0, 200));
}

void IscSession::executeCommitted(const std::string &statement)
{
    IbTransaction transaction = defaults();
    executeImmediate(transaction, statement);
    commit(transaction);
}
