#include "adoerror.h"

#include "odbctext.h"

#include <sql.h>
#include <sqlext.h>

#include <QRegularExpression>

QString adoCodeMeaning(quint32 code) {
    switch (code) {
    case 0:
        return QStringLiteral("The operation completed successfully.");
    case AdoCode::Unspecified:
        return QStringLiteral("Unspecified error");
    case AdoCode::OutOfMemory:
        return QStringLiteral("Not enough memory resources are available to complete this "
                              "operation.");
    case AdoCode::InvalidParameter:
        return QStringLiteral("The parameter is incorrect.");
    default:
        break;
    }
    const bool failure = (code & 0x80000000u) != 0;
    const quint32 facility = (code >> 16) & 0x1FFFu;
    const quint32 low = code & 0xFFFFu;
    if (failure && facility == 4 && low >= 0x200)
        return QStringLiteral("IDispatch error #%1").arg(low - 0x200);
    return QStringLiteral("Unknown error 0x") + QString::number(code, 16).toUpper();
}

QString adoErrorBlock(const char* header, const CADOError& error) {
    return QStringLiteral("%1\n\tCode = %2\n\tCode meaning = %3\n\tSource = %4\n\tDescription = "
                          "%5\n")
        .arg(QLatin1String(header), QStringLiteral("%1").arg(error.code, 8, 16, QLatin1Char('0')),
             adoCodeMeaning(error.code), error.source, error.description);
}

quint32 adoCodeForSqlState(const QString& state, bool connecting) {
    if (state == QLatin1String("HY001"))
        return AdoCode::OutOfMemory;
    if (state == QLatin1String("HYT00") || state == QLatin1String("HYT01") ||
        state == QLatin1String("S1T00"))
        return AdoCode::TimeoutExpired;
    if (connecting)
        return AdoCode::Unspecified;
    if (state == QLatin1String("42S02") || state == QLatin1String("S0002"))
        return AdoCode::NoSuchTable;
    if (state.startsWith(QLatin1String("23")))
        return AdoCode::IntegrityViolation;
    if (state.startsWith(QLatin1String("22")) || state == QLatin1String("07006"))
        return AdoCode::ConversionFailed;
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("IM")))
        return AdoCode::Unspecified;
    return AdoCode::CommandFailed;
}

namespace {
struct DiagRecord {
    QString state;
    qint32 native = 0;
    QString message;
};

QList<DiagRecord> readDiagnostics(short handleType, void* handle, int limit) {
    QList<DiagRecord> records;
    if (!handle)
        return records;
    for (SQLSMALLINT i = 1; i <= limit; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        std::vector<SQLWCHAR> message(1024, 0);
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, message.data(),
                                      SQLSMALLINT(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && std::size_t(length) >= message.size()) {
            message.assign(std::size_t(length) + 1, 0);
            rc = SQLGetDiagRecW(handleType, handle, i, state, &native, message.data(),
                                SQLSMALLINT(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        records.append({odbcFromWide(state, 5), native,
                        odbcFromWide(message.data(), qBound(qsizetype(0), qsizetype(length),
                                                            qsizetype(message.size())))
                            .trimmed()});
    }
    return records;
}
} // namespace

QString adoSqlState(short handleType, void* handle) {
    const QList<DiagRecord> records = readDiagnostics(handleType, handle, 1);
    return records.isEmpty() ? QString() : records.first().state;
}

CADOError adoDiagnostics(short handleType, void* handle, bool connecting,
                         const QString& fallbackSource) {
    CADOError error;
    const QList<DiagRecord> records = readDiagnostics(handleType, handle, 8);
    if (records.isEmpty()) {
        error.code = AdoCode::Unspecified;
        error.source = fallbackSource;
        error.description = QStringLiteral("The ODBC driver reported a failure without a "
                                           "diagnostic message.");
        return error;
    }
    error.code = adoCodeForSqlState(records.first().state, connecting);
    static const QRegularExpression prefix(QStringLiteral("^((\\[[^\\]]*\\])+)"));
    const QRegularExpressionMatch match = prefix.match(records.first().message);
    error.source = match.hasMatch() ? match.captured(1) : fallbackSource;
    QStringList parts;
    for (const DiagRecord& r : records)
        parts << QStringLiteral("SQLSTATE %1: %2").arg(r.state, r.message);
    error.description = parts.join(QStringLiteral("; "));
    return error;
}
