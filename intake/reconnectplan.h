#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

// When a controller's port is tried again after it did not open or hung up: 2 s later, then
// at twice the wait after each try that fails, at most 60 s apart, until one opens it. The
// desktop program's forms and the headless collector each keep one per controller.
class CReconnectPlan : public QObject {
    Q_OBJECT
public:
    // Opens the port again; true when it opened.
    using Attempt = std::function<bool()>;

    static constexpr std::chrono::milliseconds kFirstWait{2000};
    static constexpr std::chrono::milliseconds kLongestWait{60000};

    // The wait before try number `failedTries` + 1.
    static std::chrono::milliseconds waitAfter(int failedTries);

    explicit CReconnectPlan(Attempt attempt, QObject* parent = nullptr);

    // The port is down: tries begin 2 s from now unless they already run.
    void down();
    // The port is up by other means: no more tries, and the next loss starts at 2 s again.
    void up();
    bool isWaiting() const { return m_timer.isActive(); }
    // Whole seconds until the next try (at least 1); 0 when none is planned.
    int secondsToNextTry() const;
    int failedTries() const { return m_failed; }

    // The try the timer makes, at once.
    bool tryNow();

signals:
    // A try opened the port.
    void back();
    // A try failed; the next one follows in `seconds`.
    void stillDown(int seconds);

private:
    void plan();

    Attempt m_attempt;
    QTimer m_timer;
    int m_failed = 0;
};
