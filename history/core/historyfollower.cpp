#include "historyfollower.h"

#include "historystore.h"

CHistoryFollower::CHistoryFollower(CHistoryStore& store, QObject* parent)
    : QObject(parent), m_store(store), m_damaged(store.damagedLines()) {
    m_timer.setInterval(kLookEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &CHistoryFollower::look);
}

void CHistoryFollower::start() {
    m_damaged = m_store.damagedLines();
    m_timer.start();
}

void CHistoryFollower::stop() {
    m_timer.stop();
}

void CHistoryFollower::look() {
    const CHistoryStore::Refresh r = m_store.refresh();
    if (!r.changed)
        return;
    if (r.reloaded)
        emit reloaded();
    else if (r.firstNew < m_store.size())
        emit recordsAdded(r.firstNew);
    if (m_store.damagedLines() != m_damaged) {
        m_damaged = m_store.damagedLines();
        emit damagedLinesChanged(m_damaged);
    }
}
