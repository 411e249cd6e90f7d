#include "schema/ScratchDatabase.h"

#include "core/AppError.h"
#include "ibdb/NewDatabase.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceAddress.h"
#include "schema/BackupVerification.h"

#include <QDir>

namespace {

// A named folder stands where the original's own would.
QString placeOf(const QString &original, const QString &folder)
{
    return ServiceAddress(original).serverPrefix() + folder + QLatin1Char('/');
}

} // namespace

ScratchDatabase::ScratchDatabase(const QString &original, const QString &folder, int dialect,
                                 const QString &user, const QString &password)
    : m_folder(QDir::temp().filePath(QStringLiteral("quorvel-verify-XXXXXX"))),
      m_user(user), m_password(password)
{
    if (!m_folder.isValid())
        throw GeneralError(QStringLiteral("cannot make a temporary folder: ")
                           + m_folder.errorString());
    m_path = folder.isEmpty() ? BackupVerification::scratchName(original, m_folder.path())
                              : BackupVerification::scratchName(placeOf(original, folder), folder);
    create(dialect);
}

ScratchDatabase::~ScratchDatabase()
{
    try {
        RestoreTarget(m_path, m_user, m_password).drop();
    } catch (const DatabaseError &) {
        // A scratch file the server kept matters less than the verdict.
    }
}

void ScratchDatabase::create(int dialect) const
{
    NewDatabase database;
    database.path = m_path;
    database.user = m_user;
    database.password = m_password;
    database.dialect = dialect;
    // The script sets the default character set itself.
    database.characterSet = QStringLiteral("NONE");
    database.create();
}
