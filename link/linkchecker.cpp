#include "linkchecker.h"

#include "resourceids.h"
#include "textformat.h"
#include "vr12comm.h"

#include <algorithm>

namespace {
bool portUp(const vr12comm::IVr12CommControl* control) {
    if (!control)
        return false;
    const int state = control->linkState();
    return state == vr12comm::LinkBothOpen || state == vr12comm::LinkPortOnly;
}
} // namespace

CLinkChecker::CLinkChecker(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    // A check a little late matters nothing; the program wakes up less often.
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CLinkChecker::checkNext);
}

CLinkChecker::~CLinkChecker() {
    joinWorker();
}

void CLinkChecker::setIntervalMinutes(int minutes) {
    setInterval(std::chrono::minutes(std::max(0, minutes)));
}

void CLinkChecker::setInterval(std::chrono::milliseconds interval) {
    m_schedule.setInterval(interval);
    schedule();
}

void CLinkChecker::add(int comPort, CVr12Comm& comm, Listener listener) {
    remove(comPort);
    Entry& entry = m_entries[comPort];
    entry.comm = &comm;
    entry.listener = std::move(listener);
    entry.generation = ++m_generations;
    m_schedule.add(comPort, Clock::now());
    schedule();
}

void CLinkChecker::remove(int comPort) {
    // The exchange uses the control: it must be over before the control may go.
    if (m_workerPort == comPort)
        joinWorker();
    m_entries.erase(comPort);
    m_schedule.remove(comPort);
    schedule();
}

void CLinkChecker::clear() {
    joinWorker();
    while (!m_entries.empty())
        remove(m_entries.begin()->first);
}

void CLinkChecker::heard(int comPort) {
    const auto it = m_entries.find(comPort);
    if (it == m_entries.end())
        return;
    const bool wasLost = m_schedule.heard(comPort, Clock::now());
    tellHeard(comPort, it->second);
    if (wasLost && it->second.listener.back) {
        const auto back = it->second.listener.back;
        back();
    }
}

void CLinkChecker::tellHeard(int comPort, Entry& entry) {
    entry.lastHeard = QDateTime::currentDateTime();
    emit heardAt(comPort, entry.lastHeard);
}

QDateTime CLinkChecker::lastHeard(int comPort) const {
    const auto it = m_entries.find(comPort);
    return it == m_entries.end() ? QDateTime() : it->second.lastHeard;
}

QString CLinkChecker::noAnswerText(const QDateTime& at) {
    return FormatString(res::IDS_LINK_CHECK_NO_ANSWER, at.toString(QStringLiteral("HH:mm")));
}

void CLinkChecker::schedule() {
    const Clock::time_point next = m_schedule.nextCheckAt();
    if (next == Clock::time_point::max()) {
        m_timer.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
    m_timer.start(std::max(wait, std::chrono::milliseconds(0)));
}

void CLinkChecker::checkNext() {
    const Clock::time_point began = Clock::now();
    const int port = m_schedule.due(began);
    const auto it = m_entries.find(port);
    if (port == 0 || it == m_entries.end()) {
        schedule();
        return;
    }
    vr12comm::IVr12CommControl* control = it->second.comm->Control();
    // A command or a listing holds the line: waiting for it would hold this thread. A port that
    // is down has its own error already.
    if (!portUp(control) || control->commandRunning()) {
        m_schedule.finished(port, CLinkCheckSchedule::Outcome::Skipped, began);
        schedule();
        noteHold(began);
        return;
    }
    joinWorker();
    m_schedule.started(port, began);
    m_workerPort = port;
    const quint64 generation = it->second.generation;
    m_worker = std::thread([this, control, port, generation] {
        const bool answered = control->getStatus() == vr12comm::GetStatusOk;
        QMetaObject::invokeMethod(
            this, [this, port, generation, answered] { checkDone(port, generation, answered); },
            Qt::QueuedConnection);
    });
    noteHold(began);
}

void CLinkChecker::checkDone(int comPort, quint64 generation, bool answered) {
    const Clock::time_point began = Clock::now();
    const auto it = m_entries.find(comPort);
    // Removed (and so joined) or replaced meanwhile: the result is of a control that is gone.
    if (m_workerPort != comPort || it == m_entries.end() || it->second.generation != generation) {
        schedule();
        return;
    }
    joinWorker();
    ++m_checksDone;
    Entry& entry = it->second;
    using Outcome = CLinkCheckSchedule::Outcome;
    if (!portUp(entry.comm->Control())) {
        // The line went down under the check: that is the port's error, not silence.
        m_schedule.finished(comPort, Outcome::Skipped, began);
    } else if (answered) {
        const bool wasLost = m_schedule.isLost(comPort);
        m_schedule.finished(comPort, Outcome::Answered, began);
        tellHeard(comPort, entry);
        if (wasLost && entry.listener.back) {
            const auto back = entry.listener.back;
            back();
        }
    } else if (m_schedule.finished(comPort, Outcome::NoAnswer, began) && entry.listener.lost) {
        const auto lost = entry.listener.lost;
        lost(noAnswerText(QDateTime::currentDateTime()));
    }
    noteHold(began);
    schedule();
}

void CLinkChecker::joinWorker() {
    if (m_worker.joinable())
        m_worker.join();
    m_workerPort = 0;
}

void CLinkChecker::noteHold(Clock::time_point began) {
    m_longestHold = std::max(m_longestHold, std::chrono::nanoseconds(Clock::now() - began));
}
