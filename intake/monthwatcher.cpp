#include "monthwatcher.h"

#include "appsettings.h"

namespace {
QDate firstOfMonth(QDate date) {
    return QDate(date.year(), date.month(), 1);
}
} // namespace

CMonthWatcher::CMonthWatcher(QObject* parent, Clock clock)
    : QObject(parent),
      m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })) {
    m_month = firstOfMonth(m_clock().date());
    m_timer.setSingleShot(true);
    // A coarse timer may be minutes late over an hour's wait.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CMonthWatcher::check);
    arm();
}

QString CMonthWatcher::monthlyFileName() const {
    return CAppSettings::monthlyFileNameFor(m_month.year(), m_month.month());
}

QDateTime CMonthWatcher::nextMonthStart() const {
    // startOfDay copes with a daylight-saving change that skips local midnight.
    return m_month.addMonths(1).startOfDay();
}

void CMonthWatcher::check() {
    const QDate seen = firstOfMonth(m_clock().date());
    if (seen != m_month) {
        m_month = seen;
        emit monthChanged(monthlyFileName());
    }
    arm();
}

void CMonthWatcher::arm() {
    const qint64 until = m_clock().msecsTo(nextMonthStart());
    // A timer that fires early finds the old month and arms again for the rest.
    m_timer.start(int(qBound(qint64(1), until + 1, qint64(kLongestWaitMs))));
}
