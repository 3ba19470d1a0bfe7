// A controller that goes away and comes back: the port opened again by the reconnect plan once
// the far side returns under the same device link, and nothing left behind by a thousand losses.
#include "boundcontroller.h"
#include "reconnectplan.h"

#include <QDir>
#include <QElapsedTimer>

using namespace std::chrono_literals;

namespace {
int entries(const QString& dir) {
    return int(QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

long rssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool holdsPort(const CVr12Comm& comm) {
    const int state = comm.Control()->linkState();
    return state == vr12comm::LinkBothOpen || state == vr12comm::LinkPortOnly;
}
} // namespace

class TestReconnect : public QObject {
    Q_OBJECT
private slots:
    void waitsDoubleUpToAMinute() {
        QList<qint64> seconds;
        for (int failed = 0; failed <= 6; ++failed)
            seconds << CReconnectPlan::waitAfter(failed).count() / 1000;
        QCOMPARE(seconds, QList<qint64>({2, 4, 8, 16, 32, 60, 60}));
        QCOMPARE(CReconnectPlan::waitAfter(1000), CReconnectPlan::kLongestWait);
    }

    // The far side closes and opens again under the same link (an adapter plugged back): the
    // first try finds it, and a registration after the return arrives.
    void lostLineComesBackOnTheFirstTry() {
        BoundController c;
        QVERIFY(c.bind(3, QStringLiteral("back.txt")));
        CReconnectPlan plan([&c] { return c.comm.Reopen(2); });
        connect(&c.comm, &CVr12Comm::ErrMessage, &plan, [&] {
            if (!holdsPort(c.comm))
                plan.down();
        });
        QSignalSpy back(&plan, &CReconnectPlan::back);
        QElapsedTimer sinceLoss;
        sinceLoss.start();
        c.sim.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(plan.isWaiting(), 1000);
        QCOMPARE(plan.secondsToNextTry(), 2);
        QVERIFY(c.sim.start(TestWorld::instance()->deviceDir(), 3));
        QVERIFY(back.wait(4000));
        QVERIFY2(sinceLoss.elapsed() < 2500, qPrintable(QString::number(sinceLoss.elapsed())));
        QVERIFY(holdsPort(c.comm));
        QVERIFY(!plan.isWaiting());

        QSignalSpy rx(&c.comm, &CVr12Comm::RxMessage);
        c.sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(7)));
        QVERIFY(rx.wait(3000));
        QCOMPARE(c.comm.GetIButtonID(), QString::fromLatin1(Vr12Simulator::mediaIdFor(7)));
    }

    // Each loss is met at once and each reopen gives back the receiver's thread, the old
    // handle and its memory.
    void thousandLossesLeaveNothingBehind() {
        BoundController c;
        QVERIFY(c.bind(4, QStringLiteral("many.txt")));
        QSignalSpy err(&c.comm, &CVr12Comm::ErrMessage);
        auto loseAndReturn = [&] {
            const qsizetype told = err.size();
            c.sim.unplug();
            if (!QTest::qWaitFor([&] { return err.size() > told; }, 3000))
                return false;
            return !holdsPort(c.comm) && c.sim.start(TestWorld::instance()->deviceDir(), 4) &&
                   c.comm.Reopen(3) && holdsPort(c.comm);
        };
        for (int i = 0; i < 20; ++i)
            QVERIFY(loseAndReturn());
        const int threads = entries(QStringLiteral("/proc/self/task"));
        const int fds = entries(QStringLiteral("/proc/self/fd"));
        const long rss = rssKb();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 1000; ++i)
            QVERIFY2(loseAndReturn(), qPrintable(QString::number(i)));
        qInfo("1000 losses and returns in %lld ms, resident memory %+ld KiB", t.elapsed(),
              rssKb() - rss);
        QCOMPARE(entries(QStringLiteral("/proc/self/task")), threads);
        QCOMPARE(entries(QStringLiteral("/proc/self/fd")), fds);
        QVERIFY2(rssKb() - rss < 8 * 1024, qPrintable(QString::number(rssKb() - rss)));

        QSignalSpy rx(&c.comm, &CVr12Comm::RxMessage);
        c.sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(9)));
        QVERIFY(rx.wait(3000));
        QCOMPARE(c.comm.GetIButtonID(), QString::fromLatin1(Vr12Simulator::mediaIdFor(9)));
    }
};

TARVEX_TEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
