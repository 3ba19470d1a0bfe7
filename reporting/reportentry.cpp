#include "reportentry.h"

#include "adovalue.h"

#include <QStringList>

ReportForm reportFormFromSetting(const QString& setting) {
    return setting.trimmed().compare(QLatin1String("call"), Qt::CaseInsensitive) == 0
               ? ReportForm::Call
               : ReportForm::Exec;
}

QString reportFormSetting(ReportForm form) {
    return form == ReportForm::Call ? QStringLiteral("call") : QStringLiteral("exec");
}

namespace {
// "hh:mm:" from the time, then "00": the minute of the registration.
QString minuteOf(const ReportEntry& e) {
    return e.dateReg + QLatin1Char(' ') + e.timeReg.left(6) + QLatin1String("00");
}
} // namespace

std::vector<CADOParameter> reportCallParameters(const ReportEntry& e) {
    return {CADOParameter::fromText(e.mediaId.mid(6, 8)),
            CADOParameter::fromText(e.dateReg),
            CADOParameter::fromText(minuteOf(e)),
            CADOParameter::fromText(QStringLiteral("999")),
            CADOParameter::fromInteger(e.controllerId),
            CADOParameter::fromInteger(e.controllerCode)};
}

QString reportExecText(const ReportEntry& e) {
    return QStringLiteral("exec spOndixReg %1, %2, %3,%4, %5, %6")
        .arg(adoSqlLiteral(e.mediaId.mid(6, 8)), adoSqlLiteral(e.dateReg),
             adoSqlLiteral(minuteOf(e)), adoSqlLiteral(QStringLiteral("999")),
             QString::number(e.controllerId), QString::number(e.controllerCode));
}

QString reportCommandShown(const ReportEntry& e) {
    if (e.form == ReportForm::Exec)
        return reportExecText(e);
    QStringList values;
    for (const CADOParameter& p : reportCallParameters(e))
        values << (p.type == CADOParameter::Integer ? QString::number(p.integer)
                                                    : adoSqlLiteral(p.text));
    return QLatin1String(kReportCallText) + QLatin1Char(' ') + values.join(QStringLiteral(", "));
}
