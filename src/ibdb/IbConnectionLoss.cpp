#include "ibdb/IbConnectionLoss.h"

#include <algorithm>
#include <iterator>

namespace IbConnectionLoss {

namespace {

const ISC_STATUS lossCodes[] = {
    isc_network_error, isc_net_read_err,       isc_net_write_err, isc_lost_db_connection,
    isc_conn_lost,     isc_att_shutdown,       isc_shutdown,      isc_net_server_shutdown,
};

bool isLossCode(ISC_STATUS code)
{
    return std::find(std::begin(lossCodes), std::end(lossCodes), code) != std::end(lossCodes);
}

// Clusters of the vector: a kind, then one value (two for isc_arg_cstring).
const ISC_STATUS *nextCluster(const ISC_STATUS *p)
{
    return p + (p[0] == isc_arg_cstring ? 3 : 2);
}

} // namespace

bool detected(const ISC_STATUS *vector)
{
    if (vector[0] != isc_arg_gds || vector[1] == 0)
        return false;
    for (const ISC_STATUS *p = vector; p < vector + ISC_STATUS_LENGTH - 1 && *p != isc_arg_end;
         p = nextCluster(p)) {
        if (*p == isc_arg_gds && isLossCode(p[1]))
            return true;
    }
    return false;
}

QString lostText()
{
    return QStringLiteral("The connection to the database was lost");
}

QString lostWorkText()
{
    return QStringLiteral("The connection to the database was lost; the work of the open "
                          "transaction was not committed");
}

QString lostInCommitText()
{
    return QStringLiteral("The connection to the database was lost during the commit; "
                          "reconnect and check whether the work was committed");
}

} // namespace IbConnectionLoss
