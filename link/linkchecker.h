#pragma once

#include "linkcheckschedule.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

class CVr12Comm;

// The link check of every open controller, without a window: after the interval of silence a
// controller is asked for its status (the firmware exchange). The exchange runs on a thread of
// its own under the control's command lock, so the calling thread is held only to start it and
// to take its result, never while the lock is waited for or the controller is silent. A
// controller busy with a command, or whose port is down, is tried again a little later.
// A controller that does not answer counts as lost until it is heard again.
class CLinkChecker : public QObject {
    Q_OBJECT
public:
    using Clock = CLinkCheckSchedule::Clock;

    // What a controller's owner is told, on the checker's thread.
    struct Listener {
        // No answer to a check; `text` says when, for the user.
        std::function<void(const QString& text)> lost;
        // Heard again after being lost.
        std::function<void()> back;
    };

    explicit CLinkChecker(QObject* parent = nullptr);
    ~CLinkChecker() override;
    CLinkChecker(const CLinkChecker&) = delete;
    CLinkChecker& operator=(const CLinkChecker&) = delete;

    // LinkCheckMinutes: 0 turns the checks off.
    void setIntervalMinutes(int minutes);
    // Any interval, for tests and benchmarks that cannot wait minutes.
    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_schedule.interval(); }

    // Checks `comm` (which must outlive its entry) as controller `comPort`; a port already
    // known is replaced.
    void add(int comPort, CVr12Comm& comm, Listener listener);
    // Waits for a check of it under way.
    void remove(int comPort);
    void clear();

    // A registration arrived, or a command was answered.
    void heard(int comPort);
    bool isLost(int comPort) const { return m_schedule.isLost(comPort); }
    // A check is under way.
    bool checking() const { return m_workerPort != 0; }
    // Local time of the last registration or answer; null before the first.
    QDateTime lastHeard(int comPort) const;

    // The text a controller that did not answer the check at `at` shows.
    static QString noAnswerText(const QDateTime& at);

    // For the benchmark: checks taken to their end, and the longest the checker's thread was
    // held by one of them (its start and its result together).
    int checksDone() const { return m_checksDone; }
    std::chrono::nanoseconds longestHold() const { return m_longestHold; }

signals:
    // A controller was heard (a registration, an answer to a check or a command).
    void heardAt(int comPort, const QDateTime& at);

private:
    struct Entry {
        CVr12Comm* comm = nullptr;
        Listener listener;
        QDateTime lastHeard;
        quint64 generation = 0;
    };

    void schedule();
    void checkNext();
    void checkDone(int comPort, quint64 generation, bool answered);
    void joinWorker();
    void noteHold(Clock::time_point began);
    void tellHeard(int comPort, Entry& entry);

    CLinkCheckSchedule m_schedule;
    std::map<int, Entry> m_entries;
    QTimer m_timer;
    std::thread m_worker;
    int m_workerPort = 0;
    quint64 m_generations = 0;
    int m_checksDone = 0;
    std::chrono::nanoseconds m_longestHold{0};
};
