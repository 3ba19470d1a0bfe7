#pragma once

#include <QString>

// One simulator per device link. The lock is an flock on "<link>.lock" beside
// the link, held for the simulator's life; the kernel drops it when the process
// dies, so the link of a simulator that is gone counts as stale and may be
// replaced, while that of a running one may not.
class DeviceLinkLock {
public:
    DeviceLinkLock() = default;
    ~DeviceLinkLock();
    DeviceLinkLock(const DeviceLinkLock&) = delete;
    DeviceLinkLock& operator=(const DeviceLinkLock&) = delete;

    // False, with the reason in errorString(), when a running simulator serves
    // the link or the link names something other than a pseudo-terminal or a
    // simulator's port on the loopback address.
    bool acquire(const QString& linkPath);
    // Call after the link is gone.
    void release();
    QString errorString() const { return m_error; }

private:
    int m_fd = -1;
    QString m_lockPath;
    QString m_error;
};
