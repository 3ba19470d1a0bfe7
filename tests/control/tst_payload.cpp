// AddID, NewMaster and WriteParams: prompt, 16-byte payload and confirmation.
#include "linkfixture.h"

using namespace vr12comm;
using Fault = Vr12Simulator::Fault;

namespace {
const QByteArray kId = "4F00000012AB3401";
}

class TestPayload : public QObject {
    Q_OBJECT
private slots:
    void addIdStoresTheId() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.clearReceived();
        qint64 ms = timed([&] { QCOMPARE(f.link->addID(kId + "trailing"), short(0)); });
        QVERIFY(ms >= 500);
        QCOMPARE(f.sim.receivedBytes(), "A" + kId);
        QCOMPARE(f.sim.slot(0), kId);
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        // Already present: the controller says "d".
        QCOMPARE(f.link->addID(kId), short(10));
    }

    void addIdJudgesEveryStep_data() {
        QTest::addColumn<QByteArray>("prompt");
        QTest::addColumn<QByteArray>("confirmation");
        QTest::addColumn<short>("result");
        const QByteArray ok = kId + " a*";
        QTest::newRow("silent") << QByteArray() << ok << short(1);
        QTest::newRow("short prompt") << QByteArray("A>") << ok << short(2);
        QTest::newRow("wrong prompt") << QByteArray("A>!") << ok << short(3);
        QTest::newRow("no confirmation") << QByteArray("A>#") << QByteArray() << short(4);
        QTest::newRow("short confirmation") << QByteArray("A>#") << kId + " a" << short(5);
        QTest::newRow("no space") << QByteArray("A>#") << kId + "_a*" << short(7);
        QTest::newRow("d with star") << QByteArray("A>#") << kId + " d*" << short(10);
        QTest::newRow("x with star") << QByteArray("A>#") << kId + " x*" << short(6);
        QTest::newRow("a without star") << QByteArray("A>#") << kId + " a!" << short(6);
    }
    void addIdJudgesEveryStep() {
        QFETCH(QByteArray, prompt);
        QFETCH(QByteArray, confirmation);
        QFETCH(short, result);
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setReply('A', prompt, confirmation, 1);
        QCOMPARE(f.link->addID(kId), result);
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
    }

    void shortPayloadIsRefusedWithoutTraffic() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.clearReceived();
        QCOMPARE(f.link->addID("0123456789ABCDE"), short(100));
        QCOMPARE(f.link->newMaster(""), short(100));
        QCOMPARE(f.link->writeParams("0102"), short(3));
        QCOMPARE(f.sim.receivedBytes(), QByteArray());
    }

    void newMasterJudgesOnlyLetterD() {
        LinkFixture f;
        QVERIFY(f.start());
        QCOMPARE(f.link->newMaster(kId), short(0));
        QCOMPARE(f.sim.master(), kId);
        f.sim.setReply('N', "N>#", kId + " x*", 1);
        QCOMPARE(f.link->newMaster(kId), short(0));
        f.sim.setReply('N', "N>#", kId + " d*", 1);
        QCOMPARE(f.link->newMaster(kId), short(6));
        f.sim.setReply('N', "N>#", kId + " m-", 1);
        QCOMPARE(f.link->newMaster(kId), short(6));
        f.sim.setFault('N', Fault::WrongPrompt, 1);
        QCOMPARE(f.link->newMaster(kId), short(3));
    }

    void writeParamsIgnoresPromptContent() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('J', Fault::WrongPrompt, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), short(0));
        QCOMPARE(f.sim.params(), QByteArray("0406000000000000"));
        f.sim.setFault('J', Fault::ShortBlock, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), short(2));
        f.sim.setReply('J', "J>#", "0406000000000000 a-", 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), short(4));
        f.sim.setFault('J', Fault::Silent, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), short(1));
    }

    void statusLetterDOnceThenNormal() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('A', Fault::StatusD, 1);
        QCOMPARE(f.link->addID(kId), short(10));
        QCOMPARE(f.link->addID(kId), short(0));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestPayload)
#include "tst_payload.moc"
