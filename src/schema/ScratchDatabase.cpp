#include "schema/ScratchDatabase.h"

#include "core/AppError.h"
#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/SqlLiteral.h"

#include <QDir>

ScratchDatabase::ScratchDatabase(int dialect, const QString &user, const QString &password)
    : m_folder(QDir::temp().filePath(QStringLiteral("quorvel-verify-XXXXXX")))
{
    if (!m_folder.isValid())
        throw GeneralError(QStringLiteral("cannot make a temporary folder: ")
                           + m_folder.errorString());
    m_path = m_folder.filePath(QStringLiteral("scratch.fdb"));
    // The script sets the default character set itself.
    QString create = QStringLiteral("CREATE DATABASE %1").arg(SqlLiteral::string(m_path, 3));
    if (!user.isEmpty())
        create += QStringLiteral(" USER %1").arg(SqlLiteral::string(user, 3));
    if (!password.isEmpty())
        create += QStringLiteral(" PASSWORD %1").arg(SqlLiteral::string(password, 3));
    const QByteArray text = create.toUtf8();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, attachment.ref(), &noTransaction, 0, text.constData(),
                               static_cast<unsigned short>(dialect), nullptr);
    if (IbStatus::failed(status))
        throw DatabaseError(IbStatus::text(status));
}
