#pragma once

#include <QString>
#include <QTemporaryDir>

// An empty database of a given dialect in a temporary folder of its own,
// created with the embedded engine and removed with the folder.
class ScratchDatabase
{
public:
    // Throws DatabaseError with the server's text when the engine refuses.
    ScratchDatabase(int dialect, const QString &user, const QString &password);

    QString path() const { return m_path; }

private:
    QTemporaryDir m_folder;
    QString m_path;
};
