#pragma once

#include "ibdb/IbBlobStream.h"
#include "ibdb/IbSqlda.h"

#include <ibase.h>

#include <QVariant>

#include <cstddef>
#include <memory>
#include <vector>

// Fetched rows as the server sent them: per row a null bitmap, then each
// present value in its wire form (VARCHAR and CHAR by their real length, a
// blob by its content), packed into a few large chunks, with an index of
// where each row starts. Values become QVariants only when read, so a
// million rows cost about the bytes they hold.
//
// A batch fills a buffer of its own (away from the GUI thread, say) that
// then joins the kept rows whole: no row already kept moves or changes.
class IbRowBuffer
{
public:
    // The described output columns; drops every row.
    void setColumns(const IbSqlda &output);
    // An empty buffer for the same columns.
    IbRowBuffer emptyCopy() const;
    int columnCount() const { return int(m_columns.size()); }
    int count() const { return int(m_rows.size()); }
    // Bytes the rows take, index included.
    std::size_t bytes() const;

    // Copies the values isc_dsql_fetch just wrote into `output`; a blob's
    // content is read now, while the fetching transaction still sees it.
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
    const char *valueAt(int row, int column) const;
    std::size_t storedSize(const XSQLVAR &var) const;
    std::size_t storedSize(const XSQLVAR &column, const char *at) const;
    char *store(const XSQLVAR &var, char *at) const;
    char *reserve(std::size_t size);

    std::vector<XSQLVAR> m_columns;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_chunkSize = 0;
    std::size_t m_used = 0;
    std::size_t m_chunkBytes = 0;
    std::vector<const char *> m_rows;
};
