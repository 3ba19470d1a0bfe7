#pragma once

#include "regtime.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CHistoryStore;
struct HistoryRecord;

// Registrations counted into the bars of a chart: one bar per hour of one day, or one per day
// of a range.
struct HistoryChart {
    enum class Mode { PerHour, PerDay };

    Mode mode = Mode::PerHour;
    std::uint32_t firstDay = 0; // per hour: the day shown; per day: the first bar's day
    std::vector<std::uint32_t> counts;

    // "08:00" for an hour, "2025-03-04" for a day.
    QString barLabel(std::size_t bar) const;
    std::uint32_t total() const;
    // The fullest bar (the first of equals); 0 when there are none.
    std::size_t peak() const;
    // Counts in one registration that came after the bars were made.
    void add(const HistoryRecord& r);
};

// Ten years: a longer range of days is not drawn; a bound beyond it is left out.
constexpr std::uint32_t kLongestChartRange = 3660;

// The registrations among `records` (numbers of the store's records) on `day`, per hour.
HistoryChart chartPerHour(const CHistoryStore& store, const std::vector<std::uint32_t>& records,
                          std::uint32_t day);
// The registrations among `records` per day, from the range's first day to its last: the
// filter's bounds where given, else the first and the last day registered.
HistoryChart chartPerDay(const CHistoryStore& store, const std::vector<std::uint32_t>& records,
                         std::optional<RegTime> from, std::optional<RegTime> to);
