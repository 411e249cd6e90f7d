#include "support/ServerLogin.h"

namespace ServerLogin {

bool prepareUsers(const QStringList &users, const QString &password)
{
    if (!ReliabilityServer::available())
        return false;
    ReliabilityServer::ensureRunning();
    ServerDatabase db;
    for (const QString &user : users)
        db.execute({QStringLiteral("CREATE OR ALTER USER %1 PASSWORD '%2'").arg(user, password)});
    return true;
}

QString asAdministrator(ReliabilityFrame &frame, const ServerDatabase &db)
{
    return frame.connect(db.remote(), QStringLiteral("SYSDBA"), ReliabilityServer::password());
}

} // namespace ServerLogin
