#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

// Follows the local month so that a program running past the end of a month writes into the
// new month's registrations file. A timer wakes at the next local midnight that starts a
// month (or earlier: the clock can be set or the machine suspended), and check() may also be
// called on every registration.
class CMonthWatcher : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // The longest sleep between two looks at the clock.
    static constexpr int kLongestWaitMs = 60 * 60 * 1000;

    explicit CMonthWatcher(QObject* parent = nullptr, Clock clock = {});

    // "TarvexRegs-%Y-%m.txt" of the month last seen.
    QString monthlyFileName() const;
    QDate month() const { return m_month; }
    // The first local moment of the month after the one last seen.
    QDateTime nextMonthStart() const;
    // Milliseconds until the timer looks again; -1 when it is not armed.
    int msUntilNextLook() const { return m_timer.isActive() ? m_timer.remainingTime() : -1; }

public slots:
    // Looks at the clock now; reports a month that changed since the last look.
    void check();

signals:
    void monthChanged(const QString& monthlyFileName);

private:
    void arm();

    Clock m_clock;
    QDate m_month; // the first day of the month last seen
    QTimer m_timer;
};
