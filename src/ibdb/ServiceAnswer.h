#pragma once

#include <QByteArray>

// What one isc_service_query answered: the output that came (a line, or a
// run of bytes asked for with isc_info_svc_to_eof), how many bytes of input
// the service wants, and whether the answer only says "nothing yet".
class ServiceAnswer
{
public:
    explicit ServiceAnswer(const QByteArray &buffer);

    const QByteArray &output() const { return m_output; }
    quint32 inputWanted() const { return m_inputWanted; }
    // The wait ran out, or the service had nothing ready: ask again.
    bool waiting() const { return m_waiting; }
    // More output is there than fitted.
    bool truncated() const { return m_truncated; }
    // The service has ended: it sent nothing, wants nothing, and waits for nothing.
    bool finished() const { return m_output.isEmpty() && !m_inputWanted && !m_waiting
                                   && !m_truncated; }

private:
    QByteArray m_output;
    quint32 m_inputWanted = 0;
    bool m_waiting = false;
    bool m_truncated = false;
};
