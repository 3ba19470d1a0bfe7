#include "attendancetable.h"

#include "historyjoin.h"
#include "historystore.h"

#include <algorithm>
#include <unordered_map>

namespace {

void count(AttendanceRow& row, const HistoryRecord& r) {
    if (row.count == 0 || r.when < row.first)
        row.first = r.when;
    if (row.count == 0 || r.when > row.last)
        row.last = r.when;
    ++row.count;
    row.ports.set(r.port);
}

} // namespace

void CAttendanceTable::rebuild(const CHistoryStore& store, const CHistoryJoin& join,
                               const std::vector<std::uint32_t>& records) {
    m_rows.clear();
    std::unordered_map<std::uint64_t, std::size_t> rowOf; // (day, media) -> row
    const std::vector<HistoryRecord>& all = store.records();
    for (const std::uint32_t i : records) {
        const HistoryRecord& r = all[i];
        if (!r.person)
            continue;
        const std::uint64_t key = (std::uint64_t(regDay(r.when)) << 32) | r.media;
        const auto [at, added] = rowOf.try_emplace(key, m_rows.size());
        if (added) {
            m_rows.emplace_back();
            m_rows.back().day = regDay(r.when);
            m_rows.back().media = r.media;
        }
        count(m_rows[at->second], r);
    }
    const std::vector<std::uint32_t> rank = join.ranks(CHistoryJoin::MediaOrder::ByLastName);
    std::sort(m_rows.begin(), m_rows.end(),
              [&rank](const AttendanceRow& a, const AttendanceRow& b) {
                  return a.day != b.day ? a.day < b.day : rank[a.media] < rank[b.media];
              });
}

CAttendanceTable::Place CAttendanceTable::placeOf(const CHistoryJoin& join,
                                                  const HistoryRecord& r) const {
    const std::uint32_t day = regDay(r.when);
    const auto at = std::lower_bound(
        m_rows.begin(), m_rows.end(), r,
        [&join, day](const AttendanceRow& row, const HistoryRecord& x) {
            if (row.day != day)
                return row.day < day;
            return join.compareMedia(row.media, x.media, CHistoryJoin::MediaOrder::ByLastName) < 0;
        });
    Place place;
    place.row = std::size_t(at - m_rows.begin());
    place.existing = at != m_rows.end() && at->day == day && at->media == r.media;
    return place;
}

void CAttendanceTable::add(Place place, const HistoryRecord& r) {
    if (!place.existing) {
        AttendanceRow row;
        row.day = regDay(r.when);
        row.media = r.media;
        m_rows.insert(m_rows.begin() + std::ptrdiff_t(place.row), row);
    }
    count(m_rows[place.row], r);
}
