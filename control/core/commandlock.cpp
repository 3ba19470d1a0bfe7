#include "commandlock.h"

namespace vr12comm {

void CommandLock::reset() {
    {
        std::lock_guard g(m_mutex);
        m_available = true;
        m_owner = {};
        m_depth = 0;
    }
    m_cv.notify_all();
}

bool CommandLock::isAvailable() const {
    std::lock_guard g(m_mutex);
    return m_available;
}

bool CommandLock::tryAcquireFor(Slice wait) {
    const auto self = std::this_thread::get_id();
    std::unique_lock g(m_mutex);
    if (!m_available)
        return false;
    if (m_depth > 0 && m_owner == self) {
        ++m_depth;
        return true;
    }
    if (!m_cv.wait_for(g, wait, [&] { return m_depth == 0 || !m_available; }) || !m_available)
        return false;
    m_owner = self;
    m_depth = 1;
    return true;
}

bool CommandLock::acquire(const std::function<bool()>& idle, Slice slice) {
    for (;;) {
        if (!isAvailable())
            return false;
        if (tryAcquireFor(slice))
            return true;
        if (idle && !idle())
            return false;
    }
}

bool CommandLock::release() {
    {
        std::lock_guard g(m_mutex);
        if (m_depth == 0 || m_owner != std::this_thread::get_id())
            return false;
        if (--m_depth > 0)
            return true;
        m_owner = {};
    }
    m_cv.notify_all();
    return true;
}

bool CommandLock::isHeldByCurrentThread() const {
    std::lock_guard g(m_mutex);
    return m_depth > 0 && m_owner == std::this_thread::get_id();
}

std::thread::id CommandLock::owner() const {
    std::lock_guard g(m_mutex);
    return m_depth > 0 ? m_owner : std::thread::id();
}

int CommandLock::depth() const {
    std::lock_guard g(m_mutex);
    return m_depth;
}

} // namespace vr12comm
