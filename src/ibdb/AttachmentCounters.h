#pragma once

#include "ibdb/TableCounts.h"

#include <ibase.h>

#include <QMap>

#include <vector>

// The attachment's running totals since it attached, as isc_database_info
// gives them: page reads, writes, fetches and marks, and per table (by
// relation id) the row counts of TableCounts. A statement's share is the
// difference of two snapshots around it.
class AttachmentCounters
{
public:
    // The info items asked for, in TableCounts' order after the four pages.
    static QByteArray items();
    static AttachmentCounters fromAnswer(const char *answer, int size);
    // Asks the server on the caller's thread; a refused call throws IbError.
    static AttachmentCounters take(isc_db_handle attachment);

    AttachmentCounters operator-(const AttachmentCounters &earlier) const;
    AttachmentCounters &operator+=(const AttachmentCounters &more);

    qint64 reads = 0;
    qint64 writes = 0;
    qint64 fetches = 0;
    qint64 marks = 0;
    // Tables with a count; a table the attachment never touched is absent.
    QMap<int, TableCounts> tables;

    struct TableCount
    {
        int relation;
        TableCounts::Kind kind;
        qint64 count;
    };

private:
    static void takeTableItem(TableCounts::Kind kind, const char *value, int length,
                              std::vector<TableCount> &into);
    void placeTables(std::vector<TableCount> &counts);
};
