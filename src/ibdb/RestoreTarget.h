#pragma once

#include "ibdb/IbHandles.h"

#include <QByteArray>
#include <QString>

// The database a restore writes, looked at before and after: whether one is
// there, and when it was created, so that after a failure the restore's own
// half-written database is told apart from one it never touched.
class RestoreTarget
{
public:
    RestoreTarget(QString database, QString user, QString password);

    // The server's creation stamp of the database there now; empty when
    // none can be attached (no file, not a database, refused).
    QByteArray creationStamp() const;
    // isc_database_info's answer to items, on an attachment of its own;
    // throws DatabaseError when none can be made.
    QByteArray info(const QByteArray &items) const;
    // Drops the database there; throws DatabaseError when refused.
    void drop() const;
    // Drops it, waiting a little for a service that lets go of the file a
    // moment after it ends; a failure to drop is not told, since the error
    // that made the caller drop it is the one that matters.
    void dropQuietly() const;

    // A database of a name of its own in the same folder of the same server
    // as database ("host/port:/folder/stem-<id>.fdb", or a plain path).
    static QString siblingName(const QString &database, const QString &stem);

private:
    QByteArray loginBlock() const;
    IbAttachment attach(ISC_STATUS *status) const;

    QString m_database;
    QString m_user;
    QString m_password;
};
