// A medium presented while the controller answers a read: its registration
// falls into the reply. The reply must then fail, and neither the reply's
// remains nor the registration's may be raised as a registration.
#include "linkfixture.h"

using namespace vr12comm;
using namespace std::chrono_literals;
using Injection = Vr12Simulator::Injection;
Q_DECLARE_METATYPE(Injection)

namespace {
const QByteArray kMaster = "7E0000001A2B3C01";
const QByteArray kVisitor = Vr12Simulator::mediaIdFor(9);
const QByteArray kRegistration = Vr12Simulator::registrationFor(kVisitor);
// A reader that reports only "R" and the media ID.
const QByteArray kBareRegistration = "R" + kVisitor;

QList<QByteArray> readTable(Vr12Link& link, QByteArray* end) {
    QList<QByteArray> records;
    QByteArray r = link.readFirstID();
    for (; r.size() == 22; r = link.readNextID())
        records << r;
    *end = r;
    return records;
}
} // namespace

class TestIntrusionReads : public QObject {
    Q_OBJECT
private slots:
    void showMaster_data() {
        QTest::addColumn<Injection>("injection");
        // "R" + ID + "M" would be returned as a master; ":" + master is then
        // a 17-character registration of the master's own ID.
        QTest::newRow("before the reply") << Injection{kBareRegistration, 0};
        QTest::newRow("after one byte") << Injection{kRegistration, 1};
        QTest::newRow("after the prefix") << Injection{kRegistration, 2};
        QTest::newRow("right after the reply") << Injection{kRegistration, 18};
        QTest::newRow("after a pause") << Injection{kRegistration, 2, 0, 150ms};
    }
    void showMaster() {
        QFETCH(Injection, injection);
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setMaster(kMaster);
        Raised raised(f.link.get());
        f.sim.inject('M', injection);
        QCOMPARE(f.link->showMaster(), QByteArray(kReplyError));
        QCOMPARE(raised.settle(f.sim), QList<QByteArray>());
        QCOMPARE(f.link->showMaster(), kMaster);
    }

    void readParams_data() {
        QTest::addColumn<Injection>("injection");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QList<QByteArray>>("raised");
        QTest::newRow("after the prefix")
            << Injection{kRegistration, 2} << QByteArray(kReplyError) << QList<QByteArray>();
        // A whole record came first: it stands, and what follows is a registration.
        QTest::newRow("right after the reply")
            << Injection{kRegistration, 18} << QByteArray("0402000000000000")
            << QList<QByteArray>{kRegistration};
        // The read gets exactly 18 bytes and the line then pauses: only the
        // record's fixed zeros show it is not a reply.
        QTest::newRow("filling the read") << Injection{kBareRegistration, 1, 0, 0ms, 150ms}
                                          << QByteArray(kReplyError) << QList<QByteArray>();
    }
    void readParams() {
        QFETCH(Injection, injection);
        QFETCH(QByteArray, result);
        QFETCH(QList<QByteArray>, raised);
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setParams("0402000000000000");
        Raised seen(f.link.get());
        f.sim.inject('T', injection);
        QCOMPARE(f.link->readParams(), result);
        QCOMPARE(seen.settle(f.sim, raised.size()), raised);
        QCOMPARE(f.link->readParams(), QByteArray("0402000000000000"));
    }

    void parameterRecordMustBeDigitsAndZeros() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.setReply('T', "T:0402000000000001", {}, 1);
        QCOMPARE(f.link->readParams(), QByteArray(kReplyError));
        f.sim.setReply('T', "T:04 2000000000000", {}, 1);
        QCOMPARE(f.link->readParams(), QByteArray(kReplyError));
        f.sim.setReply('T', "T:0702000000000000", {}, 1);
        QCOMPARE(f.link->readParams(), QByteArray("0702000000000000"));
    }

    void tableListing_data() {
        QTest::addColumn<Injection>("injection");
        QTest::addColumn<int>("atMost");
        // Records after it are out of step: their slot is no longer hex.
        QTest::newRow("between records") << Injection{kRegistration, 2 * 22} << 3;
        QTest::newRow("before the first record") << Injection{kRegistration, 0} << 1;
        // The controller stops inside a record to report: the short block is
        // not the end of the table.
        QTest::newRow("pause inside a record") << Injection{kRegistration, 22 + 8, 0, 150ms} << 1;
    }
    void tableListing() {
        QFETCH(Injection, injection);
        QFETCH(int, atMost);
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(5);
        Raised raised(f.link.get());
        f.sim.inject('S', injection);
        QByteArray end;
        const QList<QByteArray> records = readTable(*f.link, &end);
        QCOMPARE(end, QByteArray(kReplyError));
        QVERIFY2(records.size() <= atMost, qPrintable(QString::number(records.size())));
        QVERIFY(!f.link->commandLock().isHeldByCurrentThread());
        QCOMPARE(raised.settle(f.sim), QList<QByteArray>());
        QCOMPARE(readTable(*f.link, &end).size(), 5);
        QCOMPARE(end, QByteArray(kReplyEndOfTable));
    }

    void getStatus() {
        LinkFixture f;
        QVERIFY(f.start());
        Raised raised(f.link.get());
        f.sim.inject('V', {kRegistration, 0});
        QCOMPARE(f.link->getStatus(), GetStatusNoReply);
        QCOMPARE(f.link->firmware(), QByteArray());
        QCOMPARE(raised.settle(f.sim), QList<QByteArray>());
        QCOMPARE(f.link->getStatus(), GetStatusOk);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestIntrusionReads)
#include "tst_intrusionreads.moc"
