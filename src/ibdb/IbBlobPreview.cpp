#include "ibdb/IbBlobPreview.h"

#include <cstring>

IbBlobPreview::IbBlobPreview(QByteArray start, qint64 length, bool text, ISC_QUAD id,
                             std::weak_ptr<const Reader> reader)
    : m_start(std::move(start)), m_length(length), m_text(text), m_id(id),
      m_reader(std::move(reader))
{
}

quint64 IbBlobPreview::id() const
{
    quint64 id = 0;
    static_assert(sizeof id == sizeof m_id);
    std::memcpy(&id, &m_id, sizeof id);
    return id;
}

std::optional<QVariant> IbBlobPreview::whole() const
{
    const std::shared_ptr<const Reader> reader = m_reader.lock();
    if (!reader)
        return std::nullopt;
    return value(m_text, (*reader)(m_id));
}

QVariant IbBlobPreview::value(bool text, const QByteArray &content)
{
    if (text)
        return QString::fromUtf8(content);
    return content;
}
