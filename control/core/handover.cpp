#include "handover.h"

#include <QThread>

namespace vr12comm {

HandOver::HandOver(QObject* context, Handler handler)
    : m_context(context), m_handler(std::move(handler)) {}

bool HandOver::isOwnerThread() const {
    return m_context && QThread::currentThread() == m_context->thread();
}

void HandOver::deliver(const QByteArray& message) {
    quint64 ticket;
    {
        std::lock_guard g(m_mutex);
        m_message = message;
        m_pending = true;
        ticket = ++m_posted;
    }
    if (QObject* ctx = m_context.data())
        QMetaObject::invokeMethod(
            ctx, [this] { service(); }, Qt::QueuedConnection);
    std::unique_lock g(m_mutex);
    m_cv.wait(g, [&] { return m_finished >= ticket; });
}

bool HandOver::service() {
    QByteArray message;
    quint64 ticket;
    {
        std::lock_guard g(m_mutex);
        if (!m_pending)
            return false;
        m_pending = false;
        message = m_message;
        ticket = m_posted;
    }
    m_inHandler = true;
    if (m_handler)
        m_handler(message);
    m_inHandler = false;
    {
        std::lock_guard g(m_mutex);
        m_finished = ticket;
    }
    m_cv.notify_all();
    return true;
}

void HandOver::cancel() {
    {
        std::lock_guard g(m_mutex);
        m_pending = false;
        m_finished = m_posted;
    }
    m_cv.notify_all();
}

} // namespace vr12comm
