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

namespace {
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

        QImage grey(16, 16, QImage::Format_Grayscale8);
        grey.fill(QColor(90, 90, 90));
        QByteArray greyJpeg;
        {
            QBuffer b(&greyJpeg);
            b.open(QIODevice::WriteOnly);
            grey.save(&b, "JPEG");
        }
        if (!greyJpeg.isEmpty()) {
            const QImage g = decodePicture(greyJpeg);
            QCOMPARE(g.size(), QSize(16, 16));
            QVERIFY(near(g.pixel(8, 8), QColor(90, 90, 90)));
        }
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
        const qint64 before = peakResidentKb();
        QElapsedTimer timer;
        timer.start();
        const JpegDecodeResult r = decodeJpeg(jpeg);
        const qint64 ms = timer.elapsed();
        const qint64 after = peakResidentKb();
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.sourceWidth, w);
        QCOMPARE(r.sourceHeight, h);
        QCOMPARE(r.image.size(), QSize((w + 1) / 2, (h + 1) / 2));
        QVERIFY(qint64(r.image.width()) * r.image.height() <= kMaxJpegOutputPixels);
        QVERIFY(near(r.image.pixel(100, 100), QColor(30, 60, 220)));
        qInfo("50-megapixel JPEG: %d x %d decoded in %lld ms, peak resident set +%lld kB",
              r.image.width(), r.image.height(), ms, after - before);
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
        // A BMP header announcing 20000 x 20000 pixels with no pixels behind it.
        QImage small(4, 4, QImage::Format_RGB32);
        small.fill(Qt::white);
        QByteArray bmp = saved(small, "BMP");
        qint32 side = 20000;
        memcpy(bmp.data() + 18, &side, 4);
        memcpy(bmp.data() + 22, &side, 4);
        QVERIFY(decodePicture(bmp).isNull());
    }
};

TARVEX_TEST_MAIN(TestPhotoDecode)
#include "tst_photodecode.moc"
