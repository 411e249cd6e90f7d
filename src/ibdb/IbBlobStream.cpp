#include "ibdb/IbBlobStream.h"

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"

#include <algorithm>
#include <limits>

namespace {

constexpr unsigned short segmentSize = 32 * 1024;

void check(const ISC_STATUS *status)
{
    IbError::check(status, QSqlError::StatementError);
}

// The total length the server gives for an open blob.
qint64 totalLength(isc_blob_handle *blob)
{
    ISC_STATUS_ARRAY status;
    const char items[] = {isc_info_blob_total_length};
    char answer[32] = {};
    isc_blob_info(status, blob, sizeof items, items, sizeof answer, answer);
    check(status);
    if (answer[0] != isc_info_blob_total_length)
        return 0;
    const auto size = short(isc_portable_integer(reinterpret_cast<ISC_UCHAR *>(answer + 1), 2));
    if (size <= 0 || size > 8)
        return 0;
    return isc_portable_integer(reinterpret_cast<ISC_UCHAR *>(answer + 3), size);
}

} // namespace

QByteArray IbBlobStream::read(ISC_QUAD id) const
{
    const qint64 all = std::numeric_limits<qint64>::max();
    return readStart(id, all, all).bytes;
}

IbBlobStream::Start IbBlobStream::readStart(ISC_QUAD id, qint64 whole, qint64 start) const
{
    ISC_STATUS_ARRAY status;
    IbBlob blob;
    isc_open_blob2(status, m_database, m_transaction, blob.ref(), &id, 0, nullptr);
    check(status);
    Start read = readOpened(blob.ref(), whole, start);
    isc_close_blob(status, blob.ref());
    check(status);
    blob.forget();
    return read;
}

// Into a buffer of the blob's own length: appending segment by segment
// would double it over and over, holding up to twice the content.
IbBlobStream::Start IbBlobStream::readOpened(isc_blob_handle *blob, qint64 whole,
                                             qint64 first)
{
    ISC_STATUS_ARRAY status;
    Start start;
    start.length = totalLength(blob);
    // A blob read whole is read to its end, whatever length it gave.
    const qint64 most = start.length <= whole ? std::numeric_limits<qint64>::max() : first;
    start.bytes.reserve(qsizetype(std::min(most, start.length)));
    char segment[segmentSize];
    while (start.bytes.size() < most) {
        const auto room = static_cast<unsigned short>(
            std::min<qint64>(segmentSize, most - start.bytes.size()));
        unsigned short length = 0;
        const ISC_STATUS result = isc_get_segment(status, blob, &length, room, segment);
        // isc_segment: a longer segment was delivered in part; go on reading.
        if (result != 0 && result != isc_segment && result != isc_segstr_eof)
            check(status);
        start.bytes.append(segment, length);
        if (result == isc_segstr_eof)
            break;
    }
    // Read to its end, the blob is as long as what came.
    if (start.bytes.size() < most)
        start.length = start.bytes.size();
    return start;
}

ISC_QUAD IbBlobStream::write(const QByteArray &content) const
{
    ISC_STATUS_ARRAY status;
    IbBlob blob;
    ISC_QUAD id{};
    isc_create_blob2(status, m_database, m_transaction, blob.ref(), &id, 0, nullptr);
    check(status);
    for (qsizetype offset = 0; offset < content.size(); offset += segmentSize) {
        const auto length = static_cast<unsigned short>(
            std::min<qsizetype>(segmentSize, content.size() - offset));
        isc_put_segment(status, blob.ref(), length, content.constData() + offset);
        check(status);
    }
    // Only a closed blob is stored: a failed close is a failed write.
    isc_close_blob(status, blob.ref());
    check(status);
    blob.forget();
    return id;
}
