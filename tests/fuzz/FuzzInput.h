#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Turns libFuzzer's bytes into the inputs of the code under test. A broken
// promise of that code aborts, which libFuzzer reports as a crash.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    int integer()
    {
        int value = 0;
        for (int i = 0; i < 4 && !atEnd(); ++i)
            value = (value << 8) | uchar(m_bytes[m_pos++]);
        return value;
    }

    // Text up to the next 0xff byte (or the end), read as UTF-8.
    QString text()
    {
        const qsizetype end = m_bytes.indexOf(char(0xff), m_pos);
        const qsizetype stop = end < 0 ? m_bytes.size() : end;
        const QString result = QString::fromUtf8(m_bytes.mid(m_pos, stop - m_pos));
        m_pos = stop + 1;
        return result;
    }

    QString rest() { return QString::fromUtf8(m_bytes.mid(qMin(m_pos, m_bytes.size()))); }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

inline void fuzzCheck(bool promise)
{
    if (!promise)
        std::abort();
}
