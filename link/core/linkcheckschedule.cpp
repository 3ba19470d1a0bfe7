#include "linkcheckschedule.h"

#include <algorithm>
#include <utility>

CLinkCheckSchedule::Duration CLinkCheckSchedule::spacing() const {
    return std::min(kSpacing, m_interval / 20);
}

void CLinkCheckSchedule::add(int comPort, Clock::time_point now) {
    m_entries[comPort] = Entry{now, now, false};
}

void CLinkCheckSchedule::remove(int comPort) {
    m_entries.erase(comPort);
    if (m_running == comPort)
        m_running = 0;
}

bool CLinkCheckSchedule::heard(int comPort, Clock::time_point now) {
    const auto it = m_entries.find(comPort);
    if (it == m_entries.end())
        return false;
    it->second.since = now;
    it->second.notBefore = now;
    return std::exchange(it->second.lost, false);
}

void CLinkCheckSchedule::started(int comPort, Clock::time_point) {
    m_running = comPort;
}

bool CLinkCheckSchedule::finished(int comPort, Outcome outcome, Clock::time_point now) {
    if (m_running == comPort)
        m_running = 0;
    m_lastEnd = now;
    const auto it = m_entries.find(comPort);
    if (it == m_entries.end())
        return false;
    Entry& e = it->second;
    switch (outcome) {
    case Outcome::Answered:
        heard(comPort, now);
        return false;
    case Outcome::NoAnswer:
        e.since = now;
        e.notBefore = now;
        return !std::exchange(e.lost, true);
    case Outcome::Skipped:
        e.notBefore = now + std::min(kRetry, m_interval);
        return false;
    }
    return false;
}

CLinkCheckSchedule::Clock::time_point CLinkCheckSchedule::dueAt(const Entry& e) const {
    return std::max(e.since + m_interval, e.notBefore);
}

int CLinkCheckSchedule::due(Clock::time_point now) const {
    if (m_interval <= Duration(0) || m_running != 0 || now < m_lastEnd + spacing())
        return 0;
    int best = 0;
    Clock::time_point bestAt = Clock::time_point::max();
    for (const auto& [port, e] : m_entries) {
        const Clock::time_point at = dueAt(e);
        if (at <= now && at < bestAt) {
            best = port;
            bestAt = at;
        }
    }
    return best;
}

CLinkCheckSchedule::Clock::time_point CLinkCheckSchedule::nextCheckAt() const {
    if (m_interval <= Duration(0) || m_running != 0 || m_entries.empty())
        return Clock::time_point::max();
    Clock::time_point next = Clock::time_point::max();
    for (const auto& [port, e] : m_entries)
        next = std::min(next, dueAt(e));
    return std::max(next, m_lastEnd + spacing());
}

bool CLinkCheckSchedule::isLost(int comPort) const {
    const auto it = m_entries.find(comPort);
    return it != m_entries.end() && it->second.lost;
}
