#include "ibdb/ServiceAnswer.h"

#include "core/AppError.h"

#include <ibase.h>

namespace {

quint32 littleEndian(const QByteArray &buffer, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(buffer.at(at + i));
    return value;
}

[[noreturn]] void malformed()
{
    throw DatabaseError(QStringLiteral("the service's answer is cut short"));
}

} // namespace

ServiceAnswer::ServiceAnswer(const QByteArray &buffer)
{
    qsizetype at = 0;
    while (at < buffer.size()) {
        const quint8 tag = quint8(buffer.at(at++));
        switch (tag) {
        case isc_info_end: return;
        case isc_info_truncated: m_truncated = true; break;
        case isc_info_data_not_ready:
        case isc_info_svc_timeout: m_waiting = true; break;
        case isc_info_svc_stdin:
            if (at + 4 > buffer.size())
                malformed();
            m_inputWanted = littleEndian(buffer, at, 4);
            at += 4;
            break;
        default: {
            // isc_info_svc_line, isc_info_svc_to_eof: two-byte length, then the bytes.
            if (at + 2 > buffer.size())
                malformed();
            const qsizetype length = littleEndian(buffer, at, 2);
            at += 2;
            if (at + length > buffer.size())
                malformed();
            m_output += buffer.mid(at, length);
            at += length;
        }
        }
    }
}
