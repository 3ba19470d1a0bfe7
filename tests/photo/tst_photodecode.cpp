// Picture decoding by signature, the memory bound for huge JPEGs, and the fit rule.
#include "jpegcodec.h"
#include "photofit.h"
#include "picturedecoder.h"
#include "testworld.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QtTest>

#include <malloc.h>

namespace {
// Starts a fresh peak of the resident set: from here on VmHWM is the largest since this call.
// Freed memory the allocator still holds is given back first, or a new allocation could reuse
// it without the resident set growing.
bool resetPeakResident() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Largest resident set so far, in kB.
qint64 peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

bool near(QRgb a, QColor b, int tolerance = 8) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

QByteArray saved(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A 2 x 1 GIF: palette red, blue; pixels red then blue.
QByteArray twoPixelGif() {
    static const unsigned char gif[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x02, 0x00, 0x01,
                                        0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00,
                                        0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01,
                                        0x00, 0x00, 0x02, 0x02, 0x44, 0x0A, 0x00, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(gif), sizeof gif);
}

// The same two pixels on a logical screen of 8000 x 2500 (20 megapixels).
QByteArray twoPixelsOnAWideScreenGif() {
    QByteArray gif = twoPixelGif();
    gif[6] = char(0x40); // 8000 = 0x1F40
    gif[7] = char(0x1F);
    gif[8] = char(0xC4); // 2500 = 0x09C4
    gif[9] = char(0x09);
    return gif;
}

// A 5000 x 5000 white BMP of 8-bit pixels, run-length encoded: each row twenty runs of 250
// pixels and its end code, 210 kB in all.
QByteArray hugeRunLengthBmp() {
    const int side = 5000;
    QByteArray pixels;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; x += 250)
            pixels.append(char(250)).append(char(1));
        pixels.append(char(0)).append(char(0));
    }
    pixels.append(char(0)).append(char(1));
    const auto le32 = [](qint64 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char(v >> (8 * i));
        return b;
    };
    static const unsigned char palette[] = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
    const int offset = 14 + 40 + int(sizeof palette);
    return "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset) + // file header
           le32(40) + le32(side) + le32(side) + le32(1 | 8 << 16) +       // one plane, 8 bits
           le32(1) + le32(pixels.size()) + le32(2835) + le32(2835) +      // RLE8, 72 dpi
           le32(2) + le32(0) +                                            // two colours
           QByteArray(reinterpret_cast<const char*>(palette), sizeof palette) + pixels;
}

// The number of colour components the first frame header of a JPEG declares (0: none found).
int jpegComponents(const QByteArray& jpeg) {
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (quint8(jpeg[i]) == 0xFF && (quint8(jpeg[i + 1]) == 0xC0 || quint8(jpeg[i + 1]) == 0xC2))
            return quint8(jpeg[i + 9]);
    return 0;
}
} // namespace

class TestPhotoDecode : public QObject {
    Q_OBJECT
private slots:
    void fitKeepsAspectAndCentres_data() {
        QTest::addColumn<QRect>("client");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("tall in square")
            << QRect(0, 0, 400, 400) << QSize(100, 200) << QRect(100, 0, 200, 400);
        QTest::newRow("wide in square")
            << QRect(0, 0, 400, 400) << QSize(300, 100) << QRect(0, 133, 400, 133);
        QTest::newRow("shrunk") << QRect(0, 0, 200, 100) << QSize(1000, 1000)
                                << QRect(50, 0, 100, 100);
        QTest::newRow("offset client")
            << QRect(10, 20, 400, 400) << QSize(100, 200) << QRect(110, 20, 200, 400);
        // Odd sizes: the offsets are truncated halves taken in floating point.
        QTest::newRow("odd") << QRect(0, 0, 401, 400) << QSize(201, 400) << QRect(100, 0, 201, 400);
        QTest::newRow("empty picture") << QRect(0, 0, 400, 400) << QSize(0, 0) << QRect();
    }
    void fitKeepsAspectAndCentres() {
        QFETCH(QRect, client);
        QFETCH(QSize, picture);
        QFETCH(QRect, drawn);
        QCOMPARE(fitPicture(client, picture), drawn);
    }

    void signaturesChooseTheDecoder() {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 40));
        const QByteArray jpeg = encodeJpeg(image);
        const QByteArray bmp = saved(image, "BMP");
        QCOMPARE(pictureKindOf(jpeg), PictureKind::Jpeg);
        QCOMPARE(pictureKindOf(bmp), PictureKind::Bmp);
        QCOMPARE(pictureKindOf(twoPixelGif()), PictureKind::Gif);
        QCOMPARE(pictureKindOf(QByteArray("Albers Dana")), PictureKind::Unknown);

        const QImage fromJpeg = decodePicture(jpeg);
        QCOMPARE(fromJpeg.size(), QSize(8, 6));
        QVERIFY(near(fromJpeg.pixel(4, 3), QColor(200, 30, 40)));
        const QImage fromBmp = decodePicture(bmp);
        QCOMPARE(fromBmp.size(), QSize(8, 6));
        QCOMPARE(QColor(fromBmp.pixel(0, 0)), QColor(200, 30, 40));
        const QImage fromGif = decodePicture(twoPixelGif());
        QCOMPARE(fromGif.size(), QSize(2, 1));
        QCOMPARE(QColor(fromGif.pixel(0, 0)), QColor(Qt::red));
        QCOMPARE(QColor(fromGif.pixel(1, 0)), QColor(Qt::blue));
        // A PNG is none of the three kinds, even though Qt could read it.
        QVERIFY(decodePicture(saved(image, "PNG")).isNull());
        QVERIFY(decodePicture(QByteArray("Albers Dana")).isNull());
        QVERIFY(decodePicture(QByteArray()).isNull());
    }

    void jpegKeepsItsPixels() {
        // Left half green, right half blue, grey and CMYK-free: what comes back is the picture.
        QImage image(64, 32, QImage::Format_RGB888);
        image.fill(QColor(0, 160, 0));
        QPainter(&image).fillRect(32, 0, 32, 32, QColor(0, 0, 200));
        const JpegDecodeResult r = decodeJpeg(encodeJpeg(image, 95));
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.image.size(), QSize(64, 32));
        QVERIFY(near(r.image.pixel(8, 16), QColor(0, 160, 0)));
        QVERIFY(near(r.image.pixel(56, 16), QColor(0, 0, 200)));

        // A one-component picture, dark left and light right; the toolkit's own JPEG writer
        // (part of its GUI library) makes it, so there is no reason for it to be missing.
        QImage grey(32, 16, QImage::Format_Grayscale8);
        grey.fill(QColor(40, 40, 40));
        QPainter(&grey).fillRect(16, 0, 16, 16, QColor(210, 210, 210));
        const QByteArray greyJpeg = saved(grey, "JPEG");
        QVERIFY2(!greyJpeg.isEmpty(), "the toolkit wrote no greyscale JPEG");
        QCOMPARE(jpegComponents(greyJpeg), 1);
        const QImage g = decodePicture(greyJpeg);
        QCOMPARE(g.size(), QSize(32, 16));
        QCOMPARE(g.format(), QImage::Format_Grayscale8);
        for (int x : {2, 13})
            QVERIFY2(near(g.pixel(x, 8), QColor(40, 40, 40)), qPrintable(QString::number(x)));
        for (int x : {18, 29})
            QVERIFY2(near(g.pixel(x, 8), QColor(210, 210, 210)), qPrintable(QString::number(x)));
    }

    void brokenJpegsAreRefused() {
        const QByteArray jpeg = encodeUniformJpeg(640, 480, qRgb(10, 200, 10));
        QVERIFY(!decodeJpeg(jpeg).image.isNull());
        // Cut in the middle of the picture data: refused, not half grey.
        for (qsizetype cut : {jpeg.size() / 2, jpeg.size() - 4, qsizetype(200), qsizetype(3)}) {
            const JpegDecodeResult r = decodeJpeg(jpeg.left(cut));
            QVERIFY2(r.image.isNull(), qPrintable(QString::number(cut)));
            QVERIFY(!r.error.isEmpty());
        }
        // Garbage after a valid signature.
        QByteArray garbage("\xFF\xD8\xFF\xE0 not a picture at all");
        QVERIFY(decodePicture(garbage).isNull());
    }

    void hugeJpegIsScaledWithinTheBound() {
        // 50 megapixels, baseline: decoded at half size.
        const int w = 8660, h = 5780;
        const QByteArray jpeg = encodeUniformJpeg(w, h, qRgb(30, 60, 220));
        QVERIFY(!jpeg.isEmpty());
        QVERIFY(resetPeakResident());
        const qint64 before = peakResidentKb();
        QElapsedTimer timer;
        timer.start();
        const JpegDecodeResult r = decodeJpeg(jpeg);
        const qint64 ms = timer.elapsed();
        const qint64 grownKb = peakResidentKb() - before;
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.sourceWidth, w);
        QCOMPARE(r.sourceHeight, h);
        QCOMPARE(r.image.size(), QSize((w + 1) / 2, (h + 1) / 2));
        QVERIFY(qint64(r.image.width()) * r.image.height() <= kMaxJpegOutputPixels);
        QVERIFY(near(r.image.pixel(100, 100), QColor(30, 60, 220)));
        qInfo("50-megapixel JPEG: %d x %d decoded in %lld ms, peak resident set +%lld kB",
              r.image.width(), r.image.height(), ms, grownKb);
        // The decoder holds the scaled picture and at most libjpeg's capped working memory;
        // the whole picture in memory would take 150 MB.
        const qint64 boundKb = (r.image.sizeInBytes() + kMaxJpegWorkingBytes) / 1024;
        QVERIFY2(grownKb <= boundKb, qPrintable(QStringLiteral("%1 kB").arg(grownKb)));
    }

    void hugeProgressiveJpegIsRefused() {
        const QByteArray jpeg = encodeUniformJpeg(8660, 5780, qRgb(30, 60, 220), true);
        QVERIFY(!jpeg.isEmpty());
        const JpegDecodeResult r = decodeJpeg(jpeg);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QStringLiteral("bound")), qPrintable(r.error));
        // A small progressive picture decodes as usual.
        QCOMPARE(decodeJpeg(encodeUniformJpeg(300, 200, qRgb(1, 2, 3), true)).image.size(),
                 QSize(300, 200));
    }

    void hugeBmpIsRefused() {
        // 25 megapixels from 210 kB: the toolkit alone decodes it, writing every one of them.
        const QByteArray bmp = hugeRunLengthBmp();
        QCOMPARE(QImage::fromData(bmp).size(), QSize(5000, 5000));
        QVERIFY(resetPeakResident());
        const qint64 before = peakResidentKb();
        QVERIFY(decodePicture(bmp).isNull());
        // Refused from its header, before the 25 MB of pixels are written.
        const qint64 grownKb = peakResidentKb() - before;
        QVERIFY2(grownKb < 8 * 1024, qPrintable(QStringLiteral("%1 kB").arg(grownKb)));
    }

    void hugeGifCanvasIsRefused() {
        // Two pixels on a 20-megapixel screen: the toolkit's reader reports the frame's size but
        // allocates the screen.
        const QByteArray gif = twoPixelsOnAWideScreenGif();
        QCOMPARE(QImage::fromData(gif).size(), QSize(8000, 2500));
        QVERIFY(decodePicture(gif).isNull());
        // Screen and frame within the bound: shown as before.
        QByteArray fits = gif;
        fits[7] = 0x00; // 64 x 2500
        QCOMPARE(decodePicture(fits).size(), QSize(64, 2500));
        QCOMPARE(QColor(decodePicture(fits).pixel(1, 0)), QColor(Qt::blue));
        // A header cut before its first frame says nothing of the canvas.
        QVERIFY(decodePicture(gif.left(20)).isNull());
    }
};

TARVEX_TEST_MAIN(TestPhotoDecode)
#include "tst_photodecode.moc"
