#pragma once

#include <QByteArray>
#include <QString>

// A service parameter buffer: the login that attaches to a service manager,
// or an action with its arguments for isc_service_start. Texts go as UTF-8.
class ServiceRequest
{
public:
    // The attach buffer: version, user name and password (one-byte lengths).
    static ServiceRequest login(const QString &user, const QString &password);
    // An action buffer (isc_action_svc_...), its items added after it.
    explicit ServiceRequest(unsigned char action);
    // The items sent with a query (input, a wait), which lead with no action.
    static ServiceRequest queryItems() { return {}; }

    // A text item of an action: two-byte length, then the bytes.
    ServiceRequest &text(unsigned char tag, const QString &value);
    ServiceRequest &data(unsigned char tag, const QByteArray &bytes);
    // A four-byte number item (options, page size, buffers, ...).
    ServiceRequest &number(unsigned char tag, quint32 value);
    // A one-byte value item (access mode, shutdown mode, ...).
    ServiceRequest &byte(unsigned char tag, unsigned char value);
    // An item that is only its tag (verbose, sweep, ...).
    ServiceRequest &flag(unsigned char tag);

    const QByteArray &bytes() const { return m_bytes; }

private:
    ServiceRequest() = default;
    void shortText(unsigned char tag, const QString &value);

    QByteArray m_bytes;
};
