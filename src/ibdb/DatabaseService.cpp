#include "ibdb/DatabaseService.h"

#include "ibdb/ServiceAddress.h"
#include "ibdb/ServiceConnection.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/ServiceOutput.h"
#include "ibdb/ServiceRequest.h"

#include <ibase.h>

namespace {

unsigned char modeByte(DatabaseService::Mode mode)
{
    switch (mode) {
    case DatabaseService::Mode::Normal: return isc_spb_prp_sm_normal;
    case DatabaseService::Mode::Multi: return isc_spb_prp_sm_multi;
    case DatabaseService::Mode::Single: return isc_spb_prp_sm_single;
    case DatabaseService::Mode::Full: break;
    }
    return isc_spb_prp_sm_full;
}

unsigned char shutdownTag(DatabaseService::Shutdown how)
{
    switch (how) {
    case DatabaseService::Shutdown::Forced: return isc_spb_prp_force_shutdown;
    case DatabaseService::Shutdown::Attachments: return isc_spb_prp_attachments_shutdown;
    case DatabaseService::Shutdown::Transactions: break;
    }
    return isc_spb_prp_transactions_shutdown;
}

} // namespace

DatabaseService::DatabaseService(QString database, QString user, QString password)
    : m_database(std::move(database)), m_user(std::move(user)), m_password(std::move(password))
{
}

void DatabaseService::run(ServiceRequest &request, const ServiceMonitor &monitor) const
{
    const ServiceAddress address(m_database);
    ServiceConnection service(address.manager(), m_user, m_password);
    service.start(request.bytes());
    // A refused property comes as the service's failure at its end, not at its start.
    ServiceOutput::lines(service, monitor);
}

void DatabaseService::properties(const std::function<void(ServiceRequest &)> &items) const
{
    ServiceRequest request(isc_action_svc_properties);
    request.text(isc_spb_dbname, ServiceAddress(m_database).path());
    items(request);
    run(request, {});
}

void DatabaseService::shutDown(Mode mode, Shutdown how, quint32 seconds) const
{
    properties([&](ServiceRequest &request) {
        request.byte(isc_spb_prp_shutdown_mode, modeByte(mode)).number(shutdownTag(how), seconds);
    });
}

void DatabaseService::bringOnline(Mode mode) const
{
    properties([&](ServiceRequest &request) {
        request.byte(isc_spb_prp_online_mode, modeByte(mode));
    });
}

void DatabaseService::setSweepInterval(quint32 transactions) const
{
    properties([&](ServiceRequest &request) {
        request.number(isc_spb_prp_sweep_interval, transactions);
    });
}

void DatabaseService::setForcedWrites(bool on) const
{
    properties([&](ServiceRequest &request) {
        request.byte(isc_spb_prp_write_mode, on ? isc_spb_prp_wm_sync : isc_spb_prp_wm_async);
    });
}

void DatabaseService::setPageBuffers(quint32 pages) const
{
    properties([&](ServiceRequest &request) { request.number(isc_spb_prp_page_buffers, pages); });
}

void DatabaseService::setReadOnly(bool on) const
{
    properties([&](ServiceRequest &request) {
        request.byte(isc_spb_prp_access_mode,
                     on ? isc_spb_prp_am_readonly : isc_spb_prp_am_readwrite);
    });
}

void DatabaseService::sweep(const ServiceMonitor &monitor) const
{
    ServiceRequest request(isc_action_svc_repair);
    request.text(isc_spb_dbname, ServiceAddress(m_database).path())
        .number(isc_spb_options, isc_spb_rpr_sweep_db);
    run(request, monitor);
}

void DatabaseService::validateOnline(const ServiceMonitor &monitor) const
{
    ServiceRequest request(isc_action_svc_validate);
    request.text(isc_spb_dbname, ServiceAddress(m_database).path());
    run(request, monitor);
}

void DatabaseService::validateFull(bool mend, const ServiceMonitor &monitor) const
{
    ServiceRequest request(isc_action_svc_repair);
    request.text(isc_spb_dbname, ServiceAddress(m_database).path())
        .number(isc_spb_options, isc_spb_rpr_validate_db | isc_spb_rpr_full
                                     | (mend ? isc_spb_rpr_mend_db : 0u));
    run(request, monitor);
}

void DatabaseService::statistics(quint32 options, const ServiceMonitor &monitor) const
{
    ServiceRequest request(isc_action_svc_db_stats);
    request.text(isc_spb_dbname, ServiceAddress(m_database).path())
        .number(isc_spb_options, options);
    run(request, monitor);
}
