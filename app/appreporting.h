#pragma once

#include "reportentry.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CAppSettings;
class IAlertInput;
class QTimer;
class ReportQueue;

// The desktop program's report queue: the registration handler puts each report into it on the
// user-interface thread, which never waits on the database, and its worker sends them on a
// connection of its own. It starts once the settings ask for reporting and follows a changed
// connection or limit without a restart; switched off, it still sends what it had taken. What
// the user must know (a refused report, a queue that cannot take one) goes through `notify`,
// never a modal box that would hold up the intake; a database that does not answer, with the
// waiting count, and a full queue are the alert rules' conditions.
class CAppReporting : public QObject {
    Q_OBJECT
public:
    using Notify = std::function<void(const QString& text)>;
    // How long a normal end waits for the queue to empty; what remains goes at the next start.
    static constexpr int kGraceMs = 3000;

    explicit CAppReporting(Notify notify, QObject* parent = nullptr);
    ~CAppReporting() override;
    CAppReporting(const CAppReporting&) = delete;
    CAppReporting& operator=(const CAppReporting&) = delete;

    // Before the first Follow: where the queue's files live (default: the user's data folder).
    void setFolder(const QString& folder) { m_folder = folder; }
    // From now on the alert rules hear of the database's silence and a full queue, the state
    // at this moment included.
    void setAlerts(IAlertInput* alerts);

    // Takes up UseMRDB, MRDB and ReportQueueMax.
    void Follow(const CAppSettings& settings);
    // Appends the report to the queue on disk before it returns; false when it was not taken.
    bool Enqueue(const ReportEntry& report);
    // Gives the queue up to graceMs to empty, then stops it. True when nothing waits.
    bool Finish(int graceMs = kGraceMs);

    bool running() const { return m_queue != nullptr; }
    int waiting() const;
    bool answering() const { return m_answering; }

signals:
    // On the user-interface thread, each time the number of reports the database has not
    // accepted yet changes.
    void waitingChanged(int waiting);
    // The database stopped answering (problem: why) or answers again.
    void answeringChanged(bool answering, const QString& problem);
    // Each text the user was given.
    void told(const QString& text);

private:
    void tell(const QString& text);
    void checkWaiting();

    Notify m_notify;
    IAlertInput* m_alerts = nullptr;
    QString m_folder;
    std::unique_ptr<ReportQueue> m_queue;
    QTimer* m_watch = nullptr;
    int m_lastWaiting = 0;
    bool m_answering = true;
    QString m_problem;
    bool m_toldNotQueued = false;
    bool m_toldFull = false;
};
