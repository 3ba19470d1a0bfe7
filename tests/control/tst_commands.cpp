// Command exchanges that the controller answers at once: status, master,
// parameters, the table listing, erasing and opening the lock.
#include "linkfixture.h"

using namespace vr12comm;
using namespace std::chrono_literals;

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void getStatusKeepsTextFromThirdCharacter() {
        LinkFixture f;
        QVERIFY(f.start());
        QCOMPARE(f.link->firmware(), QByteArray());
        f.sim.setFirmware("VR-12 firmware 2.1");
        QCOMPARE(f.link->getStatus(), GetStatusOk);
        QCOMPARE(f.link->firmware(), QByteArray("VR-12 firmware 2.1"));
        QCOMPARE(f.link->firmware().size(), 18);
        f.sim.setReply('V', "V:");
        QCOMPARE(f.link->getStatus(), GetStatusOk);
        QCOMPARE(f.link->firmware(), QByteArray());
        QVERIFY(f.sim.receivedBytes().endsWith("VV"));
    }

    void showMasterAndReadParams() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setMaster("0123456789ABCDEF");
        QCOMPARE(f.link->showMaster(), QByteArray("0123456789ABCDEF"));
        f.sim.setMaster({});
        QCOMPARE(f.link->showMaster(), QByteArray(kReplyErased));
        f.sim.setFault('M', Vr12Simulator::Fault::ShortBlock, 1);
        QCOMPARE(f.link->showMaster(), QByteArray(kReplyError));
        f.sim.setParams("0507000000000000");
        QCOMPARE(f.link->readParams(), QByteArray("0507000000000000"));
        f.sim.setReply('T', "T:-", {}, 1);
        QCOMPARE(f.link->readParams(), QByteArray(kReplyErased));
    }

    void listingReturnsEveryRecordThenStar() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(5);
        f.sim.setSlot(2, {});
        QByteArray r = f.link->readFirstID();
        QStringList seen;
        while (r.size() == 22) {
            QVERIFY(f.link->commandLock().isHeldByCurrentThread());
            QCOMPARE(r.mid(6, 16), f.sim.slot(r.mid(2, 2).toInt(nullptr, 16)));
            seen << QString::fromLatin1(r.mid(2, 2));
            r = f.link->readNextID();
        }
        QCOMPARE(r, QByteArray(kReplyEndOfTable));
        QCOMPARE(seen, QStringList({"00", "01", "03", "04"}));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        // Outside a listing the line is not read behind the receiver's back.
        QCOMPARE(f.link->readNextID(), QByteArray(kReplyError));
    }

    void restartedListingLeavesNoLockBehind() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(3);
        QCOMPARE(f.link->readFirstID().size(), 22);
        QByteArray r = f.link->readFirstID();
        int records = 0;
        for (; r.size() == 22; r = f.link->readNextID())
            ++records;
        QCOMPARE(records, 3);
        QCOMPARE(r, QByteArray(kReplyEndOfTable));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        f.sim.sendMessage("+OK");
        QVERIFY(rx.wait(3000));
    }

    void listingOfEmptyTableEndsAtOnce() {
        LinkFixture f;
        QVERIFY(f.start());
        QCOMPARE(f.link->readFirstID(), QByteArray(kReplyEndOfTable));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        // The receiver gets the line back.
        f.sim.sendMessage("+OK");
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        QVERIFY(rx.wait(3000));
    }

    void eraseSendsSlotInHex() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(12);
        f.sim.clearReceived();
        QCOMPARE(f.link->eraseID(10), EraseIdOk);
        QCOMPARE(f.sim.receivedBytes(), QByteArray("D0A"));
        QVERIFY(f.sim.slot(10).isEmpty());
        QCOMPARE(f.sim.usedSlots(), 11);
        f.sim.setReply('D', "D>#", "OK!", 1);
        QCOMPARE(f.link->eraseID(3), EraseIdNotConfirmed);
        // Content of the prompt is not examined.
        f.sim.setFault('D', Vr12Simulator::Fault::Garbage, 1);
        QCOMPARE(f.link->eraseID(4), EraseIdOk);
    }

    void eraseRefusesSlotsOutsideTheTable() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(256);
        f.sim.clearReceived();
        QCOMPARE(f.link->eraseID(256), EraseIdNoSlotReply);
        QCOMPARE(f.link->eraseID(-1), EraseIdNoSlotReply);
        QCOMPARE(f.sim.receivedBytes(), QByteArray());
        QCOMPARE(f.sim.usedSlots(), 256);
        QCOMPARE(f.link->eraseID(255), EraseIdOk);
        QCOMPARE(f.sim.receivedBytes(), QByteArray("DFF"));
    }

    void openLockSendsOneByte() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.clearReceived();
        f.link->openLock();
        QTRY_COMPARE(f.sim.lockOpenings(), 1);
        QCOMPARE(f.sim.receivedBytes(), QByteArray("O"));
    }

    // The purge of the next command must not discard a lock byte that is still
    // on its way out.
    void openLockSurvivesTheNextCommand() {
        LinkFixture f;
        QVERIFY(f.start());
        constexpr int kPairs = 50;
        for (int i = 0; i < kPairs; ++i) {
            f.link->openLock();
            QCOMPARE(f.link->getStatus(), GetStatusOk);
        }
        QCOMPARE(f.sim.lockOpenings(), kPairs);
    }

    void purgeDropsUnreadRegistration() {
        LinkFixture f;
        QVERIFY(f.start());
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        // Hold the line so the registration waits unread in the queue.
        f.sim.fillTable(1);
        QCOMPARE(f.link->readFirstID().size(), 22);
        f.sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(7)));
        QTest::qWait(200);
        QCOMPARE(f.link->getStatus(), GetStatusOk);
        QCOMPARE(f.link->firmware(), QByteArray("VR-12 v2.14 ready "));
        QCOMPARE(f.link->readNextID(), QByteArray(kReplyError));
        QTest::qWait(500);
        QCOMPARE(rx.count(), 0);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
