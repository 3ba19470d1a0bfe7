// Decoding of received messages into the registration properties and the log line.
#include "messagedecoder.h"
#include "testworld.h"

#include <QTest>

using namespace vr12comm;

namespace {
const QByteArray kId = "9A0000001C2D3E01";
}

class TestDecoder : public QObject {
    Q_OBJECT
private slots:
    void messageForms_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("action");
        QTest::newRow("space then O") << "R" + kId + " O" << kId << QByteArray("O");
        QTest::newRow("M wins over what follows") << "R" + kId + "MXYZ" << kId << QByteArray("M");
        QTest::newRow("plus gives last character")
            << "R" + kId + "+abcdefZ" << kId << QByteArray("Z");
        QTest::newRow("17 characters") << "R" + kId << kId << QByteArray();
        QTest::newRow("space at the end") << "R" + kId + " " << kId << QByteArray();
        QTest::newRow("anything else") << "R" + kId + "#1" << kId << QByteArray("?");
        QTest::newRow("status +<>OK") << QByteArray("+<>OK") << QByteArray() << QByteArray("OK");
        QTest::newRow("plus pass first") << QByteArray("<+A") << QByteArray() << QByteArray("+A");
        QTest::newRow("repeated signs")
            << QByteArray("++<<>>E1") << QByteArray() << QByteArray("E1");
        QTest::newRow("16 characters") << kId << QByteArray() << kId;
        QTest::newRow("only signs") << QByteArray("+>") << QByteArray() << QByteArray();
    }
    void messageForms() {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, action);
        const Registration r = decodeMessage(message, QDateTime::currentDateTime(), "COM1");
        QCOMPARE(r.lastReg, message);
        QCOMPARE(r.iButtonId, id);
        QCOMPARE(r.action, action);
    }

    void logLineAndMoment() {
        const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5, 900));
        const Registration r = decodeMessage("R" + kId + " O", when, "COM12");
        QCOMPARE(r.dateReg, QByteArray("2026-01-02"));
        QCOMPARE(r.timeReg, QByteArray("03:04:05"));
        QCOMPARE(r.logLine, "2026-01-02 03:04:05,R" + kId + " O,O," + kId + ",COM12\r\n");
    }

    void textEndsAtZeroByteAndKeepsHighBytes() {
        const QByteArray raw("\xfe\x01,\"x\0tail", 9);
        const Registration r = decodeMessage(raw, QDateTime::currentDateTime(), "COM1");
        QCOMPARE(r.lastReg, QByteArray("\xfe\x01,\"x"));
        QCOMPARE(r.action, r.lastReg);
        QVERIFY(r.logLine.contains(",\xfe\x01,\"x,\xfe\x01,\"x,,COM1\r\n"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
