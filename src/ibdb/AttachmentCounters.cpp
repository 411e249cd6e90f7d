#include "ibdb/AttachmentCounters.h"

#include "ibdb/IbError.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

namespace {

// Room for a few thousand tables' counts of all eight kinds.
constexpr int kAnswerSize = 32767;

constexpr char kTableItems[TableCounts::KindCount] = {
    isc_info_read_seq_count, isc_info_read_idx_count, isc_info_insert_count,
    isc_info_update_count,   isc_info_delete_count,   isc_info_backout_count,
    isc_info_purge_count,    isc_info_expunge_count};

int tableKind(char item)
{
    for (int kind = 0; kind < TableCounts::KindCount; ++kind) {
        if (kTableItems[kind] == item)
            return kind;
    }
    return -1;
}

qint64 number(const char *value, int length)
{
    return length > 0 && length <= 8 ? isc_portable_integer(
                                           reinterpret_cast<const ISC_UCHAR *>(value),
                                           short(length))
                                     : 0;
}

} // namespace

QByteArray AttachmentCounters::items()
{
    static const char pages[] = {isc_info_reads, isc_info_writes, isc_info_fetches,
                                 isc_info_marks};
    return QByteArray(pages, sizeof pages) + QByteArray(kTableItems, sizeof kTableItems);
}

// Taken twice for every statement profiled: the answer's room is the
// thread's own, cleared once, since the server ends what it writes.
AttachmentCounters AttachmentCounters::take(isc_db_handle attachment)
{
    static const QByteArray list = items();
    thread_local std::vector<char> answer(kAnswerSize, '\0');
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &attachment, short(list.size()), list.constData(),
                      short(answer.size()), answer.data());
    IbError::check(status, QSqlError::ConnectionError);
    return fromAnswer(answer.data(), int(answer.size()));
}

AttachmentCounters AttachmentCounters::fromAnswer(const char *answer, int size)
{
    AttachmentCounters counters;
    std::vector<TableCount> counts;
    const char *p = answer;
    const char *const end = answer + size;
    while (end - p >= 3 && *p != isc_info_end && *p != isc_info_truncated) {
        const int length = int(isc_vax_integer(p + 1, 2));
        if (length < 0 || end - p - 3 < length)
            break;
        const char *value = p + 3;
        switch (*p) {
        case isc_info_reads: counters.reads = number(value, length); break;
        case isc_info_writes: counters.writes = number(value, length); break;
        case isc_info_fetches: counters.fetches = number(value, length); break;
        case isc_info_marks: counters.marks = number(value, length); break;
        default:
            if (const int kind = tableKind(*p); kind >= 0)
                takeTableItem(TableCounts::Kind(kind), value, length, counts);
        }
        p = value + length;
    }
    counters.placeTables(counts);
    return counters;
}

namespace {

qint64 relationAt(const char *value, int at)
{
    return number(value + at, 2);
}

// The common run, every count in four bytes: read as such when the ids rise
// all the way, which is the reading the search below would choose too.
bool readFourByteCounts(const char *value, int length, TableCounts::Kind kind,
                        std::vector<AttachmentCounters::TableCount> &into)
{
    constexpr int kPair = 6;
    if (length % kPair != 0)
        return false;
    for (int at = kPair; at < length; at += kPair) {
        if (relationAt(value, at) <= relationAt(value, at - kPair))
            return false;
    }
    for (int at = 0; at < length; at += kPair)
        into.push_back({int(relationAt(value, at)), kind, number(value + at + 2, 4)});
    return true;
}

// The server writes each count in four bytes, or in eight once it passes
// 2^31, with no length of its own; the relation ids rise, which tells the
// one way to read the run. From the end back: whether a reading of the rest
// starts at each offset. False when none reads the whole run.
bool readMixedCounts(const char *value, int length, TableCounts::Kind kind,
                     std::vector<AttachmentCounters::TableCount> &into)
{
    const auto relation = [value](int at) { return relationAt(value, at); };
    const auto next = [&](int at, int size) {
        const int after = at + 2 + size;
        return after <= length ? after : -1;
    };
    std::vector<char> reads(size_t(length) + 1, 0);
    reads[size_t(length)] = 1;
    const auto leadsOn = [&](int at, int size) {
        const int after = next(at, size);
        return after == length
               || (after > 0 && reads[size_t(after)] && relation(after) > relation(at));
    };
    for (int at = length - 1; at >= 0; --at)
        reads[size_t(at)] = leadsOn(at, 4) || leadsOn(at, 8);
    if (length == 0 || !reads[0])
        return false;
    for (int at = 0; at < length;) {
        const int size = leadsOn(at, 4) ? 4 : 8;
        into.push_back({int(relation(at)), kind, number(value + at + 2, size)});
        at = next(at, size);
    }
    return true;
}

} // namespace

// A run of a two-byte relation id and its count each. A run no reading
// fits is read as pairs of four-byte counts, its odd tail left.
void AttachmentCounters::takeTableItem(TableCounts::Kind kind, const char *value, int length,
                                       std::vector<TableCount> &into)
{
    if (length == 0 || readFourByteCounts(value, length, kind, into)
        || readMixedCounts(value, length, kind, into))
        return;
    constexpr int kPair = 6;
    for (int at = 0; at + kPair <= length; at += kPair)
        into.push_back({int(number(value + at, 2)), kind, number(value + at + 2, 4)});
}

// In relation order, each table's node made once: a snapshot has every
// table of the attachment, eight counts each.
void AttachmentCounters::placeTables(std::vector<TableCount> &counts)
{
    std::stable_sort(counts.begin(), counts.end(),
                     [](const TableCount &a, const TableCount &b) { return a.relation < b.relation; });
    for (const TableCount &count : counts) {
        if (tables.isEmpty() || std::prev(tables.end()).key() != count.relation)
            tables.insert(tables.cend(), count.relation, TableCounts{});
        std::prev(tables.end())->values[count.kind] = count.count;
    }
}

AttachmentCounters AttachmentCounters::operator-(const AttachmentCounters &earlier) const
{
    AttachmentCounters difference;
    difference.reads = reads - earlier.reads;
    difference.writes = writes - earlier.writes;
    difference.fetches = fetches - earlier.fetches;
    difference.marks = marks - earlier.marks;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        const TableCounts before = earlier.tables.value(it.key());
        TableCounts counts;
        for (int kind = 0; kind < TableCounts::KindCount; ++kind)
            counts.values[kind] = it->values[kind] - before.values[kind];
        if (!counts.isZero())
            difference.tables.insert(it.key(), counts);
    }
    return difference;
}

AttachmentCounters &AttachmentCounters::operator+=(const AttachmentCounters &more)
{
    reads += more.reads;
    writes += more.writes;
    fetches += more.fetches;
    marks += more.marks;
    for (auto it = more.tables.cbegin(); it != more.tables.cend(); ++it) {
        TableCounts &counts = tables[it.key()];
        for (int kind = 0; kind < TableCounts::KindCount; ++kind)
            counts.values[kind] += it->values[kind];
    }
    return *this;
}
