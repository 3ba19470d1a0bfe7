#include "reportcommand.h"

#include "reportentry.h"

QString reportCommandText(const QString& mediaId, const QString& dateReg, const QString& timeReg,
                          int controllerId, int controllerCode) {
    return reportExecText(
        {ReportForm::Exec, mediaId, dateReg, timeReg, controllerId, controllerCode});
}
