// Feeds arbitrary bytes, as a photo value from the photo database, to the picture decoders
// (JPEG through libjpeg, BMP and GIF through the toolkit's readers, told apart by their first
// bytes). Whatever decodes stays within the decoding bound.
#include "jpegcodec.h"
#include "picturedecoder.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = decodePicture(bytes);
    if (image.isNull())
        return 0;
    if (pictureKindOf(bytes) == PictureKind::Unknown)
        std::abort();
    if (qint64(image.width()) * image.height() > kMaxJpegOutputPixels)
        std::abort();
    return 0;
}
