#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace vr12comm {

// Synchronous hand-over of a received message from the receiver thread to the
// thread that owns the control. The owner handles it from its event loop, or
// earlier from service() while it waits for the command lock, so a receiver
// that holds the lock and a command waiting for it cannot stall each other.
class HandOver {
public:
    using Handler = std::function<void(const QByteArray&)>;

    // `context` lives on the owner thread; the handler runs there.
    HandOver(QObject* context, Handler handler);

    // Receiver side: returns once the owner thread has handled the message, or
    // when cancel() is called.
    void deliver(const QByteArray& message);
    // Owner side: handles a pending message; true if there was one.
    bool service();
    // True while the handler runs (on the owner thread).
    bool inHandler() const { return m_inHandler; }
    // Releases a waiting receiver without handling its message.
    void cancel();
    bool isOwnerThread() const;

private:
    QPointer<QObject> m_context;
    Handler m_handler;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_pending = false;
    quint64 m_posted = 0;
    quint64 m_finished = 0;
    QByteArray m_message;
    bool m_inHandler = false;
};

} // namespace vr12comm
