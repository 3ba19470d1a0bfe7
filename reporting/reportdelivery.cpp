#include "reportdelivery.h"

#include "adodatabase.h"
#include "adorecordset.h"

#include <QStringList>

#include <algorithm>

namespace {
bool namesNoAnswer(const QString& sqlState) {
    // 08: connection exceptions; HYT00/HYT01 (and ODBC 2's S1T00): time-outs; 40001/40P01: a
    // transaction the server gave up for another's sake. A command the driver's time-out
    // cancelled on the server, behind a lock another session holds, comes back as the
    // server's own cancel instead: 57014 and 55P03 (PostgreSQL), 70100 (MariaDB). The same
    // command goes through once the lock is gone.
    static const QStringList kStates = {QStringLiteral("S1T00"), QStringLiteral("40001"),
                                        QStringLiteral("40P01"), QStringLiteral("57014"),
                                        QStringLiteral("55P03"), QStringLiteral("70100")};
    return sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("HYT")) ||
           kStates.contains(sqlState);
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
