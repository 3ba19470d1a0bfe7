#pragma once

#include <QFontMetrics>
#include <QString>

// The widest text a list column was designed to show whole: '9' stands for any decimal digit
// and 'F' for any hexadecimal one, each measured at its widest in the font in use.
namespace columncontent {
inline const QString kDate = QStringLiteral("9999-99-99");
inline const QString kTime = QStringLiteral("99:99:99");
inline const QString kMediaId = QStringLiteral("FFFFFFFFFFFFFFFF");
} // namespace columncontent

// The designed pixels were drawn for an 8-point dialog font 13 pixels high.
inline constexpr int kDesignFontHeight = 13;

// Designed pixels grown or shrunk with the font's height.
int scaledToFont(int designPixels, const QFontMetrics& fm);

// The width of `content` (see columncontent) in the font: 0 for no content.
int contentWidth(const QFontMetrics& fm, const QString& content);

// A designed column width for the font in use: scaledToFont, and never narrower than the
// designed content plus the cell's text margins.
int scaledColumnWidth(int designWidth, const QString& content, const QFontMetrics& fm,
                      int textMargins);
