#include "mediaid.h"
#include "testworld.h"

#include <QtTest>

#include <cstring>

namespace {
std::string norm(const char* field, int type = MediaIButton) {
    return NormalizeMediaId(field, type).value_or("rejected");
}
} // namespace

class TestMediaId : public QObject {
    Q_OBJECT
private slots:
    void crc8KnownValues() {
        // The usual check value of this CRC over "123456789".
        const char* check = "123456789";
        QCOMPARE(OneWireCrc8(reinterpret_cast<const std::uint8_t*>(check), std::strlen(check)),
                 std::uint8_t(0xA1));
        // A device ID as the bus delivers it: family 02, serial 1C B8 01 00 00 00, CRC A2;
        // the CRC over the first seven bytes plus the CRC itself is zero.
        const std::uint8_t rom[8] = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2};
        QCOMPARE(OneWireCrc8(rom, 7), std::uint8_t(0xA2));
        QCOMPARE(OneWireCrc8(rom, 8), std::uint8_t(0));
        // The same device as a MediaID text: check byte, serial most significant first, family.
        QCOMPARE(MediaIdCheckByte("00000001B81C02"), std::uint8_t(0xA2));
        QCOMPARE(norm("00000001B81C02"), std::string("A200000001B81C02"));
        QCOMPARE(OneWireCrc8(nullptr, 0), std::uint8_t(0));
    }

    void shortIdsTakeTheMediaTypesFamilyCode() {
        QCOMPARE(norm("1a2b3c4d"), std::string("6300001A2B3C4D01"));
        QCOMPARE(norm("1a2b3c4d", MediaRfCard), std::string("6D00001A2B3C4D44"));
        const std::string magnetic = norm("1a2b3c4d", MediaMagneticCard);
        QCOMPARE(magnetic.substr(2), std::string("00001A2B3C4D02"));
        QCOMPARE(int(MediaIdCheckByte(magnetic.substr(2))),
                 QByteArray::fromStdString(magnetic.substr(0, 2)).toInt(nullptr, 16));
        // Any type other than 0 and 1 is read as magnetic.
        QCOMPARE(norm("1a2b3c4d", 7), magnetic);
    }

    void fullIdsAreCheckedAndKept() {
        QCOMPARE(norm("00001a2b3c4d44", MediaIButton), std::string("6D00001A2B3C4D44"));
        QCOMPARE(norm("6300001A2B3C4D01"), std::string("6300001A2B3C4D01"));
        QCOMPARE(norm("6300001a2b3c4d01"), std::string("6300001A2B3C4D01"));
        QCOMPARE(norm("6400001A2B3C4D01"), std::string("rejected"));
        QCOMPARE(norm("0000001A2B3C4D01"), std::string("rejected"));
    }

    void otherLengthsAreRejected_data() {
        QTest::addColumn<QByteArray>("field");
        for (const char* f : {"", "1", "1a2b3c4", "1a2b3c4d5", "\"1a2b3c4d\"", " 1a2b3c4d",
                              "00001A2B3C4D0", "00001A2B3C4D011", "6300001A2B3C4D01 "})
            QTest::newRow(f) << QByteArray(f);
    }
    void otherLengthsAreRejected() {
        QFETCH(QByteArray, field);
        QVERIFY(!NormalizeMediaId(field.toStdString(), MediaIButton));
    }

    void nonHexCharactersCountAsZeroAndAreKept() {
        // "XY" reads like "00" for the check byte but stays in the ID, upper-cased.
        const std::string withZeros = norm("1a2b0000");
        const std::string withLetters = norm("1a2bxy00");
        QCOMPARE(withLetters.substr(2), std::string("00001A2BXY0001"));
        QCOMPARE(withLetters.substr(0, 2), withZeros.substr(0, 2));
        // Bytes beyond ASCII are kept as they are.
        QCOMPARE(NormalizeMediaId("1a2b3c\xE9\xE9", MediaIButton)->substr(2),
                 std::string("00001A2B3C\xE9\xE9"
                             "01"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestMediaId)
#include "tst_mediaid.moc"
