#include "jpegcodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are quiet, except the end of the data before the end of the picture: libjpeg would
// fill the rest with grey and call it a success.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        onError(cinfo);
}

// The largest libjpeg scale (n/8, n = 8..1) whose output stays within the bound.
int scaleNumerator(qint64 width, qint64 height) {
    for (int n = 8; n >= 1; --n) {
        const qint64 w = (width * n + 7) / 8;
        const qint64 h = (height * n + 7) / 8;
        if (w * h <= kMaxJpegOutputPixels)
            return n;
    }
    return 0;
}

// Everything between setjmp and a longjmp from libjpeg lives in the caller or in plain C
// structures, so the jump skips no destructor.
bool decodeInto(jpeg_decompress_struct& cinfo, ErrorManager& err, const QByteArray& data,
                QImage& out, char* reason, int& srcW, int& srcH) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegWorkingBytes;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    srcW = int(cinfo.image_width);
    srcH = int(cinfo.image_height);
    const int n = scaleNumerator(cinfo.image_width, cinfo.image_height);
    if (n == 0) {
        std::snprintf(reason, JMSG_LENGTH_MAX, "picture of %ux%u exceeds the decoding bound",
                      cinfo.image_width, cinfo.image_height);
        return false;
    }
    cinfo.scale_num = unsigned(n);
    cinfo.scale_denom = 8;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&cinfo);
    // A multi-scan picture keeps every coefficient of the whole source in memory whatever the
    // output scale: refuse it before libjpeg asks for more than the cap.
    if (jpeg_has_multiple_scans(&cinfo)) {
        qint64 coefficients = 0;
        for (int c = 0; c < cinfo.num_components; ++c) {
            const jpeg_component_info& comp = cinfo.comp_info[c];
            coefficients += qint64(comp.width_in_blocks + 1) * (comp.height_in_blocks + 1) * 64;
        }
        if (coefficients * qint64(sizeof(JCOEF)) > kMaxJpegWorkingBytes) {
            std::snprintf(reason, JMSG_LENGTH_MAX,
                          "progressive picture of %ux%u exceeds the decoding bound",
                          cinfo.image_width, cinfo.image_height);
            return false;
        }
    }
    out = QImage(int(cinfo.output_width), int(cinfo.output_height),
                 grey ? QImage::Format_Grayscale8
                      : (cmyk ? QImage::Format_RGB32 : QImage::Format_RGB888));
    if (out.isNull()) {
        std::snprintf(reason, JMSG_LENGTH_MAX, "no memory for the picture");
        return false;
    }
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW row = out.scanLine(y);
        if (cmyk) {
            // Four bytes per pixel fit the 32-bit row; converted in place below.
            jpeg_read_scanlines(&cinfo, &row, 1);
            uchar* p = out.scanLine(y);
            QRgb* px = reinterpret_cast<QRgb*>(p);
            for (int x = 0; x < out.width(); ++x) {
                // Adobe writes CMYK inverted; k scales the other three.
                const int c = p[4 * x], m = p[4 * x + 1], yy = p[4 * x + 2], k = p[4 * x + 3];
                px[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
            }
        } else {
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool encodeRows(jpeg_compress_struct& cinfo, ErrorManager& err, unsigned char** mem,
                unsigned long* size, int width, int height, int quality, bool progressive,
                const QImage* image, const unsigned char* uniformRow) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, mem, size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(
            image ? image->constScanLine(int(cinfo.next_scanline)) : uniformRow);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

QByteArray encode(int width, int height, int quality, bool progressive, const QImage* image,
                  const unsigned char* uniformRow) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&err, 0, sizeof err);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    const bool ok =
        encodeRows(cinfo, err, &mem, &size, width, height, quality, progressive, image, uniformRow);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes;
    if (ok && mem)
        bytes = QByteArray(reinterpret_cast<const char*>(mem), qsizetype(size));
    std::free(mem);
    return bytes;
}

} // namespace

JpegDecodeResult decodeJpeg(const QByteArray& data) {
    JpegDecodeResult result;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&err, 0, sizeof err);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    char reason[JMSG_LENGTH_MAX] = {};
    QImage image;
    const bool ok =
        decodeInto(cinfo, err, data, image, reason, result.sourceWidth, result.sourceHeight);
    jpeg_destroy_decompress(&cinfo);
    if (ok) {
        result.image = image;
    } else {
        result.error = QString::fromLocal8Bit(reason[0] ? reason : err.message);
    }
    return result;
}

QByteArray encodeJpeg(const QImage& image, int quality) {
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return encode(rgb.width(), rgb.height(), quality, false, &rgb, nullptr);
}

QByteArray encodeUniformJpeg(int width, int height, QRgb colour, bool progressive) {
    if (width <= 0 || height <= 0)
        return {};
    std::vector<unsigned char> row(size_t(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[size_t(x) * 3] = uchar(qRed(colour));
        row[size_t(x) * 3 + 1] = uchar(qGreen(colour));
        row[size_t(x) * 3 + 2] = uchar(qBlue(colour));
    }
    return encode(width, height, 75, progressive, nullptr, row.data());
}
