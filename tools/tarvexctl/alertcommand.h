#pragma once

#include "alert.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QProcess;
class QTimer;

// collect's --alert-command: runs one program for each alert, without a shell, the alert in
// its environment (TARVEX_ALERT, TARVEX_ALERT_TEXT, TARVEX_ALERT_REASON, TARVEX_COM_PORT,
// TARVEX_CONTROLLER). A run that fails is reported; one that is still going after
// kTimeLimitMs is killed with all it started, and reported. Nothing here waits: the intake
// goes on while commands run. Its standard output is dropped (collect's own is the
// registrations), its errors go to collect's.
class CAlertCommand : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeLimitMs = 10000;
    // More alerts at once wait their turn; beyond kMostWaiting they are reported and dropped.
    static constexpr int kMostRunning = 4;
    static constexpr int kMostWaiting = 100;

    using Report = std::function<void(const QString& line)>;

    // `command`: the program and its arguments, split as a command line is (double quotes
    // group, nothing else is interpreted).
    CAlertCommand(const QString& command, Report report, QObject* parent = nullptr);
    ~CAlertCommand() override;

    // False when the command names no program.
    bool isValid() const { return !m_program.isEmpty(); }
    QString program() const { return m_program; }

    void run(const Alert& alert);
    // Gives the runs still going (and waiting) up to `graceMs` to end, then kills the rest.
    void finish(int graceMs);
    int running() const { return int(m_runs.size()); }

    // The environment of the command for one alert.
    static QProcessEnvironment environmentFor(const Alert& alert);

private:
    struct Run {
        QProcess* process = nullptr;
        QTimer* limit = nullptr;
        QString kind;
        bool killed = false;
    };

    void startNext();
    void ended(QProcess* process);
    void kill(Run& run);

    QString m_program;
    QStringList m_arguments;
    Report m_report;
    std::deque<Alert> m_waiting;
    std::vector<Run> m_runs;
};
