// The receiver thread: cuts incoming bytes into messages by 340 ms of silence
// and hands each one synchronously to the thread that owns the control.
#include "vr12link.h"

#include "messagedecoder.h"

#include <QDateTime>

#include <poll.h>
#include <unistd.h>

#include <cstdint>

using namespace std::chrono_literals;

namespace vr12comm {

namespace {
// Only a safety net: a stop and a held message wake the receiver at once.
constexpr auto kIdleWait = 5s;
} // namespace

void Vr12Link::wakeReceiver() {
    if (m_wakeFd < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

bool Vr12Link::waitForLine(std::chrono::milliseconds limit) {
    if (m_heldPending.load())
        return false;
    pollfd fds[2] = {{m_port.handle(), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int r = ::poll(fds, m_wakeFd >= 0 ? 2 : 1, int(limit.count()));
    if (r <= 0)
        return false;
    if (fds[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
    }
    return fds[0].revents != 0;
}

QByteArray Vr12Link::collectMessage() {
    // A message a command took off the line after its reply comes first.
    QByteArray buf = m_heldForReceiver.left(kMessageLimit);
    m_heldForReceiver.remove(0, buf.size());
    if (!m_heldForReceiver.isEmpty())
        return buf;
    m_heldPending = false;
    while (buf.size() < kMessageLimit) {
        const QByteArray first = m_port.read(1);
        if (first.isEmpty())
            break;
        buf += first;
        // Bytes that queued up meanwhile are taken at once; one read per byte
        // would fall behind a 2400 baud line and delay every message.
        buf += m_port.readQueued(kMessageLimit - int(buf.size()));
        if (buf.size() >= kMessageLimit)
            break;
        std::this_thread::sleep_for(10ms);
    }
    return buf;
}

void Vr12Link::receiverLoop() {
    if (m_port.isOpen() && m_run) {
        for (;;) {
            // An idle line is waited on without the lock: a command takes the line at once,
            // and a silent controller costs a wake-up now and then instead of a round of the
            // lock three times a second.
            const bool input = waitForLine(kIdleWait);
            if (!m_run)
                break;
            if (!input && !m_heldPending.load())
                continue;
            // Waiting in slices keeps a stop request from being missed while
            // Destroy holds the lock and waits for this thread.
            if (!m_lock.acquire([this] { return m_run.load(); }, 20ms))
                break;
            if (!m_run) {
                m_lock.release();
                break;
            }
            // A command may have taken what woke the receiver off the line meanwhile.
            if (m_heldForReceiver.isEmpty() && !waitForLine(0ms)) {
                m_lock.release();
                continue;
            }
            QByteArray message = collectMessage();
            const qsizetype nul = message.indexOf('\0');
            if (nul >= 0)
                message.truncate(nul);
            if (!message.isEmpty())
                m_handOver.deliver(message);
            // A command may have met the hang-up first; either way it is told once.
            if (m_port.isLost() && !m_lossTold) {
                m_lossTold = true;
                QMetaObject::invokeMethod(
                    this, [this] { portLost(); }, Qt::QueuedConnection);
            }
            m_lock.release();
            // Nothing more comes over a line that hung up; stopping here lets Destroy and the
            // next Init follow at once.
            if (m_lossTold)
                break;
            std::this_thread::sleep_for(1ms);
            if (!m_run)
                break;
        }
    }
    m_threadDone = true;
}

void Vr12Link::portLost() {
    // The handle stays open: Destroy closes it, and commands on it fail as on
    // a silent line.
    if (!m_port.isOpen() || !m_port.isLost())
        return;
    m_lastError = QStringLiteral("%1: the line hung up (controller unplugged or switched off)")
                      .arg(m_portName);
    if (m_linkState == BothOpen)
        setLinkState(LogOnly);
    else if (m_linkState == PortOnly)
        setLinkState(NothingOpen);
    emit errMessage();
}

void Vr12Link::handleMessage(const QByteArray& message) {
    const Registration r =
        decodeMessage(message, QDateTime::currentDateTime(), m_portName.toLatin1());
    m_lastReg = r.lastReg;
    m_action = r.action;
    m_iButtonId = r.iButtonId;
    m_dateReg = r.dateReg;
    m_timeReg = r.timeReg;
    emit rxMessage();
    writeLogLine(r.logLine);
}

} // namespace vr12comm
