// Binding controllers as the program does: one control per controller form, its log file
// named first, then Init with the port number minus 1.
#include "boundcontroller.h"

#include <QApplication>
#include <QDir>

using namespace vr12comm;

class TestBinding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void com1IsInitZero() {
        Vr12Simulator other; // COM2 must stay untouched
        QVERIFY(other.start(TestWorld::instance()->deviceDir(), 2));
        BoundController c;
        QVERIFY(c.create(1, "com1.txt"));
        QVERIFY(c.comm.IsLinked());
        QVERIFY(c.comm.Widget());
        QSignalSpy rx(&c.comm, &CVr12Comm::RxMessage);
        QVERIFY2(c.comm.Init(0), qPrintable(c.comm.Control()->lastLinkError()));
        QCOMPARE(c.comm.Control()->linkState(), int(LinkBothOpen));
        QCOMPARE(c.comm.GetStatus(), GetStatusOk);
        QVERIFY(!c.sim.receivedBytes().isEmpty());
        QVERIFY(other.receivedBytes().isEmpty());

        const QByteArray id = Vr12Simulator::mediaIdFor(3);
        c.sim.sendMessage(Vr12Simulator::registrationFor(id));
        QTRY_COMPARE_WITH_TIMEOUT(rx.count(), 1, 3000);
        QCOMPARE(c.comm.GetIButtonID(), QString::fromLatin1(id));
        QCOMPARE(c.comm.GetAction(), QStringLiteral("O"));
        QCOMPARE(c.comm.GetLastReg(), QString::fromLatin1(Vr12Simulator::registrationFor(id)));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(c.log).contains(",COM1\r\n"), 3000);
        QVERIFY(c.comm.ErrorText().isEmpty());
        QVERIFY(c.comm.Destroy());
    }

    void twoControllersRunIndependently() {
        BoundController a, b;
        QVERIFY(a.bind(2, "a.txt"));
        QVERIFY(b.bind(3, "b.txt"));
        QVERIFY(a.comm.Control() != b.comm.Control());
        QSignalSpy rxA(&a.comm, &CVr12Comm::RxMessage);
        QSignalSpy rxB(&b.comm, &CVr12Comm::RxMessage);
        const QByteArray idA = Vr12Simulator::mediaIdFor(10);
        const QByteArray idB = Vr12Simulator::mediaIdFor(11);
        a.sim.sendMessage(Vr12Simulator::registrationFor(idA));
        b.sim.sendMessage(Vr12Simulator::registrationFor(idB));
        QTRY_VERIFY_WITH_TIMEOUT(rxA.count() == 1 && rxB.count() == 1, 3000);
        QCOMPARE(a.comm.GetIButtonID(), QString::fromLatin1(idA));
        QCOMPARE(b.comm.GetIButtonID(), QString::fromLatin1(idB));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(a.log).contains(idA + ",COM2\r\n"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(b.log).contains(idB + ",COM3\r\n"), 3000);
        QVERIFY(!fileBytes(a.log).contains(idB));
        QVERIFY(!fileBytes(b.log).contains(idA));

        // Stopping one leaves the other receiving.
        QVERIFY(a.comm.Destroy());
        const QByteArray idB2 = Vr12Simulator::mediaIdFor(12);
        b.sim.sendMessage(Vr12Simulator::registrationFor(idB2));
        QTRY_COMPARE_WITH_TIMEOUT(rxB.count(), 2, 3000);
        QCOMPARE(b.comm.GetIButtonID(), QString::fromLatin1(idB2));
        QCOMPARE(rxA.count(), 1);
    }

    void newLogFileWithoutNewInit() {
        BoundController c;
        QVERIFY(c.bind(4, "before.txt"));
        QSignalSpy rx(&c.comm, &CVr12Comm::RxMessage);
        const QByteArray first = Vr12Simulator::mediaIdFor(20);
        c.sim.sendMessage(Vr12Simulator::registrationFor(first));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(c.log).contains(first), 3000);

        // The new file already holds a line: the log continues after it.
        const QString after = TestWorld::instance()->path("after.txt");
        writeBytes(after, "earlier line\r\n");
        c.comm.SetAsciiFileName(after);
        QCOMPARE(c.comm.GetAsciiFileName(), after);
        QCOMPARE(c.comm.Control()->linkState(), int(LinkBothOpen));
        const QByteArray second = Vr12Simulator::mediaIdFor(21);
        c.sim.sendMessage(Vr12Simulator::registrationFor(second));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(after).contains(second), 3000);
        const QByteArray moved = fileBytes(after);
        QVERIFY(moved.startsWith("earlier line\r\n"));
        QCOMPARE(moved.count('\n'), 2);
        QVERIFY(!fileBytes(c.log).contains(second));
        QCOMPARE(rx.count(), 2);
    }

    void logFolderMissing() {
        BoundController c;
        QVERIFY(c.create(5, "absent/reg.txt"));
        QSignalSpy err(&c.comm, &CVr12Comm::ErrMessage);
        QVERIFY(!c.comm.Init(4));
        QCOMPARE(err.count(), 1);
        QVERIFY(c.comm.Control()->lastLinkError().contains("absent/reg.txt"));
        // A result of the control, not a failed call.
        QVERIFY(c.comm.ErrorText().isEmpty());
    }
};

TARVEX_TEST_MAIN(TestBinding)
#include "tst_binding.moc"
