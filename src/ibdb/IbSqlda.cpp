#include "ibdb/IbSqlda.h"

#include <cstring>

IbSqlda::IbSqlda(int capacity)
{
    reallocate(capacity);
}

void IbSqlda::reallocate(int capacity)
{
    capacity = capacity < 1 ? 1 : capacity;
    const std::size_t length = XSQLDA_LENGTH(capacity);
    m_storage = std::make_unique<std::byte[]>(length);
    std::memset(m_storage.get(), 0, length);
    get()->version = SQLDA_VERSION1;
    get()->sqln = static_cast<ISC_SHORT>(capacity);
    m_buffers.clear();
    m_indicators.clear();
}

std::byte *IbSqlda::buffer(int i, std::size_t size)
{
    if (m_indicators.size() != static_cast<std::size_t>(get()->sqln)) {
        m_indicators.assign(get()->sqln, 0);
        m_buffers.resize(get()->sqln);
    }
    // Never zero bytes: the client may write an empty value's length word.
    m_buffers[i] = std::make_unique<std::byte[]>(size + sizeof(ISC_QUAD));
    XSQLVAR &v = var(i);
    v.sqldata = reinterpret_cast<ISC_SCHAR *>(m_buffers[i].get());
    v.sqlind = &m_indicators[i];
    m_indicators[i] = 0;
    return m_buffers[i].get();
}

void IbSqlda::allocateOutput()
{
    for (int i = 0; i < count(); ++i) {
        const XSQLVAR &v = var(i);
        const std::size_t size = (v.sqltype & ~1) == SQL_VARYING
                                     ? v.sqllen + sizeof(ISC_USHORT) : v.sqllen;
        buffer(i, size);
        // Every column may come back NULL, declared NOT NULL or not.
        var(i).sqltype |= 1;
    }
}

std::byte *IbSqlda::allocateInput(int i, std::size_t size)
{
    return buffer(i, size);
}

void IbSqlda::setNull(int i)
{
    buffer(i, 0);
    var(i).sqltype |= 1;
    m_indicators[i] = -1;
}
