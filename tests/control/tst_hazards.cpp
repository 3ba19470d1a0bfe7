// Both ways the receiver and the owner thread could stall each other. Each
// case hangs (until the test time-out) if its guard is missing.
#include "linkfixture.h"

#include <thread>

using namespace vr12comm;
using namespace std::chrono_literals;

class TestHazards : public QObject {
    Q_OBJECT
private slots:
    // The receiver has passed its run-flag check and waits for the lock, which
    // the owner holds (a listing), when Destroy stops it.
    void destroyWhileReceiverWaitsForLock() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(3);
        QCOMPARE(f.link->readFirstID().size(), 22);
        std::this_thread::sleep_for(800ms);
        QVERIFY(f.link->isReceiverRunning());
        const qint64 ms = timed([&] { QVERIFY(f.link->destroy()); });
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
        QVERIFY(!f.link->isReceiverRunning());
        QCOMPARE(f.link->readNextID(), QByteArray(kReplyError));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
    }

    // The receiver holds the lock and waits for the owner to take a message
    // while the owner, outside its event loop, waits for the lock.
    void commandWhileHandOverPending() {
        LinkFixture f;
        QVERIFY(f.start());
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        f.sim.sendMessage("+OK");
        std::this_thread::sleep_for(900ms); // no events: the hand-over waits
        QCOMPARE(rx.count(), 0);
        QCOMPARE(f.link->getStatus(), GetStatusOk);
        QCOMPARE(rx.count(), 1);
        QCOMPARE(f.link->lastReg(), QByteArray("+OK"));
    }

    void destroyWhileHandOverPending() {
        LinkFixture f;
        QVERIFY(f.start());
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        f.sim.sendMessage("+OK");
        std::this_thread::sleep_for(900ms);
        QVERIFY(f.link->destroy());
        QCOMPARE(rx.count(), 1);
    }

    void releasingControlWithoutDestroy() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.sendMessage("+OK");
        std::this_thread::sleep_for(900ms);
        const qint64 ms = timed([&] { f.link.reset(); });
        QVERIFY(ms < 2000);
    }

    // A handler that calls a command would wait for the receiver that waits
    // for the handler: it gets the lock-failure result instead.
    void commandFromInsideTheHandlerFails() {
        LinkFixture f;
        QVERIFY(f.start());
        GetStatusResult status = GetStatusResult(-5);
        bool destroyed = true;
        connect(f.link.get(), &Vr12Link::rxMessage, this, [&] {
            status = f.link->getStatus();
            destroyed = f.link->destroy();
        });
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        f.sim.sendMessage("+OK");
        QVERIFY(rx.wait(3000));
        QCOMPARE(status, GetStatusNoReply);
        QVERIFY(!destroyed);
        QVERIFY(f.link->isReceiverRunning());
        QCOMPARE(f.link->getStatus(), GetStatusOk);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHazards)
#include "tst_hazards.moc"
