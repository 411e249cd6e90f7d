#include "ibdb/IbRowBuffer.h"

#include "ibdb/IbType.h"
#include "ibdb/IbValueReader.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace {

// Chunks double from small (a catalogue query of a few rows) to large.
constexpr std::size_t kFirstChunk = 4 * 1024;
constexpr std::size_t kLargestChunk = 1024 * 1024;

// Never written: values are read through a copy of a variable that only
// looks at them.
ISC_SHORT nullIndicator = -1;
ISC_SHORT presentIndicator = 0;

bool isNullIn(const XSQLVAR &var)
{
    return (var.sqltype & 1) && var.sqlind && *var.sqlind < 0;
}

int typeOf(const XSQLVAR &var)
{
    return var.sqltype & ~1;
}

template <typename T>
T load(const char *data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

template <typename T>
char *put(char *at, T value)
{
    std::memcpy(at, &value, sizeof value);
    return at + sizeof value;
}

std::size_t bitmapSize(std::size_t columns)
{
    return (columns + 7) / 8;
}

// CHAR pads with blanks what it does not fill; the reader drops them all the
// same, so they are not kept. Binary CHAR pads with zero bytes, which count.
bool trimsBlanks(const XSQLVAR &var)
{
    return typeOf(var) == SQL_TEXT && (var.sqlsubtype & 0xff) != IbType::octetsCharset;
}

ISC_USHORT trimmedLength(const XSQLVAR &var)
{
    auto length = ISC_USHORT(var.sqllen);
    while (length > 0 && var.sqldata[length - 1] == ' ')
        --length;
    return length;
}

} // namespace

void IbRowBuffer::setColumns(const IbSqlda &output)
{
    m_columns.assign(&output.var(0), &output.var(0) + output.count());
    clear();
}

IbRowBuffer IbRowBuffer::emptyCopy() const
{
    IbRowBuffer copy;
    copy.m_columns = m_columns;
    return copy;
}

std::size_t IbRowBuffer::bytes() const
{
    return m_chunkBytes + m_rows.capacity() * sizeof(const char *);
}

// What a fetched value takes here; a blob's is its content's, known only
// once read.
std::size_t IbRowBuffer::storedSize(const XSQLVAR &var) const
{
    if (isNullIn(var))
        return 0;
    if (trimsBlanks(var))
        return sizeof(ISC_USHORT) + trimmedLength(var);
    switch (typeOf(var)) {
    case SQL_VARYING:
        return sizeof(ISC_USHORT) + load<ISC_USHORT>(var.sqldata);
    case SQL_BLOB:
        return 0;
    default:
        return std::size_t(var.sqllen);
    }
}

// What a stored value at `at` takes.
std::size_t IbRowBuffer::storedSize(const XSQLVAR &column, const char *at) const
{
    if (typeOf(column) == SQL_VARYING || trimsBlanks(column))
        return sizeof(ISC_USHORT) + load<ISC_USHORT>(at);
    if (typeOf(column) == SQL_BLOB)
        return sizeof(quint32) + load<quint32>(at);
    return std::size_t(column.sqllen);
}

char *IbRowBuffer::store(const XSQLVAR &var, char *at) const
{
    if (trimsBlanks(var)) {
        const ISC_USHORT length = trimmedLength(var);
        at = put(at, length);
        std::memcpy(at, var.sqldata, length);
        return at + length;
    }
    const std::size_t length = storedSize(var);
    std::memcpy(at, var.sqldata, length);
    return at + length;
}

char *IbRowBuffer::reserve(std::size_t size)
{
    if (m_chunks.empty() || m_used + size > m_chunkSize) {
        const std::size_t next =
            m_chunks.empty() ? kFirstChunk : std::min(m_chunkSize * 2, kLargestChunk);
        m_chunkSize = std::max(size, next);
        m_chunks.push_back(std::make_unique<char[]>(m_chunkSize));
        m_chunkBytes += m_chunkSize;
        m_used = 0;
    }
    char *at = m_chunks.back().get() + m_used;
    m_used += size;
    return at;
}

void IbRowBuffer::append(const IbSqlda &output, const IbBlobStream &blobs)
{
    const std::size_t columns = m_columns.size();
    QVarLengthArray<QByteArray, 4> contents;
    std::size_t size = bitmapSize(columns);
    for (std::size_t i = 0; i < columns; ++i) {
        const XSQLVAR &var = output.var(int(i));
        size += storedSize(var);
        if (typeOf(var) == SQL_BLOB && !isNullIn(var)) {
            contents.append(blobs.read(load<ISC_QUAD>(var.sqldata)));
            size += sizeof(quint32) + std::size_t(contents.last().size());
        }
    }
    char *row = reserve(size);
    std::memset(row, 0, bitmapSize(columns));
    char *at = row + bitmapSize(columns);
    qsizetype blob = 0;
    for (std::size_t i = 0; i < columns; ++i) {
        const XSQLVAR &var = output.var(int(i));
        if (isNullIn(var)) {
            row[i / 8] = char(row[i / 8] | (1 << (i % 8)));
        } else if (typeOf(var) == SQL_BLOB) {
            const QByteArray &content = contents.at(blob++);
            at = put(at, quint32(content.size()));
            std::memcpy(at, content.constData(), std::size_t(content.size()));
            at += content.size();
        } else {
            at = store(var, at);
        }
    }
    m_rows.push_back(row);
}

void IbRowBuffer::shrinkToFit()
{
    if (m_chunks.empty() || m_used == m_chunkSize)
        return;
    char *old = m_chunks.back().get();
    auto fitted = std::make_unique<char[]>(std::max<std::size_t>(m_used, 1));
    std::memcpy(fitted.get(), old, m_used);
    // The newest rows are the ones in the newest chunk.
    for (auto row = m_rows.rbegin(); row != m_rows.rend() && *row >= old
                                     && *row < old + m_chunkSize;
         ++row)
        *row = fitted.get() + (*row - old);
    m_chunkBytes -= m_chunkSize - m_used;
    m_chunks.back() = std::move(fitted);
    m_chunkSize = m_used;
}

void IbRowBuffer::join(IbRowBuffer &&other)
{
    m_rows.insert(m_rows.end(), other.m_rows.begin(), other.m_rows.end());
    std::move(other.m_chunks.begin(), other.m_chunks.end(), std::back_inserter(m_chunks));
    m_chunkBytes += other.m_chunkBytes;
    m_chunkSize = other.m_chunkSize;
    m_used = other.m_used;
    other.clear();
}

void IbRowBuffer::keepLast()
{
    if (m_rows.size() <= 1)
        return;
    const char *last = m_rows.back();
    std::size_t size = bitmapSize(m_columns.size());
    for (int i = 0; i < columnCount(); ++i) {
        if (!isNull(count() - 1, i))
            size += storedSize(m_columns[std::size_t(i)], valueAt(count() - 1, i));
    }
    auto kept = std::make_unique<char[]>(size);
    std::memcpy(kept.get(), last, size);
    clear();
    m_chunks.push_back(std::move(kept));
    m_chunkSize = m_used = m_chunkBytes = size;
    m_rows.push_back(m_chunks.back().get());
}

void IbRowBuffer::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_chunks.clear();
    m_chunkSize = 0;
    m_used = 0;
    m_chunkBytes = 0;
}

bool IbRowBuffer::isNull(int row, int column) const
{
    const char *bitmap = m_rows[std::size_t(row)];
    return bitmap[column / 8] & (1 << (column % 8));
}

const char *IbRowBuffer::valueAt(int row, int column) const
{
    const char *at = m_rows[std::size_t(row)] + bitmapSize(m_columns.size());
    for (int i = 0; i < column; ++i) {
        if (!isNull(row, i))
            at += storedSize(m_columns[std::size_t(i)], at);
    }
    return at;
}

QVariant IbRowBuffer::value(int row, int column, bool exact) const
{
    XSQLVAR var = m_columns[std::size_t(column)];
    var.sqltype = short(var.sqltype | 1);
    // Blobs are read already: the reader is never asked to fetch one.
    const IbValueReader reader(IbBlobStream(nullptr, nullptr), exact);
    if (isNull(row, column)) {
        var.sqlind = &nullIndicator;
        return reader.read(var);
    }
    const char *at = valueAt(row, column);
    if (typeOf(var) == SQL_BLOB)
        return IbValueReader::blobValue(var, QByteArray(at + sizeof(quint32),
                                                        load<quint32>(at)));
    var.sqlind = &presentIndicator;
    if (trimsBlanks(var)) {
        var.sqllen = short(load<ISC_USHORT>(at));
        at += sizeof(ISC_USHORT);
    }
    var.sqldata = const_cast<char *>(at);
    return reader.read(var);
}
