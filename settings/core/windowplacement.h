#pragma once

#include <QByteArray>
#include <QRect>

#include <cstdint>
#include <optional>

// The 44-byte window placement record, little-endian 32-bit fields: length (44), flags,
// show command, minimised x/y, maximised x/y, normal left/top/right/bottom.
struct CWindowPlacement {
    static constexpr int kSize = 44;
    static constexpr int32_t SW_SHOWNORMAL = 1;
    static constexpr int32_t SW_SHOWMINIMIZED = 2;
    static constexpr int32_t SW_SHOWMAXIMIZED = 3;
    // A minimised window that goes back to maximised, not to its normal rectangle.
    static constexpr int32_t WPF_RESTORETOMAXIMIZED = 2;
    // Size of a first window when nothing is stored.
    static constexpr int kDefaultWidth = 1000;
    static constexpr int kDefaultHeight = 700;

    int32_t flags = 0;
    int32_t showCmd = SW_SHOWNORMAL;
    int32_t minX = -1, minY = -1;
    int32_t maxX = -1, maxY = -1;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    void setNormalRect(const QRect& r);
    bool restoresToMaximised() const { return (flags & WPF_RESTORETOMAXIMIZED) != 0; }

    // A first window: the default size (or larger when the window needs more), no larger
    // than the available area, centred in it.
    static QRect defaultRect(const QRect& available, const QSize& needed = QSize());

    QByteArray toBytes() const;
    // Nothing when the block is not exactly 44 bytes, its length field is not 44, or the
    // normal rectangle is empty.
    static std::optional<CWindowPlacement> fromBytes(const QByteArray& bytes);
};
