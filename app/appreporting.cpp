#include "appreporting.h"

#include "alertinput.h"
#include "appsettings.h"
#include "datafolder.h"
#include "reportqueue.h"
#include "reportsender.h"
#include "resourceids.h"
#include "textformat.h"

#include <QTimer>

using namespace res;

namespace {
// Often enough for an alert to follow the queue, rarely enough to cost nothing.
constexpr int kWatchEveryMs = 250;
} // namespace

CAppReporting::CAppReporting(Notify notify, QObject* parent)
    : QObject(parent), m_notify(std::move(notify)), m_watch(new QTimer(this)) {
    m_watch->setInterval(kWatchEveryMs);
    connect(m_watch, &QTimer::timeout, this, &CAppReporting::checkWaiting);
}

CAppReporting::~CAppReporting() {
    Finish(0);
}

void CAppReporting::tell(const QString& text) {
    if (m_notify)
        m_notify(text);
    emit told(text);
}

int CAppReporting::waiting() const {
    return m_queue ? m_queue->status().waiting : 0;
}

void CAppReporting::setAlerts(IAlertInput* alerts) {
    m_alerts = alerts;
    if (m_alerts && m_queue && !m_answering)
        m_alerts->reportingSilent(waiting(), m_problem);
}

void CAppReporting::checkWaiting() {
    const int now = waiting();
    if (now == 0)
        m_watch->stop();
    if (now != m_lastWaiting) {
        m_lastWaiting = now;
        if (m_alerts && !m_answering)
            m_alerts->reportingWaiting(now);
        emit waitingChanged(now);
    }
}

void CAppReporting::Follow(const CAppSettings& settings) {
    if (m_queue) {
        m_queue->reconfigure(settings.MRDB, settings.ReportQueueMax);
        return;
    }
    if (!settings.UseMRDB)
        return;
    ReportQueueOptions options;
    options.folder = m_folder.isEmpty() ? tarvexDataFolder() : m_folder;
    options.connection = settings.MRDB;
    options.maxEntries = settings.ReportQueueMax;
    options.commandTimeoutSeconds = kReportCommandTimeoutSeconds;
    auto queue = std::make_unique<ReportQueue>(options);
    // The worker's signals cross to this thread by value; after Finish joined the worker none
    // is left to come, and one still posted dies with this object.
    connect(
        queue.get(), &ReportQueue::refused, this,
        [this](const ReportEntry& e, const QString&, const QString& error) {
            QMetaObject::invokeMethod(
                this,
                [this, e, error] {
                    tell(FormatString(IDS_REPORT_REFUSED, e.mediaId, e.dateReg, e.timeReg,
                                      e.controllerId, error.trimmed()));
                },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    connect(
        queue.get(), &ReportQueue::answeringChanged, this,
        [this](bool answering, const QString& problem) {
            QMetaObject::invokeMethod(
                this,
                [this, answering, problem] {
                    m_problem = problem;
                    if (std::exchange(m_answering, answering) == answering)
                        return;
                    if (m_alerts && answering)
                        m_alerts->reportingAnswers();
                    else if (m_alerts)
                        m_alerts->reportingSilent(waiting(), problem);
                    emit answeringChanged(answering, problem);
                },
                Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    if (!queue->start()) {
        tell(FormatString(IDS_REPORT_NO_QUEUE, queue->error()));
        return;
    }
    m_queue = std::move(queue);
    m_answering = true;
    // What an earlier run left is sent now and counted from the start.
    checkWaiting();
    if (m_lastWaiting > 0)
        m_watch->start();
}

bool CAppReporting::Enqueue(const ReportEntry& report) {
    if (!m_queue)
        return false;
    if (m_queue->enqueue(report)) {
        m_toldNotQueued = m_toldFull = false;
        if (m_alerts)
            m_alerts->reportQueueTakes();
        if (!m_watch->isActive())
            m_watch->start();
        checkWaiting();
        return true;
    }
    // Each cause is told once until a report is taken again; a full queue is an alert, which
    // tells it itself.
    if (m_queue->status().full) {
        if (m_alerts)
            m_alerts->reportQueueFull(m_queue->status().waiting);
        else if (!std::exchange(m_toldFull, true))
            tell(FormatString(IDS_REPORT_QUEUE_FULL, m_queue->status().waiting));
    } else if (!std::exchange(m_toldNotQueued, true)) {
        tell(FormatString(IDS_REPORT_NOT_QUEUED,
                          m_folder.isEmpty() ? tarvexDataFolder() : m_folder));
    }
    return false;
}

bool CAppReporting::Finish(int graceMs) {
    if (!m_queue)
        return true;
    const bool emptied = m_queue->finish(graceMs);
    m_queue.reset();
    m_watch->stop();
    return emptied;
}
