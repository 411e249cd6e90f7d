#pragma once

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
    // Drops the database there; throws DatabaseError when refused.
    void drop() const;

private:
    QByteArray loginBlock() const;

    QString m_database;
    QString m_user;
    QString m_password;
};
