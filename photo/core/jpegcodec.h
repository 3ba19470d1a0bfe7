#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG through libjpeg. Pictures come from a database the user chooses, so decoding is
// bounded: the output is scaled down by libjpeg (in steps of 1/8) until it holds at most
// kMaxJpegOutputPixels, and libjpeg's own working memory is capped at kMaxJpegWorkingBytes;
// a picture that fits neither is refused.
inline constexpr qint64 kMaxJpegOutputPixels = 16LL * 1000 * 1000;
inline constexpr long kMaxJpegWorkingBytes = 64L * 1024 * 1024;

struct JpegDecodeResult {
    QImage image;  // null when the data was refused or is not a whole JPEG
    QString error; // libjpeg's message, or why the picture was refused
    int sourceWidth = 0;
    int sourceHeight = 0;
};

// Decodes a JPEG held in memory. Truncated data counts as a failure: half a face is no use.
JpegDecodeResult decodeJpeg(const QByteArray& data);

// Encodes an RGB picture as a baseline JPEG (quality 1..100); empty on failure.
QByteArray encodeJpeg(const QImage& image, int quality = 85);

// Encodes a picture of the given size in one colour without holding it in memory, a row at a
// time (for pictures too large to build as a QImage). Progressive when asked.
QByteArray encodeUniformJpeg(int width, int height, QRgb colour, bool progressive = false);
