// Exchanges that end on the line's time-outs, and commands without a link.
#include "linkfixture.h"

using namespace vr12comm;
using Fault = Vr12Simulator::Fault;

class TestTimeouts : public QObject {
    Q_OBJECT
private slots:
    void commandsBeforeInitFailAsLockFailures() {
        Vr12Link link;
        QCOMPARE(link.readFirstID(), QByteArray(kReplyBusy));
        QCOMPARE(link.showMaster(), QByteArray(kReplyBusy));
        QCOMPARE(link.readParams(), QByteArray(kReplyBusy));
        QCOMPARE(link.eraseID(1), EraseIdNoReply);
        QCOMPARE(link.addID("0123456789ABCDEF"), IdWriteNoReply);
        QCOMPARE(link.newMaster("0123456789ABCDEF"), IdWriteNoReply);
        QCOMPARE(link.writeParams("0000000000000000"), WriteParamsNoReply);
        QCOMPARE(link.clearTable(), ClearTableNoReply);
        QCOMPARE(link.getStatus(), GetStatusNoReply);
        QVERIFY(!link.destroy());
    }

    void silentListingEndsInError() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('S', Fault::Silent);
        const qint64 ms = timed([&] { QCOMPARE(f.link->readFirstID(), QByteArray(kReplyError)); });
        QVERIFY2(ms >= 1180 && ms < 1180 + 800, qPrintable(QString::number(ms)));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
    }

    void silentMasterIsBusy() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('M', Fault::Silent);
        const qint64 ms = timed([&] { QCOMPARE(f.link->showMaster(), QByteArray(kReplyBusy)); });
        QVERIFY2(ms >= 1020, qPrintable(QString::number(ms)));
        f.sim.setFault('V', Fault::Silent);
        QCOMPARE(f.link->getStatus(), GetStatusNoReply);
        f.sim.setFault('D', Fault::Silent);
        QCOMPARE(f.link->eraseID(5), EraseIdNoReply);
        f.sim.setReply('D', "D>#", {}, 1);
        QCOMPARE(f.link->eraseID(5), EraseIdNoSlotReply);
    }

    void clearTableWaitsThreeSeconds() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(9);
        const qint64 ms = timed([&] { QCOMPARE(f.link->clearTable(), ClearTableOk); });
        QVERIFY2(ms >= 3000 && ms < 3000 + 1200, qPrintable(QString::number(ms)));
        QCOMPARE(f.sim.usedSlots(), 0);
    }

    void clearTableSilentOrGarbage() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setFault('C', Fault::Silent, 1);
        QCOMPARE(f.link->clearTable(), ClearTableNoReply);
        f.sim.setFault('C', Fault::Garbage, 1);
        QCOMPARE(f.link->clearTable(), ClearTableNotConfirmed);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestTimeouts)
#include "tst_timeouts.moc"
