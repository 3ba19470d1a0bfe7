#pragma once

#include "alertengine.h"
#include "linkchecker.h"
#include "monthwatcher.h"
#include "reconnectplan.h"
#include "registrationplan.h"
#include "tarvexdoc.h"

#include <QObject>
#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

class CAlertCommand;
class CAppSettings;
class ReportQueue;
class CVr12Comm;
class CVr12CommFactory;
class QWidget;

// The registration intake of every controller of a workspace, without a window: one control
// per controller writing the monthly file, one tab-separated line per registration on `out`
// (the registrations list's five columns) and the reporting command, through the report queue,
// when the settings ask for it. Problems go to `err` as lines, among them every registration
// that does not reach the registrations file (and when they reach it again), a port lost and
// back (it is tried again by itself) and each command the database refused; the intake goes on.
// Every alert of the alert rules is a line on `err` too, and runs the alert command when one is
// set.
class CCollector : public QObject {
    Q_OBJECT
public:
    explicit CCollector(std::FILE* out, std::FILE* err, CMonthWatcher::Clock clock = {},
                        QObject* parent = nullptr);
    ~CCollector() override;
    CCollector(const CCollector&) = delete;
    CCollector& operator=(const CCollector&) = delete;

    // Starts the report queue in `dataFolder` when UseMRDB is on. Its worker opens the reporting
    // database; one that does not answer is reported once and the registrations wait in the
    // queue.
    void OpenReportingDatabase(const CAppSettings& settings, const QString& dataFolder);
    bool ReportsToDatabase() const { return m_queue != nullptr; }
    // How long the end of a run waits for the queue to empty.
    static constexpr int kReportGraceMs = 3000;
    // How long the end of a run waits for alert commands still running.
    static constexpr int kAlertGraceMs = 3000;

    // The burst of unknown media that raises an alert (UnknownAlertCount, UnknownAlertMinutes).
    void SetAlertRules(const CAppSettings& settings);
    // Runs `command` for every alert (see CAlertCommand); false when it names no program.
    bool SetAlertCommand(const QString& command);
    CAlertEngine& Alerts() { return m_alerts; }
    // Asks each open controller for its status after LinkCheckMinutes of silence; one that does
    // not answer, and its return, are lines on `err` and alerts.
    CLinkChecker& LinkCheck() { return m_linkCheck; }

    // Makes a control for every controller, names its registrations file in `regFilePath` and
    // opens its port. Returns how many ports opened; -1 when the control module cannot be
    // loaded (reported once).
    int Open(const CTarvexDoc& doc, CVr12CommFactory& factory, const QString& regFilePath);
    // Stops every control: its receiver ends and its port and file close. Registrations that
    // arrive meanwhile are still handled. Then the report queue gets kReportGraceMs to empty;
    // what still waits is said and sent after the next start. Alert commands still running get
    // kAlertGraceMs, then are killed.
    void Close();

    // Prints at most `count` lines (0: no limit), then limitReached(); the database still gets
    // later registrations.
    void SetLimit(int count) { m_limit = count; }
    int Printed() const { return m_printed; }
    QString RegistrationsFile() const;

signals:
    void limitReached();

private:
    struct Controller {
        int comPort = 0;
        int id = 0;
        int code = 0;
        std::unique_ptr<CVr12Comm> comm;
        // Registrations were told lost and none has reached the file since.
        bool fileFailing = false;
        // The line hung up (or never opened) and was told.
        bool portLost = false;
        // Tries the port again while it is down.
        std::unique_ptr<CReconnectPlan> reconnect;
    };

    void OnRegistration(const Controller& controller);
    // ErrMessage: a lost registration (or a file that did not open) or a line that hung up.
    void OnControlError(Controller& controller);
    // A try of its reconnect plan opened the port again.
    void OnControllerBack(Controller& controller);
    // After each registration's line and each new file: a file that takes lines again is told.
    void ReportFileRecovered(Controller& controller);
    void WatchLink(const Controller& controller);
    void Print(const QStringList& row);
    void Report(const QString& text);
    void TellAlert(const Alert& alert);
    int ControllerId(int comPort) const;
    void MoveToMonth();

    std::FILE* m_out;
    std::FILE* m_err;
    CMonthWatcher m_month;
    IntakeSwitches m_switches;
    std::unique_ptr<ReportQueue> m_queue;
    bool m_everAnswered = false; // both on the report queue's thread
    bool m_toldNoAnswer = false;
    std::unique_ptr<QWidget> m_host; // parent of the controls' windows, never shown
    std::vector<std::unique_ptr<Controller>> m_controllers;
    CTarvexDoc::EmployeeMap m_employees; // whose media are known
    CAlertEngine m_alerts;
    CLinkChecker m_linkCheck;
    std::unique_ptr<CAlertCommand> m_alertCommand;
    QString m_regFilePath;
    int m_limit = 0;
    int m_printed = 0;
};
