#include "registrationplan.h"

#include "appsettings.h"
#include "reportcommand.h"

IntakeSwitches IntakeSwitches::from(const CAppSettings& settings) {
    return {settings.UseMRDB, settings.UsePhoto, settings.ShowPhoto,
            reportFormFromSetting(settings.MRDBCall)};
}

bool isPersonRegistration(const QString& action, const QString& mediaId) {
    return mediaId.size() == 16 && (action.isEmpty() || action == QLatin1String("O"));
}

RegistrationPlan planRegistration(const Registration& r, int controllerId, int controllerCode,
                                  const IntakeSwitches& switches) {
    RegistrationPlan plan;
    plan.lastReg = r.lastReg;
    plan.listRow = {r.dateReg, r.timeReg, r.action, r.mediaId, QString::number(controllerId)};
    if (!isPersonRegistration(r.action, r.mediaId))
        return plan;
    if (switches.useReportingDatabase) {
        plan.reportCommand =
            reportCommandText(r.mediaId, r.dateReg, r.timeReg, controllerId, controllerCode);
        plan.report = ReportEntry{switches.reportForm, r.mediaId,    r.dateReg,
                                  r.timeReg,           controllerId, controllerCode};
    }
    if (switches.usePhoto && switches.showPhoto) {
        plan.showPhoto = true;
        plan.photoMediaId = r.mediaId;
        plan.photoCaption = r.timeReg;
    }
    return plan;
}
