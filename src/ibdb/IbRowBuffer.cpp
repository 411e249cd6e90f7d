#include "ibdb/IbRowBuffer.h"

#include "ibdb/IbError.h"
#include "ibdb/IbType.h"
#include "ibdb/IbValueReader.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Chunks double from small (a catalogue query of a few rows) to large.
constexpr std::size_t kFirstChunk = 4 * 1024;
// No larger, so that a row's offset in its chunk fits two bytes; a longer row
// has a chunk to itself, at offset 0.
constexpr std::size_t kLargestChunk = 64 * 1024;
// What a preview keeps of a long blob: more than a grid cell shows of it,
// in characters of up to four bytes or bytes shown as two digits each.
constexpr qint64 kPreviewBytes = 512;
// The high bit of a stored blob's length marks a preview: the id and the
// whole length follow, then the first bytes.
constexpr quint32 kPreviewFlag = 0x80000000u;
constexpr std::size_t kPreviewHead = sizeof(ISC_QUAD) + sizeof(qint64);

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

// A name in CHAR(31) of UTF8 is 124 bytes, mostly blanks: they are passed
// eight at a time.
ISC_USHORT trimmedLength(const XSQLVAR &var)
{
    constexpr quint64 kEightBlanks = 0x2020202020202020ull;
    auto length = std::size_t(ISC_USHORT(var.sqllen));
    while (length >= sizeof(quint64) && load<quint64>(var.sqldata + length - 8) == kEightBlanks)
        length -= sizeof(quint64);
    while (length > 0 && var.sqldata[length - 1] == ' ')
        --length;
    return ISC_USHORT(length);
}

// VARCHAR, and CHAR without its blanks, is kept as its length and its bytes;
// the length takes one byte where the column holds no more than 255.
bool isText(const XSQLVAR &column)
{
    return typeOf(column) == SQL_VARYING || trimsBlanks(column);
}

std::size_t lengthSize(const XSQLVAR &column)
{
    return column.sqllen <= 0xff ? 1 : sizeof(ISC_USHORT);
}

std::size_t storedLength(const XSQLVAR &column, const char *at)
{
    return lengthSize(column) == 1 ? std::size_t(quint8(*at)) : load<ISC_USHORT>(at);
}

ISC_USHORT fetchedLength(const XSQLVAR &var)
{
    return trimsBlanks(var) ? trimmedLength(var) : load<ISC_USHORT>(var.sqldata);
}

const char *fetchedText(const XSQLVAR &var)
{
    return trimsBlanks(var) ? var.sqldata : var.sqldata + sizeof(ISC_USHORT);
}

bool isPreview(quint32 header)
{
    return header & kPreviewFlag;
}

std::size_t blobStoredSize(quint32 header)
{
    const std::size_t bytes = header & ~kPreviewFlag;
    return sizeof header + (isPreview(header) ? kPreviewHead : 0) + bytes;
}

char *allocate(std::size_t size)
{
    auto *data = static_cast<char *>(std::malloc(std::max<std::size_t>(size, 1)));
    if (!data)
        throw std::bad_alloc();
    return data;
}

} // namespace

void IbRowBuffer::Free::operator()(char *data) const
{
    std::free(data);
}

void IbRowBuffer::setColumns(const IbSqlda &output)
{
    m_columns.assign(&output.var(0), &output.var(0) + output.count());
    clear();
}

void IbRowBuffer::setBlobPreviews(qint64 bytes, std::weak_ptr<const IbBlobPreview::Reader> reader)
{
    m_previewLimit = bytes;
    m_reader = std::move(reader);
}

IbRowBuffer IbRowBuffer::emptyCopy() const
{
    IbRowBuffer copy;
    copy.m_columns = m_columns;
    copy.m_previewLimit = m_previewLimit;
    copy.m_reader = m_reader;
    copy.m_firstChunk = std::clamp(m_lastBatchBytes, kFirstChunk, kLargestChunk);
    return copy;
}

std::size_t IbRowBuffer::bytes() const
{
    std::size_t index = m_chunks.capacity() * sizeof(Chunk);
    for (const Chunk &chunk : m_chunks)
        index += chunk.starts.capacity() * sizeof(quint16);
    return m_chunkBytes + index;
}

// What a fetched value takes here, a text by the length found for it; a
// blob's is its content's, known only once read.
std::size_t IbRowBuffer::storedSize(const XSQLVAR &var, ISC_USHORT textLength) const
{
    if (isNullIn(var) || typeOf(var) == SQL_BLOB)
        return 0;
    if (isText(var))
        return lengthSize(var) + textLength;
    return std::size_t(var.sqllen);
}

// What a stored value at `at` takes.
std::size_t IbRowBuffer::storedSize(const XSQLVAR &column, const char *at) const
{
    if (isText(column))
        return lengthSize(column) + storedLength(column, at);
    if (typeOf(column) == SQL_BLOB)
        return blobStoredSize(load<quint32>(at));
    return std::size_t(column.sqllen);
}

char *IbRowBuffer::store(const XSQLVAR &var, ISC_USHORT textLength, char *at) const
{
    if (isText(var)) {
        if (lengthSize(var) == 1)
            *at++ = char(textLength);
        else
            at = put(at, textLength);
        std::memcpy(at, fetchedText(var), textLength);
        return at + textLength;
    }
    const auto length = std::size_t(var.sqllen);
    std::memcpy(at, var.sqldata, length);
    return at + length;
}

IbBlobStream::Start IbRowBuffer::readBlob(const IbBlobStream &blobs, ISC_QUAD id) const
{
    if (m_previewLimit <= 0) {
        QByteArray content = blobs.read(id);
        const qint64 length = content.size();
        return {std::move(content), length};
    }
    return blobs.readStart(id, m_previewLimit, kPreviewBytes);
}

char *IbRowBuffer::storeBlob(const IbBlobStream::Start &blob, ISC_QUAD id, char *at) const
{
    const auto bytes = quint32(blob.bytes.size());
    if (blob.length == blob.bytes.size()) {
        at = put(at, bytes);
    } else {
        at = put(at, quint32(bytes | kPreviewFlag));
        at = put(at, id);
        at = put(at, blob.length);
    }
    std::memcpy(at, blob.bytes.constData(), bytes);
    return at + bytes;
}

void IbRowBuffer::addChunk(std::size_t size)
{
    const std::size_t next = m_chunks.empty() ? std::max(m_firstChunk, kFirstChunk)
                                              : std::min(m_chunks.back().size * 2, kLargestChunk);
    Chunk chunk;
    chunk.size = std::max(size, next);
    chunk.data.reset(allocate(chunk.size));
    chunk.firstRow = m_count;
    m_chunkBytes += chunk.size;
    m_chunks.push_back(std::move(chunk));
}

char *IbRowBuffer::reserve(std::size_t size)
{
    if (m_chunks.empty() || m_chunks.back().used + size > m_chunks.back().size)
        addChunk(size);
    Chunk &chunk = m_chunks.back();
    char *at = chunk.data.get() + chunk.used;
    chunk.starts.push_back(quint16(chunk.used));
    chunk.used += size;
    ++m_count;
    return at;
}

void IbRowBuffer::append(const IbSqlda &output, const IbBlobStream &blobs)
{
    const std::size_t columns = m_columns.size();
    QVarLengthArray<IbBlobStream::Start, 4> contents;
    // A text's length is found once: both sizing and storing need it.
    QVarLengthArray<ISC_USHORT, 16> textLengths(qsizetype(columns), 0);
    std::size_t size = bitmapSize(columns);
    for (std::size_t i = 0; i < columns; ++i) {
        const XSQLVAR &var = output.var(int(i));
        if (isText(var) && !isNullIn(var))
            textLengths[qsizetype(i)] = fetchedLength(var);
        size += storedSize(var, textLengths[qsizetype(i)]);
        if (typeOf(var) == SQL_BLOB && !isNullIn(var)) {
            contents.append(readBlob(blobs, load<ISC_QUAD>(var.sqldata)));
            const IbBlobStream::Start &blob = contents.last();
            // Its high bit marks a preview.
            if (blob.bytes.size() >= qsizetype(kPreviewFlag))
                throw IbError::refusal(QStringLiteral("A blob of 2 GB or more cannot be read "
                                                      "whole"),
                                       QSqlError::StatementError);
            size += sizeof(quint32) + std::size_t(blob.bytes.size())
                    + (blob.length == blob.bytes.size() ? 0 : kPreviewHead);
        }
    }
    char *row = reserve(size);
    std::memset(row, 0, bitmapSize(columns));
    char *at = row + bitmapSize(columns);
    qsizetype blob = 0;
    for (std::size_t i = 0; i < columns; ++i) {
        const XSQLVAR &var = output.var(int(i));
        if (isNullIn(var))
            row[i / 8] = char(row[i / 8] | (1 << (i % 8)));
        else if (typeOf(var) == SQL_BLOB)
            at = storeBlob(contents.at(blob++), load<ISC_QUAD>(var.sqldata), at);
        else
            at = store(var, textLengths[qsizetype(i)], at);
    }
}

void IbRowBuffer::shrinkToFit()
{
    for (Chunk &chunk : m_chunks)
        chunk.starts.shrink_to_fit();
    if (m_chunks.empty() || m_chunks.back().used == m_chunks.back().size)
        return;
    // Rows are found by their offsets within the chunk, which a move keeps.
    Chunk &last = m_chunks.back();
    if (char *fitted = static_cast<char *>(std::realloc(last.data.get(),
                                                        std::max<std::size_t>(last.used, 1)))) {
        last.data.release();
        last.data.reset(fitted);
        m_chunkBytes -= last.size - last.used;
        last.size = last.used;
    }
}

void IbRowBuffer::join(IbRowBuffer &&other)
{
    for (Chunk &chunk : other.m_chunks) {
        chunk.firstRow += m_count;
        m_chunks.push_back(std::move(chunk));
    }
    m_count += other.m_count;
    m_chunkBytes += other.m_chunkBytes;
    m_lastBatchBytes = other.m_chunkBytes;
    other.clear();
}

void IbRowBuffer::keepLast()
{
    if (m_count <= 1)
        return;
    const int last = m_count - 1;
    const char *row = rowAt(last);
    std::size_t size = bitmapSize(m_columns.size());
    for (int i = 0; i < columnCount(); ++i) {
        if (!isNull(last, i))
            size += storedSize(m_columns[std::size_t(i)], valueAt(last, i));
    }
    Chunk kept;
    kept.data.reset(allocate(size));
    std::memcpy(kept.data.get(), row, size);
    kept.size = kept.used = size;
    kept.starts = {0};
    clear();
    m_chunks.push_back(std::move(kept));
    m_chunkBytes = size;
    m_count = 1;
}

void IbRowBuffer::clear()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_count = 0;
    m_chunkBytes = 0;
    m_lastChunk = 0;
}

const char *IbRowBuffer::rowAt(int row) const
{
    if (m_lastChunk >= m_chunks.size() || row < m_chunks[m_lastChunk].firstRow
        || row >= m_chunks[m_lastChunk].firstRow + int(m_chunks[m_lastChunk].starts.size())) {
        const auto after = std::upper_bound(
            m_chunks.begin(), m_chunks.end(), row,
            [](int wanted, const Chunk &chunk) { return wanted < chunk.firstRow; });
        m_lastChunk = std::size_t(after - m_chunks.begin()) - 1;
    }
    const Chunk &chunk = m_chunks[m_lastChunk];
    return chunk.data.get() + chunk.starts[std::size_t(row - chunk.firstRow)];
}

bool IbRowBuffer::isNull(int row, int column) const
{
    const char *bitmap = rowAt(row);
    return bitmap[column / 8] & (1 << (column % 8));
}

const char *IbRowBuffer::valueAt(int row, int column) const
{
    const char *bitmap = rowAt(row);
    const char *at = bitmap + bitmapSize(m_columns.size());
    for (int i = 0; i < column; ++i) {
        if (!(bitmap[i / 8] & (1 << (i % 8))))
            at += storedSize(m_columns[std::size_t(i)], at);
    }
    return at;
}

QVariant IbRowBuffer::blobValue(const XSQLVAR &column, const char *at) const
{
    const auto header = load<quint32>(at);
    at += sizeof header;
    const qsizetype bytes = qsizetype(header & ~kPreviewFlag);
    if (!isPreview(header))
        return IbValueReader::blobValue(column, QByteArray(at, bytes));
    const auto id = load<ISC_QUAD>(at);
    const auto length = load<qint64>(at + sizeof id);
    at += kPreviewHead;
    return QVariant::fromValue(IbBlobPreview(QByteArray(at, bytes), length,
                                             column.sqlsubtype == 1, id, m_reader));
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
        return blobValue(var, at);
    if (isText(var))
        return IbValueReader::text(var, at + lengthSize(var), qsizetype(storedLength(var, at)));
    var.sqlind = &presentIndicator;
    var.sqldata = const_cast<char *>(at);
    return reader.read(var);
}
