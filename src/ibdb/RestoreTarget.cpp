#include "ibdb/RestoreTarget.h"

#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "ibdb/ParameterBuffer.h"

RestoreTarget::RestoreTarget(QString database, QString user, QString password)
    : m_database(std::move(database)), m_user(std::move(user)), m_password(std::move(password))
{
}

QByteArray RestoreTarget::loginBlock() const
{
    QByteArray dpb(1, char(isc_dpb_version1));
    if (!m_user.isEmpty())
        ParameterBuffer::appendText(dpb, isc_dpb_user_name, m_user);
    if (!m_password.isEmpty())
        ParameterBuffer::appendText(dpb, isc_dpb_password, m_password);
    return dpb;
}

QByteArray RestoreTarget::creationStamp() const
{
    const QByteArray file = m_database.toUtf8();
    const QByteArray dpb = loginBlock();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_attach_database(status, 0, file.constData(), attachment.ref(), short(dpb.size()),
                        dpb.constData());
    if (IbStatus::failed(status))
        return {};
    const char item = isc_info_creation_date;
    char answer[64] = {};
    isc_database_info(status, attachment.ref(), 1, &item, sizeof answer, answer);
    if (IbStatus::failed(status) || answer[0] != isc_info_creation_date)
        return QByteArrayLiteral("(attached, no creation date)");
    const int length = isc_vax_integer(answer + 1, 2);
    return QByteArray(answer + 3, qBound(0, length, int(sizeof answer) - 3));
}

void RestoreTarget::drop() const
{
    const QByteArray file = m_database.toUtf8();
    const QByteArray dpb = loginBlock();
    ISC_STATUS_ARRAY status;
    IbAttachment attachment;
    isc_attach_database(status, 0, file.constData(), attachment.ref(), short(dpb.size()),
                        dpb.constData());
    IbStatus::check(status);
    isc_drop_database(status, attachment.ref());
    IbStatus::check(status);
    attachment.forget();
}
