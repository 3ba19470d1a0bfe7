#pragma once

#include <QString>

// The error record both database classes keep: a 32-bit failure code, where the error came
// from and what it says. Platform diagnostics and the layer's own refusals both end up here.
struct CADOError {
    quint32 code = 0;
    QString source;
    QString description;
};

namespace AdoCode {
// Failure codes in the 32-bit form the error block prints.
constexpr quint32 Unspecified = 0x80004005;
constexpr quint32 OutOfMemory = 0x8007000E;
constexpr quint32 InvalidParameter = 0x80070057;
constexpr quint32 CommandFailed = 0x80040E14;
constexpr quint32 NoSuchTable = 0x80040E37;
constexpr quint32 IntegrityViolation = 0x80040E2F;
constexpr quint32 ConversionFailed = 0x80040E07;
constexpr quint32 TimeoutExpired = 0x80040E31;
constexpr quint32 FieldNotFound = 0x800A0CC1;
constexpr quint32 NoCurrentRow = 0x800A0BCD;
constexpr quint32 ObjectClosed = 0x800A0E78;
constexpr quint32 BadArgument = 0x800A0BB9;
constexpr quint32 TypeMismatch = 0x800A0D5D;
} // namespace AdoCode

// The meaning of a code: the known system text, else "IDispatch error #%d" for an interface
// failure code numbered from 0x200, else "Unknown error 0x%0lX".
QString adoCodeMeaning(quint32 code);

// "<header>\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n\tDescription = %s\n"
QString adoErrorBlock(const char* header, const CADOError& error);

// Reads every diagnostic record of an ODBC handle (SQLGetDiagRec). The code follows the first
// record's SQLSTATE; `connecting` picks the code for failures while connecting. The source is
// the component prefix of the message ("[unixODBC][Driver Manager]"), else fallbackSource.
CADOError adoDiagnostics(short handleType, void* handle, bool connecting,
                         const QString& fallbackSource);

// The first SQLSTATE of the last call on the handle, empty when there is none.
QString adoSqlState(short handleType, void* handle);

quint32 adoCodeForSqlState(const QString& sqlState, bool connecting);
