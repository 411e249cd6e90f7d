#pragma once

#include "IbHandles.h"

#include <QString>

// Another user on the same database: an attachment of its own whose
// transaction (wait mode, the client's defaults) holds what it changed,
// uncommitted, until commit(); rolled back when the object goes.
class OtherUser
{
public:
    OtherUser(const QString &path, const QString &password = QStringLiteral("masterkey"));
    ~OtherUser();
    OtherUser(const OtherUser &) = delete;
    OtherUser &operator=(const OtherUser &) = delete;

    // Fails the running test on a server error.
    void execute(const QString &statement);
    void commit();

private:
    IbAttachment m_attachment;
    IbTransaction m_transaction;
};
