#include "picturedecoder.h"

#include "jpegcodec.h"

#include <QBuffer>
#include <QImageReader>

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
QImage readWithQt(const QByteArray& data, const char* format) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxJpegOutputPixels)
        return {};
    return reader.read();
}
} // namespace

QImage decodePicture(const QByteArray& data) {
    switch (pictureKindOf(data)) {
    case PictureKind::Jpeg:
        return decodeJpeg(data).image;
    case PictureKind::Bmp:
        return readWithQt(data, "bmp");
    case PictureKind::Gif:
        return readWithQt(data, "gif");
    case PictureKind::Unknown:
        break;
    }
    return {};
}
