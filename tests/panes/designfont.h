#pragma once

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

// The application's font at the size whose line is 13 pixels high, the height of the dialog
// font the lists' column widths were designed for; a null family when no size gives it.
inline QFont fontOfDesignHeight() {
    QFont font = QApplication::font();
    for (int pixels = 6; pixels <= 20; ++pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() == 13)
            return font;
    }
    return QFont(QString());
}
