#include "adovalue.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {
QString formatReal(double value, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return QString::fromLatin1(buffer);
}

QString formatDate(const CADOValue::DateTime& d, const QString& format) {
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    tm.tm_isdst = -1;
    // Fill in the weekday and day of the year without moving the fields to another zone.
    std::tm copy = tm;
    if (timegm(&copy) != time_t(-1)) {
        tm.tm_wday = copy.tm_wday;
        tm.tm_yday = copy.tm_yday;
    }
    const QByteArray pattern =
        (format.isEmpty() ? QStringLiteral("%Y-%m-%d %H:%M:%S") : format).toUtf8();
    std::vector<char> buffer(256 + size_t(pattern.size()) * 16);
    const size_t n = std::strftime(buffer.data(), buffer.size(), pattern.constData(), &tm);
    return QString::fromUtf8(buffer.data(), qsizetype(n));
}
} // namespace

bool adoValueToText(const CADOValue& value, QString& text, const QString& dateFormat) {
    text.clear();
    switch (value.type) {
    case CADOValue::Empty:
    case CADOValue::Null:
        return true;
    case CADOValue::Integer:
        text = QString::number(value.integer);
        return true;
    case CADOValue::Unsigned:
        text = QString::number(value.unsignedInteger);
        return true;
    case CADOValue::Float:
        text = formatReal(double(float(value.real)), 10);
        return true;
    case CADOValue::Double:
    case CADOValue::Decimal:
        text = formatReal(value.real, 20);
        return true;
    case CADOValue::Date:
        text = formatDate(value.date, dateFormat);
        return true;
    case CADOValue::String:
        text = value.text;
        return true;
    case CADOValue::Boolean:
        text = value.boolean ? QStringLiteral("T") : QStringLiteral("F");
        return true;
    case CADOValue::Bytes:
    case CADOValue::Other:
        return false;
    }
    return false;
}

QString adoSqlLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}
