#pragma once

#include "regtime.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CHistoryJoin;
class CHistoryStore;

// Which registrations to show; the conditions combine.
struct HistoryFilter {
    std::optional<RegTime> from; // inclusive
    std::optional<RegTime> to;   // inclusive
    std::vector<int> ports;      // the controllers' COM ports; empty: every one
    // Part of a media ID, a last name, a first name or the whole name (first and last either
    // way round), without case; blank: everyone.
    QString match;
    bool unknownOnly = false; // media no employee has (a join with a workspace)
    bool personsOnly = false; // isPersonRegistration; otherwise status messages too

    bool operator==(const HistoryFilter&) const = default;
};

// The numbers of the store's records from `first` on that pass, in the store's order. The join
// must have seen the store's media (CHistoryJoin::update).
std::vector<std::uint32_t> filterHistory(const CHistoryStore& store, const CHistoryJoin& join,
                                         const HistoryFilter& filter, std::size_t first = 0);
std::size_t countHistory(const CHistoryStore& store, const CHistoryJoin& join,
                         const HistoryFilter& filter);
