#pragma once

#include "regtime.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

class CHistoryJoin;
class CHistoryStore;
struct HistoryRecord;

// A person's day: the first and the last registration between local midnight and midnight,
// how many there were and on which controllers.
struct AttendanceRow {
    std::uint32_t day = 0; // regDay()
    std::uint32_t media = 0;
    RegTime first = 0;
    RegTime last = 0;
    std::uint32_t count = 0;
    std::bitset<256> ports; // by COM port

    RegTime span() const { return last - first; }
};

// The attendance of a set of registrations: one row per medium and day, counting only a
// person's registrations (isPersonRegistration), ordered by date, then last name, first name
// and media ID. A day with one registration has it as first and last, span 0.
class CAttendanceTable {
public:
    // Where a registration belongs: the row it counts into, or the place of its new row.
    struct Place {
        std::size_t row = 0;
        bool existing = false;
    };

    // Counts `records` (numbers of the store's records, any of them). The join must have seen
    // the store's media.
    void rebuild(const CHistoryStore& store, const CHistoryJoin& join,
                 const std::vector<std::uint32_t>& records);
    const std::vector<AttendanceRow>& rows() const { return m_rows; }

    // For a person's registration, one at a time as they come.
    Place placeOf(const CHistoryJoin& join, const HistoryRecord& r) const;
    void add(Place place, const HistoryRecord& r);

private:
    std::vector<AttendanceRow> m_rows;
};
