#include "schema/ScriptReplay.h"

#include "core/AppError.h"
#include "ibdb/IbStatus.h"
#include "ibdb/ParameterBuffer.h"
#include "ibdb/IbTransactionStart.h"

ScriptReplay::ScriptReplay(const QString &path, const QString &user, const QString &password,
                           const QString &characterSet)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    if (!user.isEmpty())
        ParameterBuffer::appendText(dpb, isc_dpb_user_name, user);
    if (!password.isEmpty())
        ParameterBuffer::appendText(dpb, isc_dpb_password, password);
    ParameterBuffer::appendText(dpb, isc_dpb_lc_ctype,
                    characterSet.isEmpty() ? QStringLiteral("UTF8") : characterSet);
    const QByteArray file = path.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, file.constData(), m_attachment.ref(), short(dpb.size()),
                        dpb.constData());
    if (IbStatus::failed(status))
        throw DatabaseError(IbStatus::plainText(status));
}

void ScriptReplay::run(const QStringList &statements, int dialect)
{
    for (const QString &statement : statements) {
        try {
            execute(statement, dialect);
        } catch (const DatabaseError &error) {
            throw DatabaseError(QStringLiteral("the script's statement failed:\n%1\n%2")
                                    .arg(statement.section(QLatin1Char('\n'), 0, 0).trimmed(),
                                         error.message()));
        }
    }
}

void ScriptReplay::execute(const QString &statement, int dialect)
{
    const QByteArray text = statement.toUtf8();
    ISC_STATUS_ARRAY status;
    IbTransaction transaction;
    isc_db_handle attachment = m_attachment.get();
    IbTransactionStart::start(status, transaction.ref(), &attachment);
    if (!IbStatus::failed(status))
        isc_dsql_execute_immediate(status, &attachment, transaction.ref(), 0, text.constData(),
                                   static_cast<unsigned short>(dialect), nullptr);
    if (!IbStatus::failed(status))
        isc_commit_transaction(status, transaction.ref());
    if (IbStatus::failed(status))
        throw DatabaseError(IbStatus::plainText(status));
    transaction.forget();
}
