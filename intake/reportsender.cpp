#include "reportsender.h"

#include "adodatabase.h"
#include "adorecordset.h"

ReportResult sendReportCommand(CADODataBase* database, const QString& command) {
    ReportResult result;
    if (database)
        database->SetCommandTimeout(kReportCommandTimeoutSeconds);
    CADORecordset rs(database);
    result.sent = rs.Open(command, CADORecordset::openUnknown);
    result.command = rs.GetQuery();
    if (!result.sent)
        result.errorText = rs.GetLastErrorString();
    rs.Close();
    return result;
}
