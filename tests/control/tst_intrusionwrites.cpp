// A medium presented while the controller answers a command that changes it.
// A reply mixed with the registration fails; a registration that followed a
// complete reply still reaches the receiver, and nothing else is raised.
#include "linkfixture.h"

using namespace vr12comm;
using namespace std::chrono_literals;
using Injection = Vr12Simulator::Injection;
Q_DECLARE_METATYPE(Injection)

namespace {
const QByteArray kId = "4F00000012AB3401";
const QByteArray kRegistration = Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(9));
const QList<QByteArray> kNothing;
const QList<QByteArray> kTheRegistration{kRegistration};

void addRows(const QByteArray& command) {
    QTest::addColumn<Injection>("injection");
    QTest::addColumn<short>("result");
    QTest::addColumn<QList<QByteArray>>("raised");
    QTest::addRow("%s: in the prompt", command.constData())
        << Injection{kRegistration, 0} << short(command == "J" ? 4 : 3) << kNothing;
    QTest::addRow("%s: before the confirmation", command.constData())
        << Injection{kRegistration, 0, 1} << short(command == "J" ? 4 : 5) << kNothing;
    QTest::addRow("%s: inside the confirmation", command.constData())
        << Injection{kRegistration, 8, 1} << short(command == "J" ? 4 : 5) << kNothing;
    QTest::addRow("%s: right after the confirmation", command.constData())
        << Injection{kRegistration, 19, 1} << short(command == "J" ? 4 : 5) << kTheRegistration;
    // Past the pause before the confirmation is read: an ordinary registration.
    QTest::addRow("%s: after a pause", command.constData())
        << Injection{kRegistration, 19, 1, 800ms} << short(0) << kTheRegistration;
}

} // namespace

class TestIntrusionWrites : public QObject {
    Q_OBJECT
private slots:
    void addId_data() { addRows("A"); }
    void addId() {
        QFETCH(Injection, injection);
        QFETCH(short, result);
        QFETCH(QList<QByteArray>, raised);
        LinkFixture f;
        QVERIFY(f.start());
        Raised seen(f.link.get());
        f.sim.inject('A', injection);
        QCOMPARE(f.link->addID(kId), result);
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        QCOMPARE(seen.settle(f.sim, raised.size()), raised);
    }

    void writeParams_data() { addRows("J"); }
    void writeParams() {
        QFETCH(Injection, injection);
        QFETCH(short, result);
        QFETCH(QList<QByteArray>, raised);
        LinkFixture f;
        QVERIFY(f.start());
        Raised seen(f.link.get());
        f.sim.inject('J', injection);
        QCOMPARE(f.link->writeParams("0406000000000000"), result);
        QCOMPARE(seen.settle(f.sim, raised.size()), raised);
    }

    void eraseId() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(4);
        Raised seen(f.link.get());
        f.sim.inject('D', {kRegistration, 0, 1});
        QCOMPARE(f.link->eraseID(1), short(3));
        QCOMPARE(seen.settle(f.sim, 0), kNothing);
        f.sim.inject('D', {kRegistration, 3, 1});
        QCOMPARE(f.link->eraseID(2), short(3));
        QCOMPARE(seen.settle(f.sim, 1), kTheRegistration);
        QCOMPARE(f.link->eraseID(3), short(0));
    }

    void clearTable() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(4);
        Raised seen(f.link.get());
        f.sim.inject('C', {kRegistration, 1});
        QCOMPARE(f.link->clearTable(), short(2));
        QCOMPARE(seen.settle(f.sim, 1), kTheRegistration);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestIntrusionWrites)
#include "tst_intrusionwrites.moc"
