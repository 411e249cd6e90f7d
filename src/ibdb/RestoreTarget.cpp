#include "ibdb/RestoreTarget.h"

#include "ibdb/IbHandles.h"
#include "ibdb/IbStatus.h"
#include "core/AppError.h"
#include "ibdb/ParameterBuffer.h"
#include "ibdb/ServiceAddress.h"

#include <QThread>
#include <QUuid>

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

IbAttachment RestoreTarget::attach(ISC_STATUS *status) const
{
    const QByteArray file = m_database.toUtf8();
    const QByteArray dpb = loginBlock();
    IbAttachment attachment;
    isc_attach_database(status, 0, file.constData(), attachment.ref(), short(dpb.size()),
                        dpb.constData());
    return attachment;
}

QByteArray RestoreTarget::creationStamp() const
{
    ISC_STATUS_ARRAY status;
    IbAttachment attachment = attach(status);
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

QByteArray RestoreTarget::info(const QByteArray &items) const
{
    ISC_STATUS_ARRAY status;
    IbAttachment attachment = attach(status);
    IbStatus::check(status);
    QByteArray answer(1024, '\0');
    isc_database_info(status, attachment.ref(), short(items.size()), items.constData(),
                      short(answer.size()), answer.data());
    IbStatus::check(status);
    return answer;
}

void RestoreTarget::drop() const
{
    ISC_STATUS_ARRAY status;
    IbAttachment attachment = attach(status);
    IbStatus::check(status);
    isc_drop_database(status, attachment.ref());
    IbStatus::check(status);
    attachment.forget();
}

void RestoreTarget::dropQuietly() const
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        try {
            drop();
            return;
        } catch (const DatabaseError &) {
            QThread::msleep(250);
        }
    }
}

QString RestoreTarget::siblingName(const QString &database, const QString &stem)
{
    const ServiceAddress address(database);
    // The server's own separator, whichever system it runs on.
    const QString path = address.path();
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')),
                                     path.lastIndexOf(QLatin1Char('\\')));
    return address.serverPrefix() + path.left(slash + 1)
           + QStringLiteral("%1-%2.fdb").arg(stem, QUuid::createUuid().toString(QUuid::Id128));
}
