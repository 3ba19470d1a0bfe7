#include "vr12link.h"

#include "devicepath.h"

#include <QThread>

#include <sys/eventfd.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace vr12comm {

Vr12Link::Vr12Link(QObject* parent)
    : QObject(parent), m_handOver(this, [this](const QByteArray& m) { handleMessage(m); }),
      m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Vr12Link::~Vr12Link() {
    // A container that forgets Destroy must not leave a thread running on a
    // dead object. Nothing is handed over any more: the owner is going away.
    m_run = false;
    wakeReceiver();
    while (m_thread.joinable() && !m_threadDone.load()) {
        m_handOver.cancel();
        std::this_thread::sleep_for(2ms);
    }
    if (m_thread.joinable())
        m_thread.join();
    m_port.close();
    m_log.close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool Vr12Link::lockForCommand() {
    // A command from inside the RxMessage handler would wait for a receiver that
    // waits for that very handler: refuse it as a lock failure instead.
    // The owner's thread is asked first: another thread must not read the handler's flag.
    if (m_handOver.isOwnerThread() && m_handOver.inHandler() && !m_lock.isHeldByCurrentThread())
        return false;
    const bool owner = m_handOver.isOwnerThread();
    return m_lock.acquire(
        [this, owner] {
            if (owner)
                m_handOver.service();
            return true;
        },
        5ms);
}

void Vr12Link::setLinkState(int state) {
    if (m_linkState == state)
        return;
    m_linkState = state;
    emit linkStateChanged(state);
}

bool Vr12Link::openLog() {
    if (m_log.open(m_asciiFileName)) {
        m_logError.clear();
        return true;
    }
    m_logError = QStringLiteral("cannot open the log file %1").arg(m_log.lastError());
    return false;
}

void Vr12Link::writeLogLine(const QByteArray& line) {
    // A file that did not open (a folder that became read-only or full at a month change) is
    // tried again with every registration, so the log resumes once the folder takes files.
    if (m_log.isOpen() || openLog()) {
        if (m_log.append(line)) {
            m_logError.clear();
            showLogState();
            return;
        }
        m_logError = QStringLiteral("cannot write to the log file %1: %2")
                         .arg(m_asciiFileName, m_log.lastError());
    }
    showLogState();
    // Every line that is lost is told: nothing else would ever show it.
    emit errMessage();
}

void Vr12Link::showLogState() {
    const bool logOk = m_log.isOpen() && m_logError.isEmpty();
    if (m_linkState == BothOpen && !logOk)
        setLinkState(PortOnly);
    else if (m_linkState == PortOnly && logOk)
        setLinkState(BothOpen);
}

short Vr12Link::openPort(short portIndex) {
    const int number = int(portIndex) + 1;
    m_portName = QStringLiteral("COM%1").arg(number);
    const QString path = devicePathForPort(number);
    const short r = m_port.open(path);
    if (r != SerialPort::Opened) {
        m_lastError = QStringLiteral("%1 (%2): %3").arg(m_portName, path, m_port.lastError());
        setLinkState(LogOnly);
        return r;
    }
    setLinkState(BothOpen);
    emit stateModified();
    return SerialPort::Opened;
}

bool Vr12Link::closePort() {
    if (!m_port.close())
        return false;
    if (m_linkState == BothOpen)
        setLinkState(LogOnly);
    else if (m_linkState == PortOnly)
        setLinkState(NothingOpen);
    return true;
}

bool Vr12Link::init(short portIndex) {
    // A second receiver on the same port would read against the first one.
    if (m_thread.joinable() && !m_threadDone.load()) {
        m_lastError = QStringLiteral("%1 is already running").arg(m_portName);
        return false;
    }
    if (m_thread.joinable())
        m_thread.join();
    m_lastError.clear();
    m_run = true;
    if (!m_log.isOpen() && !openLog()) {
        m_lastError = m_logError;
        setLinkState(NothingOpen);
        emit errMessage();
        return false;
    }
    if (openPort(portIndex) != SerialPort::Opened)
        return false;
    // A file that is open but refused the last line is no file that takes registrations.
    showLogState();
    m_lock.reset();
    m_listing = false;
    m_heldForReceiver.clear();
    m_heldPending = false;
    m_lossTold = false;
    m_threadDone = false;
    m_thread = std::thread([this] { receiverLoop(); });
    return true;
}

bool Vr12Link::destroy() {
    if (!lockForCommand())
        return false;
    m_run = false;
    wakeReceiver();
    if (m_thread.joinable())
        m_thread.join();
    closePort();
    m_log.close();
    unlock();
    return true;
}

void Vr12Link::setAsciiFileName(const QString& name) {
    m_asciiFileName = name;
    m_log.close();
    const bool opened = openLog();
    showLogState();
    if (!opened)
        emit errMessage();
    emit stateModified();
}

} // namespace vr12comm
