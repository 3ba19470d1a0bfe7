#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vr12comm {

// The lock that serialises a control's commands and its receiver. It belongs to
// the thread that acquired it and is re-entrant for that thread. Unlike a std
// mutex it may be destroyed or reset while held (a table listing left open).
// Until it has been made available, every acquisition fails.
class CommandLock {
public:
    using Slice = std::chrono::milliseconds;

    // Makes the lock available and unowned.
    void reset();
    bool isAvailable() const;

    // Waits in slices; between slices calls idle(), which returns false to give
    // up. Returns whether the calling thread now owns the lock.
    bool acquire(const std::function<bool()>& idle, Slice slice);
    bool tryAcquireFor(Slice wait);
    // False when the calling thread does not hold the lock.
    bool release();
    bool isHeldByCurrentThread() const;
    // The thread that holds it; no thread while nobody does.
    std::thread::id owner() const;
    int depth() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_available = false;
    std::thread::id m_owner;
    int m_depth = 0;
};

} // namespace vr12comm
