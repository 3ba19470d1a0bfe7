#pragma once

#include "adoparameter.h"

#include <QString>

#include <vector>

// How the reporting command reaches the database: the procedure call as text, which only
// SQL Server reads, or the ODBC call escape with its values bound, which every engine's driver
// turns into its own call.
enum class ReportForm { Exec, Call };

// The MRDBCall setting: "call" (in any case) is the bound call, anything else the text.
ReportForm reportFormFromSetting(const QString& setting);
QString reportFormSetting(ReportForm form);

// One registration's report, decided when the registration is handled: the registration's
// own texts as the control decoded them and the controller's numbers.
struct ReportEntry {
    ReportForm form = ReportForm::Exec;
    QString mediaId; // all 16 characters
    QString dateReg;
    QString timeReg;
    int controllerId = 0;
    int controllerCode = 0;

    bool operator==(const ReportEntry&) const = default;
};

inline constexpr char kReportCallText[] = "{call spOndixReg(?, ?, ?, ?, ?, ?)}";

// The procedure's six values: the medium's 8 identifying characters (positions 6 to 13), the
// date, the date and time with the seconds set to zero, "999", the controller's ID and code.
std::vector<CADOParameter> reportCallParameters(const ReportEntry& entry);

// "exec spOndixReg '...', ..." with the same values as literals, each quote doubled.
QString reportExecText(const ReportEntry& entry);

// The command as a person reads it: the exec text, or the call escape followed by its values.
QString reportCommandShown(const ReportEntry& entry);
