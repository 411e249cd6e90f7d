#include "schema/ScratchDatabase.h"

#include "core/AppError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceAddress.h"
#include "ibdb/SqlLiteral.h"
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
    // The script sets the default character set itself.
    QString statement = QStringLiteral("CREATE DATABASE %1").arg(SqlLiteral::string(m_path, 3));
    if (!m_user.isEmpty())
        statement += QStringLiteral(" USER %1").arg(SqlLiteral::string(m_user, 3));
    if (!m_password.isEmpty())
        statement += QStringLiteral(" PASSWORD %1").arg(SqlLiteral::string(m_password, 3));
    const QByteArray text = statement.toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, attachment.ref(), &noTransaction, 0, text.constData(),
                               static_cast<unsigned short>(dialect), nullptr);
    if (IbStatus::failed(status))
        throw DatabaseError(IbStatus::text(status));
}
