#include "regtime.h"

#include <QTime>

#include <cstdio>

namespace {
constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01
constexpr qint64 kLastDay = 0xFFFFFFFFu / kSecondsPerDay;

void twoDigits(int value, char* out) {
    out[0] = char('0' + value / 10);
    out[1] = char('0' + value % 10);
}
} // namespace

std::optional<RegTime> regTimeOf(QDate date, int secondOfDay) {
    if (!date.isValid() || secondOfDay < 0 || secondOfDay >= int(kSecondsPerDay))
        return std::nullopt;
    const qint64 day = date.toJulianDay() - kEpochJulianDay;
    if (day < 0 || day >= kLastDay)
        return std::nullopt;
    return RegTime(day * kSecondsPerDay + secondOfDay);
}

QDate regDateOfDay(std::uint32_t day) {
    return QDate::fromJulianDay(kEpochJulianDay + day);
}

std::optional<RegTime> parseRegMoment(const QString& text, bool endOfRange) {
    const bool withTime =
        text.size() == 16 && (text[10] == QLatin1Char('T') || text[10] == QLatin1Char(' '));
    if (text.size() != 10 && !withTime)
        return std::nullopt;
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    int second = 0;
    if (withTime) {
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm"));
        if (!time.isValid())
            return std::nullopt;
        second = time.msecsSinceStartOfDay() / 1000 + (endOfRange ? 59 : 0);
    } else if (endOfRange) {
        second = int(kSecondsPerDay) - 1;
    }
    return regTimeOf(date, second);
}

void writeRegDate(std::uint32_t day, char* out) {
    int year = 0;
    int month = 0;
    int dom = 0;
    regDateOfDay(day).getDate(&year, &month, &dom);
    twoDigits(year / 100, out);
    twoDigits(year % 100, out + 2);
    out[4] = '-';
    twoDigits(month, out + 5);
    out[7] = '-';
    twoDigits(dom, out + 8);
}

void writeRegTime(int secondOfDay, char* out) {
    twoDigits(secondOfDay / 3600, out);
    out[2] = ':';
    twoDigits(secondOfDay / 60 % 60, out + 3);
    out[5] = ':';
    twoDigits(secondOfDay % 60, out + 6);
}

QString regDateText(std::uint32_t day) {
    char text[10];
    writeRegDate(day, text);
    return QString::fromLatin1(text, 10);
}

QString regTimeText(int secondOfDay) {
    char text[8];
    writeRegTime(secondOfDay, text);
    return QString::fromLatin1(text, 8);
}

QString regSpanText(RegTime seconds) {
    return QString::asprintf("%u:%02u", seconds / 3600, seconds / 60 % 60);
}
