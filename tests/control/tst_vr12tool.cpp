// The vr12 command-line tool: output lines and exit statuses that other
// checks rely on.
#include "processrun.h"
#include "testfiles.h"
#include "testworld.h"
#include "vr12simulator.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct Run {
    int status = -1;
    QList<QByteArray> out;
    QList<QByteArray> err;
};

QList<QByteArray> lines(const QByteArray& text) {
    QList<QByteArray> l = text.split('\n');
    if (l.last().isEmpty())
        l.removeLast();
    return l;
}

Run vr12(const QStringList& args, int timeoutMs = 15000) {
    const ProcessRun p =
        runProgram(QStringLiteral("vr12"), args, timeoutMs, TestWorld::instance()->root());
    Run r;
    if (!p.finished)
        return r;
    r.status = p.exitCode;
    r.out = lines(p.out);
    r.err = lines(p.err);
    return r;
}

} // namespace

class TestVr12Tool : public QObject {
    Q_OBJECT
    Vr12Simulator m_sim;

private slots:
    void initTestCase() {
        QVERIFY(m_sim.start(TestWorld::instance()->deviceDir(), 1));
        m_sim.fillTable(3);
    }

    void numbersAndTexts() {
        Run r = vr12({"COM1", "GetStatus"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QList<QByteArray>({"0", "VR-12 v2.14 ready "}));
        QCOMPARE(r.err, QList<QByteArray>());

        r = vr12({"COM1", "ReadTable"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 4);
        QCOMPARE(r.out.at(1), "ID01: " + Vr12Simulator::mediaIdFor(1));
        QCOMPARE(r.out.last(), QByteArray("*"));

        m_sim.setMaster({});
        r = vr12({"COM1", "ShowMaster"});
        QCOMPARE(r.out, QList<QByteArray>({"Erased"}));
        QCOMPARE(r.status, 0);

        r = vr12({"COM1", "AddID", "ABCDEF0123456789"});
        QCOMPARE(r.out, QList<QByteArray>({"0"}));
        QCOMPARE(r.status, 0);
        QCOMPARE(m_sim.slot(3), QByteArray("ABCDEF0123456789"));

        r = vr12({"COM1", "OpenLock"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QList<QByteArray>());
        QTRY_COMPARE(m_sim.lockOpenings(), 1);
    }

    void failuresExitWithOne() {
        m_sim.setFault('V', Vr12Simulator::Fault::Silent, 1);
        Run r = vr12({"COM1", "GetStatus"});
        QCOMPARE(r.out, QList<QByteArray>({"1"}));
        QCOMPARE(r.status, 1);
        m_sim.setFault('S', Vr12Simulator::Fault::Silent, 1);
        r = vr12({"COM1", "ReadTable"});
        QCOMPARE(r.out, QList<QByteArray>({"Error"}));
        QCOMPARE(r.status, 1);
        r = vr12({"COM1", "AddID", "ABCDEF0123456789"});
        QCOMPARE(r.out, QList<QByteArray>({"10"}));
        QCOMPARE(r.status, 1);
    }

    void usageAndInitErrorsExitWithTwo() {
        for (const QStringList& args :
             {QStringList{}, QStringList{"COM1"}, QStringList{"COM0", "GetStatus"},
              QStringList{"COM1", "Frobnicate"}, QStringList{"COM1", "EraseID", "256"},
              QStringList{"COM1", "EraseID", "-1"}, QStringList{"COM1", "AddID", "0123"},
              QStringList{"COM1", "listen", "--count", "x"}}) {
            const Run r = vr12(args);
            QVERIFY2(r.status == 2, qPrintable(args.join(' ')));
            QVERIFY(r.out.isEmpty());
            QVERIFY(!r.err.isEmpty());
        }
        // A port another program holds.
        const QString link = TestWorld::instance()->deviceDir() + "/COM1";
        const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
        Run r = vr12({"COM1", "GetStatus"});
        ::close(fd);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.size(), 1);
        QVERIFY2(r.err.at(0).contains(QFile::encodeName(link)) && r.err.at(0).contains("busy"),
                 r.err.at(0).constData());
        r = vr12({"COM200", "GetStatus"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.size(), 1);
        QVERIFY(r.err.at(0).contains("/dev/ttyS199"));
    }

    void listenPrintsAndLogsRegistrations() {
        const QByteArray id = Vr12Simulator::mediaIdFor(5);
        m_sim.scheduleRegistrations(std::chrono::milliseconds(700), {id});
        const Run r = vr12({"COM1", "listen", "--count", "2", "--log", "listen.txt"});
        m_sim.scheduleRegistrations(std::chrono::milliseconds(0), {});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 2);
        QVERIFY(r.out.at(0).endsWith(",R" + id + " O,O," + id + ",COM1"));
        QCOMPARE(fileBytes(TestWorld::instance()->path("listen.txt")),
                 r.out.at(0) + "\r\n" + r.out.at(1) + "\r\n");

        const Run quiet = vr12({"COM1", "listen", "--seconds", "1"});
        QCOMPARE(quiet.status, 0);
        QVERIFY(quiet.out.isEmpty());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestVr12Tool)
#include "tst_vr12tool.moc"
