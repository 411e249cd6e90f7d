#pragma once

#include "ibdb/IbHandles.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>

// One read-only snapshot (concurrency) transaction on a connection's
// attachment, for a reading that must see the database as one: its queries
// see what was committed when it started and nothing committed since, so a
// table another user creates meanwhile never comes without its domain. The
// transaction ends (it changed nothing) once this and the last of its
// queries are gone.
class IbSnapshot
{
public:
    // Throws DatabaseError with the server's text when it cannot start.
    explicit IbSnapshot(const QSqlDatabase &connection);

    // A query on the connection that runs in the snapshot; on a connection of
    // another driver, an ordinary one.
    QSqlQuery query() const;

private:
    QSqlDatabase m_connection;
    std::shared_ptr<IbTransaction> m_transaction;
};
