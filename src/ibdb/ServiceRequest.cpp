#include "ibdb/ServiceRequest.h"

#include <ibase.h>

namespace {

void appendLittleEndian(QByteArray &bytes, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes += char((value >> (8 * i)) & 0xff);
}

} // namespace

ServiceRequest ServiceRequest::login(const QString &user, const QString &password)
{
    ServiceRequest request;
    request.m_bytes += char(isc_spb_version);
    request.m_bytes += char(isc_spb_current_version);
    if (!user.isEmpty())
        request.shortText(isc_spb_user_name, user);
    if (!password.isEmpty())
        request.shortText(isc_spb_password, password);
    return request;
}

ServiceRequest::ServiceRequest(unsigned char action)
{
    m_bytes += char(action);
}

void ServiceRequest::shortText(unsigned char tag, const QString &value)
{
    const QByteArray bytes = value.toUtf8().left(255);
    m_bytes += char(tag);
    m_bytes += char(bytes.size());
    m_bytes += bytes;
}

ServiceRequest &ServiceRequest::text(unsigned char tag, const QString &value)
{
    return data(tag, value.toUtf8());
}

ServiceRequest &ServiceRequest::data(unsigned char tag, const QByteArray &bytes)
{
    const QByteArray fitting = bytes.left(0xffff);
    m_bytes += char(tag);
    appendLittleEndian(m_bytes, quint32(fitting.size()), 2);
    m_bytes += fitting;
    return *this;
}

ServiceRequest &ServiceRequest::number(unsigned char tag, quint32 value)
{
    m_bytes += char(tag);
    appendLittleEndian(m_bytes, value, 4);
    return *this;
}

ServiceRequest &ServiceRequest::byte(unsigned char tag, unsigned char value)
{
    m_bytes += char(tag);
    m_bytes += char(value);
    return *this;
}

ServiceRequest &ServiceRequest::flag(unsigned char tag)
{
    m_bytes += char(tag);
    return *this;
}
