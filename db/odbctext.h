#pragma once

#include <QString>

#include <functional>
#include <sqltypes.h>
#include <vector>

// Texts cross the ODBC interface only through the wide-character calls (UTF-16): a driver
// then converts from whatever its database holds, where the narrow calls would hand over
// bytes in the driver's own character set (Latin-1, say) that no fixed decoding gets right.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's SQLWCHAR is UTF-16");

// The text as the wide calls take it: UTF-16, zero-terminated, writable.
std::vector<SQLWCHAR> odbcWide(const QString& text);

// A wide result of `length` characters; a terminating zero within them ends it early.
QString odbcFromWide(const SQLWCHAR* text, qsizetype length);

// Runs `work` in a UTF-8 character set for this thread. For drivers without wide calls the
// driver manager converts to and from the character set of the locale in effect when the
// connection handle is made, which in the C locale is ASCII; those drivers (SQLite's among
// them) speak UTF-8.
void odbcInUtf8(const std::function<void()>& work);
