#include "ibdb/AttachmentCounters.h"

#include "ibdb/IbError.h"

#include <QByteArray>
#include <QList>

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

AttachmentCounters AttachmentCounters::take(isc_db_handle attachment)
{
    const QByteArray list = items();
    QByteArray answer(kAnswerSize, '\0');
    ISC_STATUS_ARRAY status;
    isc_database_info(status, &attachment, short(list.size()), list.constData(),
                      short(answer.size()), answer.data());
    IbError::check(status, QSqlError::ConnectionError);
    return fromAnswer(answer.constData(), int(answer.size()));
}

AttachmentCounters AttachmentCounters::fromAnswer(const char *answer, int size)
{
    AttachmentCounters counters;
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
                counters.takeTableItem(TableCounts::Kind(kind), value, length);
        }
        p = value + length;
    }
    return counters;
}

namespace {

struct TableCount
{
    int relation = 0;
    qint64 count = 0;
};

// The server writes each count in four bytes, or in eight once it passes
// 2^31, with no length of its own; the relation ids rise, which tells the
// one way to read the run. From the end back: whether a reading of the rest
// starts at each offset. Empty when none reads the whole run.
QList<TableCount> readCounts(const char *value, int length)
{
    const auto relation = [value](int at) { return number(value + at, 2); };
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
    QList<TableCount> counts;
    if (length == 0 || !reads[0])
        return counts;
    for (int at = 0; at < length;) {
        const int size = leadsOn(at, 4) ? 4 : 8;
        counts.append({int(relation(at)), number(value + at + 2, size)});
        at = next(at, size);
    }
    return counts;
}

} // namespace

// A run of a two-byte relation id and its count each. A run no reading
// fits is read as pairs of four-byte counts, its odd tail left.
void AttachmentCounters::takeTableItem(TableCounts::Kind kind, const char *value, int length)
{
    QList<TableCount> counts = readCounts(value, length);
    if (counts.isEmpty()) {
        constexpr int kPair = 6;
        for (int at = 0; at + kPair <= length; at += kPair)
            counts.append({int(number(value + at, 2)), number(value + at + 2, 4)});
    }
    for (const TableCount &count : std::as_const(counts))
        tables[count.relation].values[kind] = count.count;
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
