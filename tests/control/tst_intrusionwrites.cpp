// A medium presented while the controller answers a command that changes it.
// A reply mixed with the registration fails; a complete reply followed by the
// registration stands, the registration still reaches the receiver, and nothing
// else is raised.
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
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<QByteArray>>("raised");
    QTest::addRow("%s: in the prompt", command.constData())
        << Injection{kRegistration, 0}
        << (command == "J" ? int(WriteParamsNotConfirmed) : int(IdWriteWrongPrompt)) << kNothing;
    QTest::addRow("%s: before the confirmation", command.constData())
        << Injection{kRegistration, 0, 1}
        << (command == "J" ? int(WriteParamsNotConfirmed) : int(IdWriteShortConfirmation))
        << kNothing;
    QTest::addRow("%s: inside the confirmation", command.constData())
        << Injection{kRegistration, 8, 1}
        << (command == "J" ? int(WriteParamsNotConfirmed) : int(IdWriteShortConfirmation))
        << kNothing;
    QTest::addRow("%s: right after the confirmation", command.constData())
        << Injection{kRegistration, 19, 1} << int(IdWriteOk) << kTheRegistration;
    // Past the pause before the confirmation is read: an ordinary registration.
    QTest::addRow("%s: after a pause", command.constData())
        << Injection{kRegistration, 19, 1, 800ms} << int(IdWriteOk) << kTheRegistration;
}

} // namespace

class TestIntrusionWrites : public QObject {
    Q_OBJECT
private slots:
    void addId_data() { addRows("A"); }
    void addId() {
        QFETCH(Injection, injection);
        QFETCH(int, result);
        QFETCH(QList<QByteArray>, raised);
        LinkFixture f;
        QVERIFY(f.start());
        Raised seen(f.link.get());
        f.sim.inject('A', injection);
        QCOMPARE(int(f.link->addID(kId)), result);
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        QCOMPARE(seen.settle(f.sim, raised.size()), raised);
    }

    void writeParams_data() { addRows("J"); }
    void writeParams() {
        QFETCH(Injection, injection);
        QFETCH(int, result);
        QFETCH(QList<QByteArray>, raised);
        LinkFixture f;
        QVERIFY(f.start());
        Raised seen(f.link.get());
        f.sim.inject('J', injection);
        QCOMPARE(int(f.link->writeParams("0406000000000000")), result);
        QCOMPARE(seen.settle(f.sim, raised.size()), raised);
    }

    void eraseId() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(4);
        Raised seen(f.link.get());
        f.sim.inject('D', {kRegistration, 0, 1});
        QCOMPARE(f.link->eraseID(1), EraseIdNotConfirmed);
        QCOMPARE(seen.settle(f.sim, 0), kNothing);
        f.sim.inject('D', {kRegistration, 3, 1});
        QCOMPARE(f.link->eraseID(2), EraseIdOk);
        QCOMPARE(seen.settle(f.sim, 1), kTheRegistration);
        QCOMPARE(f.link->eraseID(3), EraseIdOk);
    }

    void clearTable() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(4);
        Raised seen(f.link.get());
        f.sim.inject('C', {kRegistration, 1});
        QCOMPARE(f.link->clearTable(), ClearTableOk);
        QCOMPARE(seen.settle(f.sim, 1), kTheRegistration);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestIntrusionWrites)
#include "tst_intrusionwrites.moc"
