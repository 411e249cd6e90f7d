#pragma once

#include <QString>
#include <QTemporaryDir>

// An empty database of a given dialect made to replay another's script
// into, on the same server as that other database, so it is of the same
// on-disk structure and the server reads everything the script says; it is
// dropped again when it goes.
class ScratchDatabase
{
public:
    // In `folder` when one is named (for a database reached through a
    // server, a folder on the server's machine); else beside the original
    // on its server, or for a local database in a temporary folder of its
    // own. Throws DatabaseError with the server's text when it refuses.
    ScratchDatabase(const QString &original, const QString &folder, int dialect,
                    const QString &user, const QString &password);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    QString path() const { return m_path; }

private:
    void create(int dialect) const;

    QTemporaryDir m_folder;
    QString m_path;
    QString m_user;
    QString m_password;
};
