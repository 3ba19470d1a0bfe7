#include "reportdelivery.h"

#include "adodatabase.h"
#include "adorecordset.h"

#include <algorithm>

namespace {
bool namesNoAnswer(const QString& sqlState) {
    // 08: connection exceptions; HYT00/HYT01 (and ODBC 2's S1T00): time-outs; 40001/40P01: a
    // transaction the server gave up for another's sake.
    return sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("HYT")) ||
           sqlState == QLatin1String("S1T00") || sqlState == QLatin1String("40001") ||
           sqlState == QLatin1String("40P01");
}

bool answers(CADODataBase* database) {
    CADORecordset probe(database);
    return probe.Open(QStringLiteral("SELECT 1"));
}
} // namespace

Delivery deliverReport(CADODataBase* database, const ReportEntry& entry) {
    Delivery d;
    d.command = reportCommandShown(entry);
    if (!database || !database->IsOpen()) {
        d.error = QStringLiteral("The database connection is not open.");
        return d;
    }
    CADORecordset rs(database);
    const bool ran =
        entry.form == ReportForm::Call
            ? rs.OpenWithParameters(QLatin1String(kReportCallText), reportCallParameters(entry))
            : rs.Open(reportExecText(entry), CADORecordset::openUnknown);
    if (ran) {
        d.outcome = DeliveryOutcome::Accepted;
        return d;
    }
    d.error = rs.GetLastErrorString();
    const QString state = rs.GetLastSqlState();
    d.outcome = !namesNoAnswer(state) && !state.isEmpty() && answers(database)
                    ? DeliveryOutcome::Refused
                    : DeliveryOutcome::NoAnswer;
    return d;
}

int reportRetryPauseMs(int failures) {
    constexpr int kFirstMs = 1000, kLastMs = 60000;
    if (failures <= 1)
        return kFirstMs;
    const int doublings = std::min(failures - 1, 6); // 2^6 s already passes the limit
    return std::min(kFirstMs << doublings, kLastMs);
}
