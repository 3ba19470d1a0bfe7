#pragma once

#include <QFontMetrics>
#include <QString>

// The widest text a list column was designed to show whole: '9' stands for any decimal digit
// and 'F' for any hexadecimal one, each measured at its widest in the font in use.
namespace columncontent {
inline const QString kDate = QStringLiteral("9999-99-99");
inline const QString kTime = QStringLiteral("99:99:99");
inline const QString kDateTime = QStringLiteral("9999-99-99 99:99:99");
inline const QString kMediaId = QStringLiteral("FFFFFFFFFFFFFFFF");
} // namespace columncontent

// The width of `content` (see columncontent) in the font: 0 for no content.
int contentWidth(const QFontMetrics& fm, const QString& content);

// A designed column width for the font in use: the designed pixels, or wider where the
// designed content and the cell's text margins need it. The pixels were drawn for a small
// 8-point font; columns of free text keep them, so that the lists still fit their panes
// and the panes the default window.
int columnWidthForFont(int designWidth, const QString& content, const QFontMetrics& fm,
                       int textMargins);
