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
        qint64 ms = timed([&] { QCOMPARE(f.link->addID(kId + "trailing"), IdWriteOk); });
        QVERIFY(ms >= 500);
        QCOMPARE(f.sim.receivedBytes(), "A" + kId);
        QCOMPARE(f.sim.slot(0), kId);
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        // Already present: the controller says "d".
        QCOMPARE(f.link->addID(kId), IdWriteAlreadyInTable);
    }

    void addIdJudgesEveryStep_data() {
        QTest::addColumn<QByteArray>("prompt");
        QTest::addColumn<QByteArray>("confirmation");
        QTest::addColumn<IdWriteResult>("result");
        const QByteArray ok = kId + " a*";
        QTest::newRow("silent") << QByteArray() << ok << IdWriteNoReply;
        QTest::newRow("short prompt") << QByteArray("A>") << ok << IdWriteShortPrompt;
        QTest::newRow("wrong prompt") << QByteArray("A>!") << ok << IdWriteWrongPrompt;
        QTest::newRow("no confirmation")
            << QByteArray("A>#") << QByteArray() << IdWriteNoConfirmation;
        QTest::newRow("short confirmation")
            << QByteArray("A>#") << kId + " a" << IdWriteShortConfirmation;
        QTest::newRow("no space") << QByteArray("A>#") << kId + "_a*" << IdWriteGarbled;
        QTest::newRow("d with star") << QByteArray("A>#") << kId + " d*" << IdWriteAlreadyInTable;
        QTest::newRow("x with star") << QByteArray("A>#") << kId + " x*" << IdWriteRefused;
        QTest::newRow("a without star") << QByteArray("A>#") << kId + " a!" << IdWriteRefused;
    }
    void addIdJudgesEveryStep() {
        QFETCH(QByteArray, prompt);
        QFETCH(QByteArray, confirmation);
        QFETCH(IdWriteResult, result);
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
        QCOMPARE(f.link->addID("0123456789ABCDE"), IdWriteNotSent);
        QCOMPARE(f.link->newMaster(""), IdWriteNotSent);
        QCOMPARE(f.link->writeParams("0102"), WriteParamsNotSent);
        QCOMPARE(f.sim.receivedBytes(), QByteArray());
    }

    void newMasterJudgesOnlyLetterD() {
        LinkFixture f;
        QVERIFY(f.start());
        QCOMPARE(f.link->newMaster(kId), IdWriteOk);
        QCOMPARE(f.sim.master(), kId);
        f.sim.setReply('N', "N>#", kId + " x*", 1);
        QCOMPARE(f.link->newMaster(kId), IdWriteOk);
        f.sim.setReply('N', "N>#", kId + " d*", 1);
        QCOMPARE(f.link->newMaster(kId), IdWriteRefused);
        f.sim.setReply('N', "N>#", kId + " m-", 1);
        QCOMPARE(f.link->newMaster(kId), IdWriteRefused);
        f.sim.setFault('N', Fault::WrongPrompt, 1);
        QCOMPARE(f.link->newMaster(kId), IdWriteWrongPrompt);
    }

    void writeParamsIgnoresPromptContent() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('J', Fault::WrongPrompt, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), WriteParamsOk);
        QCOMPARE(f.sim.params(), QByteArray("0406000000000000"));
        f.sim.setFault('J', Fault::ShortBlock, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), WriteParamsShortPrompt);
        f.sim.setReply('J', "J>#", "0406000000000000 a-", 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), WriteParamsNotConfirmed);
        f.sim.setFault('J', Fault::Silent, 1);
        QCOMPARE(f.link->writeParams("0406000000000000"), WriteParamsNoReply);
    }

    void statusLetterDOnceThenNormal() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('A', Fault::StatusD, 1);
        QCOMPARE(f.link->addID(kId), IdWriteAlreadyInTable);
        QCOMPARE(f.link->addID(kId), IdWriteOk);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestPayload)
#include "tst_payload.moc"
