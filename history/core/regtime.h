#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

// A moment as the registrations files hold it: the local wall clock, counted in seconds from
// 1970-01-01 00:00:00 of that same clock, without a time zone. Ranges, days and spans follow
// the clock on the wall, as the files and the people reading them do. Years 1970 to 2105.
using RegTime = std::uint32_t;

constexpr RegTime kSecondsPerDay = 86400;

// Nullopt for a date outside the range or a second of the day outside 0-86399.
std::optional<RegTime> regTimeOf(QDate date, int secondOfDay);

inline std::uint32_t regDay(RegTime t) {
    return t / kSecondsPerDay;
}
inline int regSecondOfDay(RegTime t) {
    return int(t % kSecondsPerDay);
}
QDate regDateOfDay(std::uint32_t day);

// A bound of a range as people type it: "YYYY-MM-DD", or with a time "YYYY-MM-DDTHH:MM" or
// "YYYY-MM-DD HH:MM". The end of a range takes in the whole of the day or minute given.
// Nullopt for any other text.
std::optional<RegTime> parseRegMoment(const QString& text, bool endOfRange);

// "YYYY-MM-DD" and "HH:MM:SS", written into `out` (10 and 8 characters, no terminator).
void writeRegDate(std::uint32_t day, char* out);
void writeRegTime(int secondOfDay, char* out);
QString regDateText(std::uint32_t day);
QString regTimeText(int secondOfDay);
// A span of time as hours and minutes, "H:MM" (seconds dropped): 0:00, 8:05, 31:00.
QString regSpanText(RegTime seconds);
