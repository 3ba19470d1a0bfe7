#include "reconnectplan.h"

#include <algorithm>

CReconnectPlan::CReconnectPlan(Attempt attempt, QObject* parent)
    : QObject(parent), m_attempt(std::move(attempt)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CReconnectPlan::tryNow);
}

std::chrono::milliseconds CReconnectPlan::waitAfter(int failedTries) {
    auto wait = kFirstWait;
    for (int i = 0; i < failedTries && wait < kLongestWait; ++i)
        wait *= 2;
    return std::min(wait, kLongestWait);
}

void CReconnectPlan::plan() {
    m_timer.start(waitAfter(m_failed));
}

void CReconnectPlan::down() {
    if (!m_timer.isActive())
        plan();
}

void CReconnectPlan::up() {
    m_timer.stop();
    m_failed = 0;
}

int CReconnectPlan::secondsToNextTry() const {
    if (!m_timer.isActive())
        return 0;
    // To the nearest second: a wait just planned reads as its own length.
    return std::max(1, (m_timer.remainingTime() + 500) / 1000);
}

bool CReconnectPlan::tryNow() {
    m_timer.stop();
    if (m_attempt && m_attempt()) {
        up();
        emit back();
        return true;
    }
    ++m_failed;
    plan();
    emit stillDown(secondsToNextTry());
    return false;
}
