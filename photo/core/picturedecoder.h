#pragma once

#include <QByteArray>
#include <QImage>

// The picture kinds a photo may be stored as, told apart by their first bytes.
enum class PictureKind { Unknown, Bmp, Jpeg, Gif };

PictureKind pictureKindOf(const QByteArray& data);

// BMP and GIF through Qt's readers (at most kMaxJpegOutputPixels, like JPEG), JPEG through
// libjpeg; a null image for anything else or for data that does not decode.
QImage decodePicture(const QByteArray& data);
