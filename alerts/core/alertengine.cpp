#include "alertengine.h"

#include "appsettings.h"
#include "resourceids.h"
#include "textformat.h"

#include <algorithm>
#include <utility>

using namespace res;

namespace {
// A count beyond this would keep a long list of times per controller for no use.
constexpr int kMostUnknown = 10000;
// Beyond a week a burst is no longer a burst; also keeps the timer's milliseconds in range.
constexpr int kMostMinutes = 7 * 24 * 60;
// A timer that woke before the clock moved on waits at least this long again.
constexpr int kShortestWaitMs = 1000;
} // namespace

CAlertEngine::Rules CAlertEngine::Rules::from(const CAppSettings& settings) {
    return {settings.UnknownAlertCount, settings.UnknownAlertMinutes};
}

CAlertEngine::CAlertEngine(Clock clock, QObject* parent)
    : QObject(parent),
      m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CAlertEngine::checkTime);
}

void CAlertEngine::setRules(Rules rules) {
    rules.unknownCount = std::clamp(rules.unknownCount, 1, kMostUnknown);
    rules.unknownMinutes = std::clamp(rules.unknownMinutes, 1, kMostMinutes);
    m_rules = rules;
}

void CAlertEngine::raise(AlertKind kind, int comPort, const QString& text, const QString& reason) {
    Alert alert;
    alert.time = m_clock();
    alert.kind = kind;
    alert.comPort = comPort;
    alert.controllerId = comPort > 0 && m_ids ? m_ids(comPort) : 0;
    alert.text = text;
    alert.reason = reason;
    const auto key = [](AlertKind start, int port) { return std::make_pair(start, port); };
    switch (kind) {
    case AlertKind::ControllerBack:
        m_lasting.erase(key(AlertKind::ControllerLost, comPort));
        break;
    case AlertKind::RegistrationsWritten:
        m_lasting.erase(key(AlertKind::RegistrationsNotWritten, comPort));
        break;
    case AlertKind::ReportingAnswers:
        m_lasting.erase(key(AlertKind::ReportingSilent, comPort));
        break;
    case AlertKind::UnknownMediaEnded:
        m_lasting.erase(key(AlertKind::UnknownMedia, comPort));
        break;
    case AlertKind::ReportQueueTakes:
        m_lasting.erase(key(AlertKind::ReportQueueFull, comPort));
        break;
    default:
        m_lasting[key(kind, comPort)] = alert;
    }
    m_last = alert;
    emit raised(alert);
}

void CAlertEngine::controllerLost(int comPort, const QString& reason) {
    if (m_lost.insert(comPort).second)
        raise(AlertKind::ControllerLost, comPort, FormatString(IDS_ALERT_CONTROLLER_LOST, comPort),
              reason);
}

void CAlertEngine::controllerBack(int comPort) {
    if (m_lost.erase(comPort))
        raise(AlertKind::ControllerBack, comPort, FormatString(IDS_ALERT_CONTROLLER_BACK, comPort));
}

void CAlertEngine::registrationsNotWritten(int comPort, const QString& reason) {
    if (m_notWritten.insert(comPort).second)
        raise(AlertKind::RegistrationsNotWritten, comPort,
              FormatString(IDS_REGS_NOT_WRITTEN, comPort), reason);
}

void CAlertEngine::registrationsWritten(int comPort) {
    if (m_notWritten.erase(comPort))
        raise(AlertKind::RegistrationsWritten, comPort,
              FormatString(IDS_ALERT_REGS_WRITTEN, comPort));
}

void CAlertEngine::reportingSilent(qint64 waiting, const QString& problem) {
    if (std::exchange(m_reportingSilent, true))
        return;
    raise(AlertKind::ReportingSilent, 0, FormatString(IDS_ALERT_REPORTING_SILENT, waiting),
          problem);
}

void CAlertEngine::reportingWaiting(qint64 waiting) {
    const auto lasting = m_lasting.find(std::make_pair(AlertKind::ReportingSilent, 0));
    if (!m_reportingSilent || lasting == m_lasting.end())
        return;
    const QString text = FormatString(IDS_ALERT_REPORTING_SILENT, waiting);
    if (lasting->second.text == text)
        return;
    lasting->second.text = text;
    if (m_last && m_last->kind == AlertKind::ReportingSilent)
        m_last->text = text;
    emit lastingChanged();
}

void CAlertEngine::reportingAnswers() {
    if (std::exchange(m_reportingSilent, false))
        raise(AlertKind::ReportingAnswers, 0, S(IDS_ALERT_REPORTING_BACK));
}

void CAlertEngine::reportQueueFull(qint64 waiting) {
    if (std::exchange(m_queueFull, true))
        return;
    raise(AlertKind::ReportQueueFull, 0, FormatString(IDS_ALERT_QUEUE_FULL, waiting),
          FormatString(IDS_REPORT_QUEUE_FULL, waiting));
}

void CAlertEngine::reportQueueTakes() {
    if (std::exchange(m_queueFull, false))
        raise(AlertKind::ReportQueueTakes, 0, S(IDS_ALERT_QUEUE_TAKES));
}

void CAlertEngine::registrationArrived(int comPort, bool unknownMedium) {
    // A burst that has gone quiet ends before a new one can start.
    checkTime();
    if (!unknownMedium)
        return;
    const QDateTime now = m_clock();
    Burst& burst = m_bursts[comPort];
    burst.last = now;
    burst.unknowns.push_back(now);
    while (int(burst.unknowns.size()) > m_rules.unknownCount)
        burst.unknowns.pop_front();
    // Times outside the window, or ahead of a clock that was set back, do not count.
    const QDateTime from = now.addMSecs(-windowMs());
    while (!burst.unknowns.empty() &&
           (burst.unknowns.front() <= from || burst.unknowns.front() > now))
        burst.unknowns.pop_front();
    if (!burst.told && int(burst.unknowns.size()) >= m_rules.unknownCount) {
        burst.told = true;
        raise(AlertKind::UnknownMedia, comPort,
              FormatString(IDS_ALERT_UNKNOWN_MEDIA, comPort, m_rules.unknownCount,
                           m_rules.unknownMinutes));
    }
    armTimer();
}

void CAlertEngine::controllerGone(int comPort) {
    m_lost.erase(comPort);
    m_notWritten.erase(comPort);
    m_bursts.erase(comPort);
    if (std::erase_if(m_lasting,
                      [comPort](const auto& entry) { return entry.first.second == comPort; }))
        emit lastingChanged();
}

void CAlertEngine::checkTime() {
    const QDateTime now = m_clock();
    for (auto it = m_bursts.begin(); it != m_bursts.end();) {
        Burst& burst = it->second;
        // A clock set back starts the quiet time again rather than stretching it.
        if (burst.last > now)
            burst.last = now;
        const bool quiet = burst.last.msecsTo(now) >= windowMs();
        if (!quiet) {
            ++it;
            continue;
        }
        const int comPort = it->first;
        const bool told = burst.told;
        it = m_bursts.erase(it);
        if (told)
            raise(AlertKind::UnknownMediaEnded, comPort,
                  FormatString(IDS_ALERT_UNKNOWN_MEDIA_END, comPort, m_rules.unknownMinutes));
    }
    armTimer();
}

void CAlertEngine::armTimer() {
    qint64 soonest = -1;
    const QDateTime now = m_clock();
    for (const auto& [port, burst] : m_bursts) {
        const qint64 left = std::max<qint64>(0, windowMs() - burst.last.msecsTo(now));
        if (soonest < 0 || left < soonest)
            soonest = left;
    }
    if (soonest < 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<qint64>(soonest, kShortestWaitMs)));
}

QString CAlertEngine::statusLine() const {
    if (!m_last)
        return QString();
    const Alert* worst = nullptr;
    for (const auto& [key, alert] : m_lasting)
        if (!worst || alert.severity() > worst->severity() ||
            (alert.severity() == worst->severity() && alert.time >= worst->time))
            worst = &alert;
    // A start whose controller has left the workspace no longer stands.
    const bool lastStands =
        m_last->isEnd() || m_lasting.count(std::make_pair(m_last->kind, m_last->comPort)) > 0;
    if (worst && (!lastStands || worst->severity() > m_last->severity()))
        return worst->text;
    return lastStands ? m_last->text : QString();
}

int CAlertEngine::lasting() const {
    return int(m_lasting.size());
}
