#include "support/OtherUser.h"

#include "ibdb/IbStatus.h"

#include <QtGlobal>

namespace {

void failOn(const ISC_STATUS *status, const QString &what)
{
    if (IbStatus::failed(status))
        qFatal("other user, %s: %s", qPrintable(what), qPrintable(IbStatus::plainText(status)));
}

QByteArray loginBlock(const QString &user, const QString &password, const QString &role)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    const auto add = [&dpb](char item, const QByteArray &value) {
        dpb += item;
        dpb += char(value.size());
        dpb += value;
    };
    add(char(isc_dpb_user_name), user.toUtf8());
    add(char(isc_dpb_password), password.toUtf8());
    if (!role.isEmpty())
        add(char(isc_dpb_sql_role_name), role.toUtf8());
    add(char(isc_dpb_lc_ctype), QByteArrayLiteral("UTF8"));
    return dpb;
}

} // namespace

OtherUser::OtherUser(const QString &path, const QString &password)
    : OtherUser(path, QStringLiteral("SYSDBA"), password)
{
}

OtherUser::OtherUser(const QString &path, const QString &user, const QString &password,
                     const QString &role)
{
    ISC_STATUS_ARRAY status;
    const QByteArray file = path.toUtf8();
    const QByteArray dpb = loginBlock(user, password, role);
    isc_attach_database(status, 0, file.constData(), m_attachment.ref(), short(dpb.size()),
                        dpb.constData());
    failOn(status, QStringLiteral("attach"));
    isc_db_handle handle = m_attachment.get();
    isc_start_transaction(status, m_transaction.ref(), 1, &handle, 0, nullptr);
    failOn(status, QStringLiteral("start"));
}

OtherUser::~OtherUser()
{
    m_watchdog = std::jthread();
    // The transaction must go before the attachment it lives on.
    m_transaction.reset();
}

void OtherUser::execute(const QString &statement)
{
    ISC_STATUS_ARRAY status;
    const QByteArray text = statement.toUtf8();
    isc_dsql_execute_immediate(status, m_attachment.ref(), m_transaction.ref(), 0,
                               text.constData(), 3, nullptr);
    failOn(status, statement);
}

QString OtherUser::attempt(const QString &statement)
{
    ISC_STATUS_ARRAY status;
    const QByteArray text = statement.toUtf8();
    isc_dsql_execute_immediate(status, m_attachment.ref(), m_transaction.ref(), 0,
                               text.constData(), 3, nullptr);
    return IbStatus::failed(status) ? IbStatus::plainText(status) : QString();
}

void OtherUser::commit()
{
    const std::lock_guard lock(m_mutex);
    if (!m_transaction)
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, m_transaction.ref());
    failOn(status, QStringLiteral("commit"));
    m_transaction.forget();
    m_committed.notify_all();
}

void OtherUser::commitAfter(std::chrono::milliseconds delay)
{
    m_watchdog = std::jthread([this, delay](std::stop_token stop) {
        {
            std::unique_lock lock(m_mutex);
            if (m_committed.wait_for(lock, stop, delay, [this] { return !m_transaction; }))
                return;
        }
        if (!stop.stop_requested())
            commit();
    });
}
