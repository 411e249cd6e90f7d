#pragma once

#include "ibdb/IbBlobPreview.h"
#include "ibdb/IbBlobStream.h"
#include "ibdb/IbSqlda.h"

#include <ibase.h>

#include <QVariant>

#include <cstddef>
#include <memory>
#include <vector>

// Fetched rows as the server sent them: per row a null bitmap, then each
// present value in its wire form (VARCHAR and CHAR by their real length, a
// blob by its content), packed into chunks. Each chunk knows where its rows
// start, as 2-byte offsets, so a million rows cost about the bytes they hold
// and any row is found again at once.
//
// A blob longer than the preview limit (when one is set) keeps only its id,
// its length and its first bytes, and reads as an IbBlobPreview.
//
// A batch fills a buffer of its own (away from the GUI thread, say) that
// then joins the kept rows whole: no row already kept moves or changes.
class IbRowBuffer
{
public:
    // The described output columns; drops every row.
    void setColumns(const IbSqlda &output);
    // Blobs longer than `bytes` are kept as previews read through `reader`;
    // 0 keeps every blob whole.
    void setBlobPreviews(qint64 bytes, std::weak_ptr<const IbBlobPreview::Reader> reader);
    // An empty buffer for the same columns and previews.
    IbRowBuffer emptyCopy() const;
    int columnCount() const { return int(m_columns.size()); }
    int count() const { return m_count; }
    // Bytes the rows take, index included.
    std::size_t bytes() const;

    // Copies the values isc_dsql_fetch just wrote into `output`; a blob's
    // content (or its preview) is read now, while the fetching transaction
    // still sees it.
    void append(const IbSqlda &output, const IbBlobStream &blobs);
    // Gives back what the newest chunk has to spare.
    void shrinkToFit();
    // Takes every row of `other`, after these.
    void join(IbRowBuffer &&other);
    // Keeps only the newest row.
    void keepLast();
    void clear();

    bool isNull(int row, int column) const;
    // The value as IbValueReader delivers it for the column.
    QVariant value(int row, int column, bool exact) const;

private:
    // Chunks come from malloc, so that the newest one shrinks in place.
    struct Free
    {
        void operator()(char *data) const;
    };
    struct Chunk
    {
        std::unique_ptr<char, Free> data;
        std::size_t size = 0;
        std::size_t used = 0;
        int firstRow = 0;
        std::vector<quint16> starts;
    };

    const char *rowAt(int row) const;
    const char *valueAt(int row, int column) const;
    std::size_t storedSize(const XSQLVAR &var, ISC_USHORT textLength) const;
    std::size_t storedSize(const XSQLVAR &column, const char *at) const;
    char *store(const XSQLVAR &var, ISC_USHORT textLength, char *at) const;
    char *storeBlob(const IbBlobStream::Start &blob, ISC_QUAD id, char *at) const;
    IbBlobStream::Start readBlob(const IbBlobStream &blobs, ISC_QUAD id) const;
    QVariant blobValue(const XSQLVAR &column, const char *at) const;
    char *reserve(std::size_t size);
    void addChunk(std::size_t size);

    std::vector<XSQLVAR> m_columns;
    std::vector<Chunk> m_chunks;
    int m_count = 0;
    std::size_t m_chunkBytes = 0;
    // Where a batch's chunks start: about what the previous batch took.
    std::size_t m_firstChunk = 0;
    std::size_t m_lastBatchBytes = 0;
    qint64 m_previewLimit = 0;
    std::weak_ptr<const IbBlobPreview::Reader> m_reader;
    // The chunk of the row read last: grids read row after row.
    mutable std::size_t m_lastChunk = 0;
};
