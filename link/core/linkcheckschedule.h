#pragma once

#include <chrono>
#include <map>

// Which controller is due for a link check: one silent for the interval since it was last heard
// (a registration, an answer) or last checked. One check runs at a time, and the next one waits
// a spacing after it, so the checks of many controllers spread out instead of running in a
// burst.
class CLinkCheckSchedule {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::milliseconds;
    enum class Outcome {
        Answered,
        NoAnswer,
        // Not checked (a command held the line, the port was down): tried again soon.
        Skipped,
    };

    static constexpr Duration kSpacing{200};
    static constexpr Duration kRetry{5000};

    // 0 turns the checks off.
    void setInterval(Duration interval) {
        m_interval = interval < Duration(0) ? Duration(0) : interval;
    }
    Duration interval() const { return m_interval; }
    // Between the end of one check and the start of the next; shorter for short intervals.
    Duration spacing() const;

    // A controller whose port has just opened counts as heard now.
    void add(int comPort, Clock::time_point now);
    void remove(int comPort);
    bool contains(int comPort) const { return m_entries.count(comPort) != 0; }

    // A registration or an answer. True when the controller counted as lost: it is back.
    bool heard(int comPort, Clock::time_point now);
    void started(int comPort, Clock::time_point now);
    // The check under way ended. True when it made the controller lost (a first failure); a
    // controller that stays lost is not lost again.
    bool finished(int comPort, Outcome outcome, Clock::time_point now);

    // The controller to check now (the longest silent of those due), 0 when none is due or a
    // check runs.
    int due(Clock::time_point now) const;
    // When due() may next name one; Clock::time_point::max() while the checks are off, none is
    // known or one runs.
    Clock::time_point nextCheckAt() const;
    int running() const { return m_running; }
    bool isLost(int comPort) const;

private:
    struct Entry {
        Clock::time_point since; // last heard or checked
        Clock::time_point notBefore;
        bool lost = false;
    };
    Clock::time_point dueAt(const Entry& e) const;

    std::map<int, Entry> m_entries;
    Duration m_interval{0};
    int m_running = 0;
    Clock::time_point m_lastEnd;
};
