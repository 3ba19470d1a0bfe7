#include "historyfilter.h"

#include "historyjoin.h"
#include "historystore.h"

#include <array>
#include <limits>

namespace {

// The filter turned into lookups: one flag per medium and per port, so that a record costs a
// few comparisons.
class Matcher {
public:
    Matcher(const CHistoryStore& store, const CHistoryJoin& join, const HistoryFilter& filter)
        : m_from(filter.from.value_or(0)),
          m_to(filter.to.value_or(std::numeric_limits<RegTime>::max())),
          m_persons(filter.personsOnly) {
        m_ports.fill(filter.ports.empty());
        for (const int port : filter.ports) {
            if (port >= 1 && port <= 255)
                m_ports[std::size_t(port)] = true;
        }
        const QString match = filter.match.trimmed();
        m_media.resize(store.mediaCount());
        for (std::uint32_t media = 0; media < store.mediaCount(); ++media) {
            const CHistoryJoin::Medium& m = join.medium(media);
            m_media[media] =
                (!filter.unknownOnly || m.unknown) && (match.isEmpty() || matches(m, match));
        }
    }

    bool operator()(const HistoryRecord& r) const {
        return r.when >= m_from && r.when <= m_to && m_ports[r.port] && m_media[r.media] &&
               (!m_persons || r.person);
    }

private:
    static bool matches(const CHistoryJoin::Medium& m, const QString& match) {
        if (m.mediaId.isEmpty())
            return false;
        for (const QString& text :
             {m.mediaId, m.lastName, m.firstName, m.firstName + QLatin1Char(' ') + m.lastName,
              m.lastName + QLatin1Char(' ') + m.firstName}) {
            if (text.contains(match, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    RegTime m_from;
    RegTime m_to;
    bool m_persons;
    std::array<bool, 256> m_ports{};
    std::vector<char> m_media;
};

} // namespace

std::vector<std::uint32_t> filterHistory(const CHistoryStore& store, const CHistoryJoin& join,
                                         const HistoryFilter& filter, std::size_t first) {
    const Matcher passes(store, join, filter);
    const std::vector<HistoryRecord>& records = store.records();
    std::vector<std::uint32_t> found;
    for (std::size_t i = first; i < records.size(); ++i) {
        if (passes(records[i]))
            found.push_back(std::uint32_t(i));
    }
    return found;
}

std::size_t countHistory(const CHistoryStore& store, const CHistoryJoin& join,
                         const HistoryFilter& filter) {
    const Matcher passes(store, join, filter);
    std::size_t count = 0;
    for (const HistoryRecord& r : store.records())
        count += passes(r) ? 1 : 0;
    return count;
}
