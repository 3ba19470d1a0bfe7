#pragma once

#include "reportentry.h"

#include <QString>
#include <QStringList>

#include <optional>

class CAppSettings;

// One registration as the controller's control reports it.
struct Registration {
    QString lastReg; // the raw message
    QString action;
    QString mediaId; // IButtonID
    QString dateReg;
    QString timeReg;
};

// The registration a control has just raised, read through its property getters (the only
// calls allowed while its receiver waits).
template <class Control> Registration readRegistration(Control& control) {
    Registration r;
    r.lastReg = control.GetLastReg();
    r.action = control.GetAction();
    r.mediaId = control.GetIButtonID();
    r.dateReg = control.GetDateReg();
    r.timeReg = control.GetTimeReg();
    return r;
}

// The settings that decide what a registration leads to beyond its list row.
struct IntakeSwitches {
    bool useReportingDatabase = false; // UseMRDB
    bool usePhoto = false;
    bool showPhoto = false;
    ReportForm reportForm = ReportForm::Exec; // MRDBCall

    static IntakeSwitches from(const CAppSettings& settings);
};

// What the registration handler does with one registration, in its order: the form's last
// registration, the list row, the reporting command (empty: none), the photo hand-over.
struct RegistrationPlan {
    QString lastReg;
    QStringList listRow; // DateReg, TimeReg, Action, IButtonID, controller ID
    QString reportCommand;
    std::optional<ReportEntry> report; // the same report, for the queue, in the chosen form
    bool showPhoto = false;
    QString photoMediaId;
    QString photoCaption; // the registration's time
};

// A person's registration: a 16-character medium with no action or exactly "O". Status
// messages and other actions only get their list row.
bool isPersonRegistration(const QString& action, const QString& mediaId);

RegistrationPlan planRegistration(const Registration& registration, int controllerId,
                                  int controllerCode, const IntakeSwitches& switches);
