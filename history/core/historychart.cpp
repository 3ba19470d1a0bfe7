#include "historychart.h"

#include "historystore.h"

#include <algorithm>
#include <numeric>

QString HistoryChart::barLabel(std::size_t bar) const {
    if (mode == Mode::PerHour)
        return QStringLiteral("%1:00").arg(int(bar), 2, 10, QLatin1Char('0'));
    return regDateText(firstDay + std::uint32_t(bar));
}

std::uint32_t HistoryChart::total() const {
    return std::accumulate(counts.begin(), counts.end(), 0u);
}

std::size_t HistoryChart::peak() const {
    return counts.empty()
               ? 0
               : std::size_t(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

void HistoryChart::add(const HistoryRecord& r) {
    const std::uint32_t day = regDay(r.when);
    if (mode == Mode::PerHour) {
        if (day == firstDay && counts.size() == 24)
            ++counts[std::size_t(regSecondOfDay(r.when) / 3600)];
        return;
    }
    if (counts.empty()) {
        firstDay = day;
        counts.assign(1, 0);
    } else if (day < firstDay) {
        if (firstDay - day + counts.size() > kLongestChartRange)
            return;
        counts.insert(counts.begin(), firstDay - day, 0u);
        firstDay = day;
    } else if (day - firstDay >= counts.size()) {
        if (day - firstDay >= kLongestChartRange)
            return;
        counts.resize(day - firstDay + 1, 0u);
    }
    ++counts[day - firstDay];
}

HistoryChart chartPerHour(const CHistoryStore& store, const std::vector<std::uint32_t>& records,
                          std::uint32_t day) {
    HistoryChart chart;
    chart.mode = HistoryChart::Mode::PerHour;
    chart.firstDay = day;
    chart.counts.assign(24, 0);
    const std::vector<HistoryRecord>& all = store.records();
    for (const std::uint32_t i : records)
        chart.add(all[i]);
    return chart;
}

HistoryChart chartPerDay(const CHistoryStore& store, const std::vector<std::uint32_t>& records,
                         std::optional<RegTime> from, std::optional<RegTime> to) {
    HistoryChart chart;
    chart.mode = HistoryChart::Mode::PerDay;
    const std::vector<HistoryRecord>& all = store.records();
    std::uint32_t first = UINT32_MAX;
    std::uint32_t last = 0;
    for (const std::uint32_t i : records) {
        first = std::min(first, regDay(all[i].when));
        last = std::max(last, regDay(all[i].when));
    }
    // The bounds given widen the range, so that quiet days at its ends show as empty bars.
    const std::uint32_t wantFirst = from ? std::min(first, regDay(*from)) : first;
    const std::uint32_t wantLast = to ? std::max(records.empty() ? 0 : last, regDay(*to)) : last;
    if (wantFirst <= wantLast && wantLast - wantFirst < kLongestChartRange) {
        first = wantFirst;
        last = wantLast;
    }
    if (first > last || last - first >= kLongestChartRange)
        return chart;
    chart.firstDay = first;
    chart.counts.assign(last - first + 1, 0);
    for (const std::uint32_t i : records)
        chart.add(all[i]);
    return chart;
}
