#include "picturedecoder.h"

#include "jpegcodec.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <optional>

PictureKind pictureKindOf(const QByteArray& data) {
    if (data.startsWith("BM"))
        return PictureKind::Bmp;
    if (data.startsWith("\xFF\xD8\xFF"))
        return PictureKind::Jpeg;
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return PictureKind::Gif;
    return PictureKind::Unknown;
}

namespace {
bool withinBound(QSize size) {
    return size.isValid() && qint64(size.width()) * size.height() <= kMaxJpegOutputPixels;
}

int littleEndian16(const QByteArray& data, qsizetype at) {
    return quint8(data[at]) | quint8(data[at + 1]) << 8;
}

// The canvas a GIF's first frame is drawn on: its logical screen, or the frame itself where the
// screen is empty; the larger of the two, since readers differ in which they allocate. Qt's
// reader answers size() with the frame's width, so a few bytes could announce any canvas.
QSize gifCanvasSize(const QByteArray& data) {
    if (data.size() < 13)
        return {};
    int width = littleEndian16(data, 6);
    int height = littleEndian16(data, 8);
    const quint8 flags = quint8(data[10]);
    qsizetype at = 13 + ((flags & 0x80) ? 3 * (2 << (flags & 7)) : 0);
    while (at < data.size()) {
        const quint8 block = quint8(data[at]);
        if (block == 0x2C) { // image descriptor: left, top, width, height
            if (at + 9 > data.size())
                return {};
            width = std::max(width, littleEndian16(data, at + 1) + littleEndian16(data, at + 5));
            height = std::max(height, littleEndian16(data, at + 3) + littleEndian16(data, at + 7));
            return QSize(width, height);
        }
        if (block != 0x21 || at + 2 > data.size()) // only extensions come before it
            return {};
        at += 2;
        while (at < data.size() && data[at] != 0)
            at += 1 + quint8(data[at]);
        ++at;
    }
    return {};
}

// Reads through Qt once the announced size (by default the reader's own) is within the bound.
QImage readWithQt(const QByteArray& data, const char* format,
                  std::optional<QSize> announced = std::nullopt) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (!withinBound(announced ? *announced : reader.size()))
        return {};
    QImage image = reader.read();
    // Whatever the header said, a picture beyond the bound is not shown.
    return withinBound(image.size()) ? image : QImage();
}
} // namespace

QImage decodePicture(const QByteArray& data) {
    switch (pictureKindOf(data)) {
    case PictureKind::Jpeg:
        return decodeJpeg(data).image;
    case PictureKind::Bmp:
        return readWithQt(data, "bmp");
    case PictureKind::Gif:
        return readWithQt(data, "gif", gifCanvasSize(data));
    case PictureKind::Unknown:
        break;
    }
    return {};
}
