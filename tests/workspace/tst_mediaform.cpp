// The printed forms of keys and cards and a MediaID in words. Every expected MediaID below was
// worked out by hand: the number's bytes, family code, then the check byte, which is the
// CRC-8 (x^8 + x^5 + x^4 + 1, reflected) over family, serial least significant byte first.
// The check bytes were done by polynomial division outside the program; three of them (63, 6D,
// A2) are the ones the import's tests already hold.
#include "mediaform.h"
#include "mediatext.h"
#include "testworld.h"

#include <QtTest>

namespace {

using Reason = MediaFormRefusal::Reason;

QString convert(MediaForm form, const char* printed, int mediaType = MediaIButton) {
    const MediaConversion c = ConvertPrintedMediaId(form, printed, mediaType);
    return c.accepted() ? QString::fromStdString(c.mediaId)
                        : QStringLiteral("refused: ") + MediaFormRefusalText(c.refusal);
}

} // namespace

Q_DECLARE_METATYPE(MediaForm)

class TestMediaForm : public QObject {
    Q_OBJECT
private slots:
    void printedFormsConvert_data() {
        QTest::addColumn<MediaForm>("form");
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<QString>("mediaId");
        // Engraved serial 00001A2B3C4D and family 01: check byte 63 in front.
        QTest::newRow("iButton 14")
            << MediaForm::IButton << QByteArray("00001A2B3C4D01") << "6300001A2B3C4D01";
        QTest::newRow("iButton blanks, dashes, lower case")
            << MediaForm::IButton << QByteArray(" 0000-1a2b-3c4d 01 ") << "6300001A2B3C4D01";
        QTest::newRow("iButton 16")
            << MediaForm::IButton << QByteArray("63-00001A2B3C4D-01") << "6300001A2B3C4D01";
        // Serial 00000001B81C, family 02: the bus order 02 1C B8 01 00 00 00 gives A2.
        QTest::newRow("iButton other family")
            << MediaForm::IButton << QByteArray("00000001B81C02") << "A200000001B81C02";
        // An RF card: "0000", its 8 digits, family 44; check byte 6D.
        QTest::newRow("RF hex") << MediaForm::RfHex << QByteArray("1a2b3c4d") << "6D00001A2B3C4D44";
        QTest::newRow("RF hex grouped")
            << MediaForm::RfHex << QByteArray("1A2B 3C4D") << "6D00001A2B3C4D44";
        // 0x1A2B3C4D = 26*16777216 + 43*65536 + 60*256 + 77
        //            = 436207616 + 2818048 + 15360 + 77 = 439041101.
        QTest::newRow("decimal") << MediaForm::RfDecimal << QByteArray("439041101")
                                 << "6D00001A2B3C4D44";
        QTest::newRow("decimal leading zeros, blanks around")
            << MediaForm::RfDecimal << QByteArray(" 0439041101 ") << "6D00001A2B3C4D44";
        // 12345 = 0x3039: body 00000000303944, check byte CC.
        QTest::newRow("decimal small")
            << MediaForm::RfDecimal << QByteArray("12345") << "CC00000000303944";
        // 123456789 = 0x075BCD15: body 0000075BCD1544, check byte 7B.
        QTest::newRow("decimal nine digits")
            << MediaForm::RfDecimal << QByteArray("123456789") << "7B0000075BCD1544";
        // The largest: 4294967295 = 0xFFFFFFFF, body 0000FFFFFFFF44, check byte 95.
        QTest::newRow("decimal largest")
            << MediaForm::RfDecimal << QByteArray("4294967295") << "950000FFFFFFFF44";
        QTest::newRow("decimal zero")
            << MediaForm::RfDecimal << QByteArray("0") << "3300000000000044";
        // 123 * 65536 + 45678 = 8060928 + 45678 = 8106606 = 0x7BB26E (123 = 0x7B,
        // 45678 = 0xB26E): body 0000007BB26E44, check byte 13.
        QTest::newRow("w26 comma")
            << MediaForm::Wiegand26 << QByteArray("123,45678") << "130000007BB26E44";
        QTest::newRow("w26 colon, blanks")
            << MediaForm::Wiegand26 << QByteArray(" 123 : 45678 ") << "130000007BB26E44";
        QTest::newRow("w26 slash")
            << MediaForm::Wiegand26 << QByteArray("123/45678") << "130000007BB26E44";
        // 10 * 65536 + 15000 = 655360 + 15000 = 670360 = 0x0A3A98: check byte 01.
        QTest::newRow("w26 leading zeros")
            << MediaForm::Wiegand26 << QByteArray("010,015000") << "010000000A3A9844";
        // 255 * 65536 + 65535 = 0xFFFFFF: body 000000FFFFFF44, check byte 47.
        QTest::newRow("w26 largest")
            << MediaForm::Wiegand26 << QByteArray("255,65535") << "47000000FFFFFF44";
        QTest::newRow("w26 zero") << MediaForm::Wiegand26 << QByteArray("0,0")
                                  << "3300000000000044";
    }
    void printedFormsConvert() {
        QFETCH(MediaForm, form);
        QFETCH(QByteArray, printed);
        QFETCH(QString, mediaId);
        QCOMPARE(convert(form, printed.constData()), mediaId);
    }

    void refusalsSayWhy_data() {
        QTest::addColumn<MediaForm>("form");
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, MediaForm form, const char* printed, Reason reason,
                            const char* text) {
            QTest::newRow(name) << form << QByteArray(printed) << int(reason)
                                << QString::fromUtf8(text);
        };
        row("iButton 13", MediaForm::IButton, "00001A2B3C4D0", Reason::Length,
            "An iButton number has 14 hexadecimal digits, or 16 with the check byte; this one "
            "has 13.");
        row("iButton 8", MediaForm::IButton, "1A2B3C4D", Reason::Length,
            "An iButton number has 14 hexadecimal digits, or 16 with the check byte; this one "
            "has 8.");
        row("iButton letter", MediaForm::IButton, "00001A2B3C4G01", Reason::HexDigit,
            "\"G\" is not a hexadecimal digit.");
        row("iButton wrong check byte", MediaForm::IButton, "1200001A2B3C4D44", Reason::CheckByte,
            "The check byte 12 is wrong; the number calls for 6D.");
        row("RF hex 9", MediaForm::RfHex, "1A2B3C4D5", Reason::Length,
            "An RF card number has 8 hexadecimal digits; this one has 9.");
        row("RF hex accented", MediaForm::RfHex, "1A2B3C4\xC3\xA9", Reason::HexDigit,
            "\"\xC3\xA9\" is not a hexadecimal digit.");
        row("decimal empty", MediaForm::RfDecimal, "  ", Reason::Length,
            "A printed card number has 1 to 10 digits; this one has 0.");
        row("decimal 11 digits", MediaForm::RfDecimal, "04294967295", Reason::Length,
            "A printed card number has 1 to 10 digits; this one has 11.");
        row("decimal one above", MediaForm::RfDecimal, "4294967296", Reason::TooLarge,
            "4294967296 is larger than 4294967295, the largest card number.");
        row("decimal hex digit", MediaForm::RfDecimal, "43904A101", Reason::DecimalDigit,
            "\"A\" is not a decimal digit.");
        row("decimal sign", MediaForm::RfDecimal, "-1", Reason::DecimalDigit,
            "\"-\" is not a decimal digit.");
        const char* pair = "Expected the facility code and the card number as \"facility,card\" "
                           "(or with ':' or '/').";
        row("w26 no separator", MediaForm::Wiegand26, "12345678", Reason::NotAPair, pair);
        row("w26 two separators", MediaForm::Wiegand26, "1,2,3", Reason::NotAPair, pair);
        row("w26 no card", MediaForm::Wiegand26, "12,", Reason::NotAPair, pair);
        row("w26 facility 256", MediaForm::Wiegand26, "256,1", Reason::Facility,
            "The facility code 256 is not between 0 and 255.");
        row("w26 facility long", MediaForm::Wiegand26, "99999999999999999999,1", Reason::Facility,
            "The facility code 99999999999999999999 is not between 0 and 255.");
        row("w26 card 65536", MediaForm::Wiegand26, "1:65536", Reason::Card,
            "The card number 65536 is not between 0 and 65535.");
        row("w26 letter", MediaForm::Wiegand26, "1,6x", Reason::DecimalDigit,
            "\"x\" is not a decimal digit.");
        row("hex 15", MediaForm::Hex, "00001A2B3C4D011", Reason::Length,
            "A media ID has 8, 14 or 16 characters; this one has 15.");
        row("hex wrong check byte", MediaForm::Hex, "6400001a2b3c4d01", Reason::CheckByte,
            "The check byte 64 is wrong; the number calls for 63.");
    }
    void refusalsSayWhy() {
        QFETCH(MediaForm, form);
        QFETCH(QByteArray, printed);
        QFETCH(int, reason);
        QFETCH(QString, text);
        const MediaConversion c = ConvertPrintedMediaId(form, printed.toStdString());
        QVERIFY(!c.accepted());
        QVERIFY(c.mediaId.empty());
        QCOMPARE(int(c.refusal.reason), reason);
        QCOMPARE(MediaFormRefusalText(c.refusal), text);
    }

    // The Hex form is the imports' rule, media type and lenient characters included.
    void hexFormIsTheImportRule() {
        QCOMPARE(convert(MediaForm::Hex, "1a2b3c4d"), QStringLiteral("6300001A2B3C4D01"));
        QCOMPARE(convert(MediaForm::Hex, "1a2b3c4d", MediaRfCard),
                 QStringLiteral("6D00001A2B3C4D44"));
        QCOMPARE(convert(MediaForm::Hex, "00001a2b3c4d44"), QStringLiteral("6D00001A2B3C4D44"));
        for (const char* field : {"1a2bxy00", "6300001A2B3C4D01", "1a2b3c4d", "00001A2B3C4D02"})
            for (const int type : {MediaIButton, MediaRfCard, MediaMagneticCard})
                QCOMPARE(ConvertPrintedMediaId(MediaForm::Hex, field, type).mediaId,
                         NormalizeMediaId(field, type).value());
    }

    void descriptionNamesTheParts() {
        QCOMPARE(MediaIdDescription("6D00001A2B3C4D44"),
                 QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 6D: correct"));
        QCOMPARE(MediaIdDescription("1200001A2B3C4D44"),
                 QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 12: wrong, "
                                "expected 6D"));
        QCOMPARE(MediaIdDescription("6300001A2B3C4D01"),
                 QStringLiteral("iButton, serial number 00001A2B3C4D, check byte 63: correct"));
        QCOMPARE(MediaIdDescription("A200000001B81C02"),
                 QStringLiteral("Magnetic card, serial number 00000001B81C, check byte A2: "
                                "correct"));
        // Serial 123456789ABC, family 7F: check byte C8.
        QCOMPARE(MediaIdDescription("C8123456789ABC7F"),
                 QStringLiteral("family 7F, serial number 123456789ABC, check byte C8: correct"));
        QCOMPARE(MediaIdDescription("c8123456789abc7f"),
                 QStringLiteral("family 7F, serial number 123456789ABC, check byte C8: correct"));
        QCOMPARE(MediaIdDescription(""), QString());
        QCOMPARE(MediaIdDescription("6D00001A"), QStringLiteral("8 of 16 characters"));
        QCOMPARE(MediaIdDescription("6D00001A2B3C4D441"), QStringLiteral("17 of 16 characters"));
        QCOMPARE(MediaIdDescription("6D00001A2B3C4DZ4"),
                 QStringLiteral("\"Z\" is not a hexadecimal digit."));
    }

    void partsAreWhereTheLayoutPutsThem() {
        const MediaIdParts p = DescribeMediaId("1200001A2B3C4D44");
        QCOMPARE(int(p.shape), int(MediaIdParts::Shape::Whole));
        QCOMPARE(p.checkByte, std::string("12"));
        QCOMPARE(p.serial, std::string("00001A2B3C4D"));
        QCOMPARE(p.family, std::string("44"));
        QCOMPARE(p.expected, std::string("6D"));
        QVERIFY(!p.checkByteCorrect());
        QCOMPARE(MediaTypeOfFamily("01"), int(MediaIButton));
        QCOMPARE(MediaTypeOfFamily("44"), int(MediaRfCard));
        QCOMPARE(MediaTypeOfFamily("02"), int(MediaMagneticCard));
        QCOMPARE(MediaTypeOfFamily("03"), -1);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestMediaForm)
#include "tst_mediaform.moc"
