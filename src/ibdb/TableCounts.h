#pragma once

#include <QtGlobal>

#include <array>

// What the engine counted for one table on an attachment: rows read
// without an index and through one, and the record changes and clean-ups.
struct TableCounts
{
    enum Kind { NonIndexedReads, IndexedReads, Inserts, Updates, Deletes, Backouts, Purges,
                Expunges, KindCount };

    std::array<qint64, KindCount> values{};

    qint64 operator[](Kind kind) const { return values[kind]; }
    bool isZero() const
    {
        for (const qint64 value : values) {
            if (value != 0)
                return false;
        }
        return true;
    }
};
