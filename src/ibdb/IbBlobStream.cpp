#include "ibdb/IbBlobStream.h"

#include "ibdb/IbError.h"
#include "ibdb/IbHandles.h"

#include <algorithm>

namespace {

constexpr unsigned short segmentSize = 32 * 1024;

void check(const ISC_STATUS *status)
{
    IbError::check(status, QSqlError::StatementError);
}

} // namespace

QByteArray IbBlobStream::read(ISC_QUAD id) const
{
    ISC_STATUS_ARRAY status;
    IbBlob blob;
    isc_open_blob2(status, m_database, m_transaction, blob.ref(), &id, 0, nullptr);
    check(status);
    QByteArray content;
    char segment[segmentSize];
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result =
            isc_get_segment(status, blob.ref(), &length, segmentSize, segment);
        // isc_segment: a longer segment was delivered in part; go on reading.
        if (result != 0 && result != isc_segment && result != isc_segstr_eof)
            check(status);
        content.append(segment, length);
        if (result == isc_segstr_eof)
            break;
    }
    isc_close_blob(status, blob.ref());
    check(status);
    blob.forget();
    return content;
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
