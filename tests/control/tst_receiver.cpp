// The receiver end to end: framing by silence, the 99-character cut, the log
// file, several controls side by side and a line that goes away.
#include "linkfixture.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>

#include <ctime>

using namespace vr12comm;
using namespace std::chrono_literals;

namespace {
double processCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}
} // namespace

class TestReceiver : public QObject {
    Q_OBJECT
private slots:
    void registrationRaisesEventThenLogs() {
        LinkFixture f;
        QVERIFY(f.start(1, "regs-a.txt"));
        const QByteArray id = Vr12Simulator::mediaIdFor(4);
        QByteArray logAtEvent = "unset";
        connect(f.link.get(), &Vr12Link::rxMessage, this,
                [&] { logAtEvent = fileBytes(TestWorld::instance()->path("regs-a.txt")); });
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        QElapsedTimer t;
        t.start();
        f.sim.sendMessage(Vr12Simulator::registrationFor(id));
        QVERIFY(rx.wait(3000));
        QVERIFY2(t.elapsed() >= 340, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(f.link->lastReg(), Vr12Simulator::registrationFor(id));
        QCOMPARE(f.link->iButtonId(), id);
        QCOMPARE(f.link->action(), QByteArray("O"));
        QCOMPARE(f.link->dateReg(), QDate::currentDate().toString("yyyy-MM-dd").toLatin1());
        QCOMPARE(f.link->timeReg().size(), 8);
        // The handler runs before the line is written.
        QCOMPARE(logAtEvent, QByteArray());
        const QByteArray log = fileBytes(TestWorld::instance()->path("regs-a.txt"));
        QCOMPARE(log, f.link->dateReg() + ' ' + f.link->timeReg() + ",R" + id + " O,O," + id +
                          ",COM1\r\n");
    }

    void closeMessagesMergeAndLongOnesAreCut() {
        LinkFixture f;
        QVERIFY(f.start());
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        QList<QByteArray> got;
        connect(f.link.get(), &Vr12Link::rxMessage, this, [&] { got << f.link->lastReg(); });
        f.sim.sendMessage("+OK");
        QTest::qWait(100);
        f.sim.sendMessage("+E1");
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 3000);
        QTest::qWait(500);
        QCOMPARE(got, QList<QByteArray>{"+OK+E1"});

        got.clear();
        QByteArray flood;
        for (int i = 0; i < 150; ++i)
            flood += char('a' + i % 26);
        f.sim.sendMessage(flood);
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 2, 4000);
        QCOMPARE(got.at(0), flood.left(99));
        QCOMPARE(got.at(1), flood.mid(99));
    }

    void zeroBytesEndTheText() {
        LinkFixture f;
        QVERIFY(f.start());
        QList<QByteArray> got;
        connect(f.link.get(), &Vr12Link::rxMessage, this, [&] { got << f.link->lastReg(); });
        f.sim.sendMessage(QByteArray("\0\0\0", 3));
        QTest::qWait(800);
        f.sim.sendMessage(QByteArray("AB\0CD", 5));
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 3000);
        QCOMPARE(got.at(0), QByteArray("AB"));
        QCOMPARE(f.link->action(), QByteArray("AB"));
    }

    void initFailures() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 2));
        {
            Vr12Link link;
            QSignalSpy err(&link, &Vr12Link::errMessage);
            link.restoreAsciiFileName(TestWorld::instance()->path("no/such/folder/reg.txt"));
            QVERIFY(!link.init(1));
            QCOMPARE(link.linkState(), 0);
            QVERIFY(!link.isReceiverRunning());
            QCOMPARE(err.count(), 1);
            QVERIFY(!link.destroy());
        }
        {
            Vr12Link link;
            link.restoreAsciiFileName(TestWorld::instance()->path("reg-b.txt"));
            QVERIFY(!link.init(199)); // COM200: no link, no /dev/ttyS199
            QCOMPARE(link.linkState(), 1);
            QVERIFY(link.isLogOpen());
            QVERIFY(link.lastError().contains("COM200"));
            QVERIFY(link.init(1)); // COM2
            QCOMPARE(link.linkState(), 3);
            QCOMPARE(link.portName(), QStringLiteral("COM2"));
            // A second Init would put a second receiver on the same line.
            QVERIFY(!link.init(1));
            // A port held by another control is busy.
            Vr12Link other;
            other.restoreAsciiFileName(TestWorld::instance()->path("reg-c.txt"));
            QVERIFY(!other.init(1));
            QCOMPARE(other.linkState(), 1);
            QVERIFY(other.lastError().contains("busy"));
            QVERIFY(link.destroy());
            QCOMPARE(link.linkState(), 1);
            QVERIFY(!link.isLogOpen());
            QVERIFY(other.init(1));
            QVERIFY(other.destroy());
        }
    }

    void renamedLogContinuesInNewFile() {
        LinkFixture f;
        QVERIFY(f.start(1, "first.txt"));
        writeBytes(TestWorld::instance()->path("second.txt"), "kept\r\n");
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        QSignalSpy err(f.link.get(), &Vr12Link::errMessage);
        f.sim.sendMessage("+A1");
        QVERIFY(rx.wait(3000));
        f.link->setAsciiFileName(TestWorld::instance()->path("second.txt"));
        f.sim.sendMessage("+A2");
        QVERIFY(rx.wait(3000));
        QVERIFY(fileBytes(TestWorld::instance()->path("first.txt")).contains(",+A1,A1,,COM1\r\n"));
        const QByteArray second = fileBytes(TestWorld::instance()->path("second.txt"));
        QVERIFY(second.startsWith("kept\r\n"));
        QVERIFY(second.endsWith(",+A2,A2,,COM1\r\n"));
        // A name that cannot be opened: the event, no log, registrations go on.
        f.link->setAsciiFileName(TestWorld::instance()->path("missing/x.txt"));
        QCOMPARE(err.count(), 1);
        f.sim.sendMessage("+A3");
        QVERIFY(rx.wait(3000));
        QCOMPARE(f.link->lastReg(), QByteArray("+A3"));
    }

    // A registrations file that stops taking lines: every lost line raises ErrMessage with its
    // reason, the picture crosses the folder, and the file is tried again with the next
    // registration. Permissions do not stop root, so the folder is a regular file (an open
    // fails for anyone) and the full disk is /dev/full (a write fails for anyone).
    void lostLinesAreToldAndTheFileTriedAgain() {
        LinkFixture f;
        QVERIFY(f.start(7, "before.txt"));
        QSignalSpy rx(f.link.get(), &Vr12Link::rxMessage);
        QSignalSpy err(f.link.get(), &Vr12Link::errMessage);
        const QString folder = TestWorld::instance()->path("month-folder");
        QDir(folder).removeRecursively();
        writeBytes(folder, "a file where the folder should be");
        const QString file = folder + "/regs.txt";

        f.link->setAsciiFileName(file);
        QCOMPARE(err.size(), 1);
        QVERIFY2(f.link->logError().contains(file), qPrintable(f.link->logError()));
        QCOMPARE(f.link->linkState(), int(Vr12Link::PortOnly));
        f.sim.sendMessage("+L1");
        QVERIFY(rx.wait(3000));
        // The event came, then the line was lost and told.
        QTRY_COMPARE(err.size(), 2);
        QVERIFY(f.link->logError().contains(file));
        QCOMPARE(f.link->linkState(), int(Vr12Link::PortOnly));

        // The folder takes files again: the next registration opens the file and goes in.
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        f.sim.sendMessage("+L2");
        QVERIFY(rx.wait(3000));
        QTRY_VERIFY(fileBytes(file).endsWith(",+L2,L2,,COM7\r\n"));
        QCOMPARE(err.size(), 2);
        QCOMPARE(f.link->logError(), QString());
        QCOMPARE(f.link->linkState(), int(Vr12Link::BothOpen));
        QVERIFY(!fileBytes(file).contains("+L1"));

        // A file that opens but takes no line.
        f.link->setAsciiFileName(QStringLiteral("/dev/full"));
        QCOMPARE(err.size(), 2);
        QCOMPARE(f.link->linkState(), int(Vr12Link::BothOpen));
        f.sim.sendMessage("+L3");
        QVERIFY(rx.wait(3000));
        QTRY_COMPARE(err.size(), 3);
        QVERIFY2(f.link->logError().contains("/dev/full"), qPrintable(f.link->logError()));
        QCOMPARE(f.link->linkState(), int(Vr12Link::PortOnly));
        f.link->setAsciiFileName(file);
        QCOMPARE(f.link->logError(), QString());
        QCOMPARE(f.link->linkState(), int(Vr12Link::BothOpen));
        QCOMPARE(err.size(), 3);
    }

    void destroyingOneControlLeavesOthersRunning() {
        LinkFixture a, b;
        QVERIFY(a.start(3, "a.txt"));
        QVERIFY(b.start(4, "b.txt"));
        QVERIFY(a.link->destroy());
        QSignalSpy rx(b.link.get(), &Vr12Link::rxMessage);
        b.sim.sendMessage("+B");
        QVERIFY(rx.wait(3000));
        QCOMPARE(b.link->lastReg(), QByteArray("+B"));
        QVERIFY(!a.link->isReceiverRunning());
    }

    void unpluggedLineNeitherSpinsNorHangs() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(40);
        QCOMPARE(f.link->readFirstID().size(), 22);
        f.sim.unplug();
        QByteArray r = f.link->readNextID();
        int n = 0;
        while (r.size() == 22 && n++ < 60)
            r = f.link->readNextID();
        QVERIFY(r == kReplyError || r == kReplyEndOfTable);
        const double cpu0 = processCpuMs();
        QTest::qWait(1500);
        QVERIFY2(processCpuMs() - cpu0 < 150, qPrintable(QString::number(processCpuMs() - cpu0)));
        QCOMPARE(f.link->getStatus(), GetStatusNoReply);
        QCOMPARE(f.link->showMaster(), QByteArray(kReplyBusy));
        const qint64 ms = timed([&] { QVERIFY(f.link->destroy()); });
        QVERIFY(ms < 2000);
    }

    void lostLineIsReportedAndOthersKeepWorking() {
        LinkFixture a, b;
        QVERIFY(a.start(5, "lost-a.txt"));
        QVERIFY(b.start(6, "lost-b.txt"));
        QSignalSpy err(a.link.get(), &Vr12Link::errMessage);
        QSignalSpy states(a.link.get(), &Vr12Link::linkStateChanged);
        QElapsedTimer t;
        t.start();
        a.sim.unplug();
        // The receiver meets the hang-up within one idle pass.
        QVERIFY(err.wait(3000));
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(a.link->linkState(), int(Vr12Link::LogOnly));
        QCOMPARE(states.size(), 1);
        QVERIFY2(a.link->lastError().contains("COM5"), qPrintable(a.link->lastError()));
        QTest::qWait(800);
        QCOMPARE(err.size(), 1); // told once, not on every pass

        const double cpu0 = processCpuMs();
        QTest::qWait(1000);
        const double cpu = processCpuMs() - cpu0;
        QVERIFY2(cpu < 150, qPrintable(QString::number(cpu)));

        // Commands on the dead line give their no-reply results within their time-outs.
        QCOMPARE(a.link->getStatus(), GetStatusNoReply);
        QVERIFY(timed([&] { QCOMPARE(a.link->readFirstID(), QByteArray(kReplyError)); }) < 2500);

        QSignalSpy rx(b.link.get(), &Vr12Link::rxMessage);
        b.sim.sendMessage("+B6");
        QVERIFY(rx.wait(3000));
        QCOMPARE(b.link->lastReg(), QByteArray("+B6"));
        QCOMPARE(b.link->linkState(), int(Vr12Link::BothOpen));
        QCOMPARE(b.link->getStatus(), GetStatusOk);

        QVERIFY(timed([&] { QVERIFY(a.link->destroy()); }) < 2000);
        QCOMPARE(a.link->linkState(), int(Vr12Link::LogOnly));
        QVERIFY(!a.link->isReceiverRunning());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
