#pragma once

#include "catalogue.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <concepts>

// Fills the placeholders of a catalogue text in one pass, left to right: "%s" and "%d" take
// the next argument in turn (the printf-style texts), "%1" to "%9" take that argument, "%%"
// gives "%". A placeholder without its argument stays as written, so a translation that asks
// for more than the caller gives shows where, instead of printing garbage. Inserted texts are
// never scanned again: an argument holding "%1" or "%s" appears as it is.
QString FormatText(QStringView pattern, const QStringList& args);

namespace textformat {
inline QString argText(const QString& text) {
    return text;
}
inline QString argText(const char* text) {
    return QString::fromUtf8(text);
}
template <std::integral T> QString argText(T number) {
    return QString::number(number);
}
} // namespace textformat

// String resource id with its placeholders filled from args (texts or whole numbers).
template <class... Args> QString FormatString(int id, const Args&... args) {
    return FormatText(S(id), QStringList{textformat::argText(args)...});
}
