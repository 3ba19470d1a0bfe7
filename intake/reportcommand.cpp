#include "reportcommand.h"

namespace {
QString quoted(QString text) {
    return text.replace(QLatin1Char('\''), QLatin1String("''"));
}
} // namespace

QString reportCommandText(const QString& mediaId, const QString& dateReg, const QString& timeReg,
                          int controllerId, int controllerCode) {
    // "hh:mm:" from the time, then "00": the minute of the registration.
    const QString minute = dateReg + QLatin1Char(' ') + timeReg.left(6) + QLatin1String("00");
    return QStringLiteral("exec spOndixReg '%1', '%2', '%3','%4', %5, %6")
        .arg(quoted(mediaId.mid(6, 8)), quoted(dateReg), quoted(minute), QStringLiteral("999"),
             QString::number(controllerId), QString::number(controllerCode));
}
