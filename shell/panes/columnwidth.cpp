#include "columnwidth.h"

#include <algorithm>

namespace {
QChar widest(const QFontMetrics& fm, QLatin1StringView chars) {
    QChar best = chars.front();
    for (QChar c : chars)
        if (fm.horizontalAdvance(c) > fm.horizontalAdvance(best))
            best = c;
    return best;
}
} // namespace

int contentWidth(const QFontMetrics& fm, const QString& content) {
    if (content.isEmpty())
        return 0;
    const QChar digit = widest(fm, QLatin1StringView("0123456789"));
    const QChar hex = widest(fm, QLatin1StringView("0123456789ABCDEF"));
    QString text = content;
    for (QChar& c : text) {
        if (c == QLatin1Char('9'))
            c = digit;
        else if (c == QLatin1Char('F'))
            c = hex;
    }
    // One pixel more: advances are rounded, and the cell's layout may round the other way.
    return fm.horizontalAdvance(text) + 1;
}

int columnWidthForFont(int designWidth, const QString& content, const QFontMetrics& fm,
                       int textMargins) {
    if (content.isEmpty())
        return designWidth;
    return std::max(designWidth, contentWidth(fm, content) + textMargins);
}
