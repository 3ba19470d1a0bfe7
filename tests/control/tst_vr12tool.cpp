// The command-line tools vr12, vr12sim and tarvex-snapshots, run as processes:
// output lines and exit statuses that other checks rely on.
#include "processrun.h"
#include "testfiles.h"
#include "testworld.h"
#include "vr12simulator.h"

#include <vr12comm/vr12results.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace vr12comm;

namespace {

struct Run {
    int status = -1;
    QList<QByteArray> out;
    QList<QByteArray> err;
};

QString toolPath(const QString& tool) {
    return QCoreApplication::applicationDirPath() + '/' + tool;
}

QList<QByteArray> lines(const QByteArray& text) {
    QList<QByteArray> l = text.split('\n');
    if (l.last().isEmpty())
        l.removeLast();
    return l;
}

Run runTool(const QString& tool, const QStringList& args, const QString& folder = {},
            int timeoutMs = 15000) {
    const ProcessRun p = runProgram(tool, args, timeoutMs,
                                    folder.isEmpty() ? TestWorld::instance()->root() : folder);
    Run r;
    if (!p.finished)
        return r;
    r.status = p.exitCode;
    r.out = lines(p.out);
    r.err = lines(p.err);
    return r;
}

Run vr12(const QStringList& args, const QString& folder = {}) {
    return runTool("vr12", args, folder);
}

// A fresh folder of the test world to run a tool in.
QString freshFolder(const QString& name) {
    const QString dir = TestWorld::instance()->path(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

// A simulator as its own process, started and listening (or refused).
struct SimProcess {
    QProcess p;
    bool start(int com) {
        p.start(toolPath("vr12sim"), {"--devices", TestWorld::instance()->deviceDir(),
                                      QStringLiteral("COM%1").arg(com)});
        QByteArray out;
        while (!out.contains("listening") && p.waitForReadyRead(5000))
            out += p.readAllStandardOutput();
        return out.contains("listening");
    }
    bool finished() { return p.state() == QProcess::NotRunning || p.waitForFinished(5000); }
    ~SimProcess() {
        if (p.state() != QProcess::NotRunning) {
            p.terminate();
            if (!p.waitForFinished(5000))
                p.kill();
        }
        p.waitForFinished();
    }
};

QByteArray line(const char* words) {
    return QByteArray("vr12: ") + words;
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
        QCOMPARE(r.out, QList<QByteArray>({QByteArray::number(GetStatusOk), "VR-12 v2.14 ready "}));
        QCOMPARE(r.err, QList<QByteArray>());

        r = vr12({"COM1", "ReadTable"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 4);
        QCOMPARE(r.out.at(1), "ID01: " + Vr12Simulator::mediaIdFor(1));
        QCOMPARE(r.out.last(), QByteArray(kReplyEndOfTable));

        m_sim.setMaster({});
        r = vr12({"COM1", "ShowMaster"});
        QCOMPARE(r.out, QList<QByteArray>({kReplyErased}));
        QCOMPARE(r.status, 0);

        r = vr12({"COM1", "AddID", "ABCDEF0123456789"});
        QCOMPARE(r.out, QList<QByteArray>({QByteArray::number(IdWriteOk)}));
        QCOMPARE(r.status, 0);
        QCOMPARE(m_sim.slot(3), QByteArray("ABCDEF0123456789"));

        r = vr12({"COM1", "OpenLock"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QList<QByteArray>());
        QTRY_COMPARE(m_sim.lockOpenings(), 1);
    }

    // The result stays on stdout; one line on stderr says what it means.
    void failuresExitWithOneAndSayWhy() {
        const QByteArray noReply =
            "vr12: no reply: check the cable, the port and the controller's power";
        m_sim.setFault('V', Vr12Simulator::Fault::Silent, 1);
        Run r = vr12({"COM1", "GetStatus"});
        QCOMPARE(r.out, QList<QByteArray>({QByteArray::number(GetStatusNoReply)}));
        QCOMPARE(r.err, QList<QByteArray>({noReply}));
        QCOMPARE(r.status, 1);
        m_sim.setFault('S', Vr12Simulator::Fault::Silent, 1);
        r = vr12({"COM1", "ReadTable"});
        QCOMPARE(r.out, QList<QByteArray>({kReplyError}));
        QCOMPARE(r.err, QList<QByteArray>({noReply}));
        QCOMPARE(r.status, 1);
        r = vr12({"COM1", "AddID", "ABCDEF0123456789"});
        QCOMPARE(r.out, QList<QByteArray>({QByteArray::number(IdWriteAlreadyInTable)}));
        QCOMPARE(r.err, QList<QByteArray>({"vr12: the ID is already in the table"}));
        QCOMPARE(r.status, 1);
        m_sim.setReply('C', "?", {}, 1);
        r = vr12({"COM1", "ClearTable"});
        QCOMPARE(r.out, QList<QByteArray>({QByteArray::number(ClearTableNotConfirmed)}));
        QCOMPARE(r.err, QList<QByteArray>({line(resultText(ClearTableNotConfirmed))}));
        m_sim.setFault('M', Vr12Simulator::Fault::ShortBlock, 1);
        r = vr12({"COM1", "ShowMaster"});
        QCOMPARE(r.out, QList<QByteArray>({kReplyError}));
        QCOMPARE(r.err, QList<QByteArray>({line(masterReplyText(kReplyError))}));
        QCOMPARE(r.status, 1);
    }

    // Records arrive with a line end in front; the output is one clean line each.
    void readTablePrintsCleanLines() {
        const QByteArray a = Vr12Simulator::mediaIdFor(21), b = Vr12Simulator::mediaIdFor(22);
        m_sim.setReply('S', "\r\n00: " + a + "\r\n07: " + b + "*", {}, 1);
        const Run r = vr12({"COM1", "ReadTable"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QList<QByteArray>({"00: " + a, "07: " + b, kReplyEndOfTable}));
        QCOMPARE(r.err, QList<QByteArray>());
    }

    // A one-shot command keeps no log: it runs where reg.txt cannot be opened
    // (here a folder of that name, which stops root as well) and leaves none.
    void oneShotNeedsNoLogFile() {
        const QString folder = freshFolder("blocked");
        QVERIFY(QDir(folder).mkdir("reg.txt"));
        Run r = vr12({"COM1", "GetStatus"}, folder);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QList<QByteArray>());
        const QString clean = freshFolder("clean");
        r = vr12({"COM1", "GetStatus"}, clean);
        QCOMPARE(r.status, 0);
        QCOMPARE(QDir(clean).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        // An explicit log is still kept.
        r = vr12({"COM1", "GetStatus", "--log", "asked.txt"}, clean);
        QCOMPARE(r.status, 0);
        QVERIFY(QFile::exists(clean + "/asked.txt"));
    }

    void payloadsMustBeSixteenHexCharacters() {
        m_sim.clearReceived();
        for (const QStringList& args :
             {QStringList{"COM1", "AddID", "ABCDEF012345678G"},
              QStringList{"COM1", "NewMaster", "ABCDEF01234567"},
              QStringList{"COM1", "WriteParams", "04O6000000000000"},
              QStringList{"COM1", "AddID", "ABCDEF0123456789", "--raw", "--raw", "x"},
              QStringList{"COM1", "AddID", "ABCDEF01234567", "--raw"}}) {
            const Run r = vr12(args);
            QVERIFY2(r.status == 2, qPrintable(args.join(' ')));
            QVERIFY(r.out.isEmpty());
        }
        const Run refused = vr12({"COM1", "AddID", "abcdef012345678g"});
        QVERIFY2(refused.err.value(0).contains("16 hexadecimal characters") &&
                     refused.err.value(0).contains("abcdef012345678g"),
                 refused.err.value(0).constData());
        QCOMPARE(m_sim.receivedBytes(), QByteArray());

        // Lower case goes out in upper case; --raw sends the text as it is.
        QCOMPARE(vr12({"COM1", "AddID", "0a1b2c3d4e5f6a7b"}).status, 0);
        QVERIFY(m_sim.receivedBytes().endsWith("A0A1B2C3D4E5F6A7B"));
        QCOMPARE(vr12({"COM1", "NewMaster", "00112233aabbccdd"}).status, 0);
        QCOMPARE(m_sim.master(), QByteArray("00112233AABBCCDD"));
        QCOMPARE(vr12({"COM1", "WriteParams", "0506000000000000"}).status, 0);
        QCOMPARE(m_sim.params(), QByteArray("0506000000000000"));
        QCOMPARE(vr12({"COM1", "AddID", "--raw", "0a1b2c3d4e5f6a7c"}).status, 0);
        QVERIFY(m_sim.receivedBytes().endsWith("A0a1b2c3d4e5f6a7c"));
        QCOMPARE(vr12({"COM1", "NewMaster", "not hex, 16 ch.", "--raw"}).status, 2);
        QCOMPARE(vr12({"COM1", "NewMaster", "not hex,  16 ch.", "--raw"}).status, 0);
        QCOMPARE(m_sim.master(), QByteArray("not hex,  16 ch."));
    }

    void everyToolAnswersHelpAndVersion_data() {
        QTest::addColumn<QString>("tool");
        QTest::newRow("vr12") << "vr12";
        QTest::newRow("vr12sim") << "vr12sim";
        QTest::newRow("tarvex-snapshots") << "tarvex-snapshots";
    }
    void everyToolAnswersHelpAndVersion() {
        QFETCH(QString, tool);
        const QString folder = freshFolder("options-" + tool);
        Run r = runTool(tool, {"--help"}, folder);
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.value(0).startsWith("usage: " + tool.toLatin1() + ' '));
        QCOMPARE(r.err, QList<QByteArray>());
        r = runTool(tool, {"--version"}, folder);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QList<QByteArray>({tool.toLatin1() + " " TARVEX_VERSION}));
        r = runTool(tool, {"--frobnicate"}, folder);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.value(0).contains("'--frobnicate'"), r.err.value(0).constData());
        // Nothing was written anywhere, least of all into a folder named after an option.
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // A second simulator must not take over (and on exit delete) a link that a
    // running one serves; the link of one that is gone is replaced.
    void simulatorKeepsTheLinkItServes() {
        const QString link = TestWorld::instance()->deviceDir() + "/COM5";
        SimProcess first;
        QVERIFY(first.start(5));
        const QString target = QFile::symLinkTarget(link);
        QVERIFY(target.startsWith("/dev/pts/"));

        SimProcess second;
        QVERIFY(!second.start(5));
        QVERIFY(second.finished());
        QCOMPARE(second.p.exitCode(), 1);
        const QByteArray why = second.p.readAllStandardError();
        QVERIFY2(why.contains(QFile::encodeName(link)) && why.contains("running simulator"),
                 why.constData());
        QCOMPARE(QFile::symLinkTarget(link), target);
        QCOMPARE(vr12({"COM5", "GetStatus"}).status, 0);

        // Killed outright, the first leaves its link behind: stale, so replaced.
        first.p.kill();
        QVERIFY(first.finished());
        QVERIFY(QFileInfo(link).isSymLink());
        SimProcess third;
        QVERIFY(third.start(5));
        QCOMPARE(vr12({"COM5", "GetStatus"}).status, 0);
        third.p.terminate();
        QVERIFY(third.finished());
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(QDir(TestWorld::instance()->deviceDir())
                     .entryList({"COM5*"}, QDir::AllEntries | QDir::System),
                 QStringList());
    }

    // A link to anything but a pseudo-terminal is the user's, not a simulator's.
    void simulatorLeavesOtherLinksAlone() {
        const QString link = TestWorld::instance()->deviceDir() + "/COM6";
        QVERIFY(QFile::link("/dev/null", link));
        SimProcess sim;
        QVERIFY(!sim.start(6));
        QVERIFY(sim.finished());
        QCOMPARE(sim.p.exitCode(), 1);
        QCOMPARE(QFile::symLinkTarget(link), QStringLiteral("/dev/null"));
        QVERIFY(!QFile::exists(link + ".lock"));
    }

    void usageAndInitErrorsExitWithTwo() {
        for (const QStringList& args :
             {QStringList{}, QStringList{"COM1"}, QStringList{"COM0", "GetStatus"},
              QStringList{"COM1", "Frobnicate"}, QStringList{"COM1", "EraseID", "256"},
              QStringList{"COM1", "EraseID", "-1"}, QStringList{"COM1", "AddID", "0123"},
              QStringList{"COM1", "listen", "--count", "x"},
              QStringList{"COM1", "GetStatus", "--raw"},
              QStringList{"COM1", "ReadTable", "--seconds", "1"}, QStringList{"COM1", "--frob"}}) {
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

    // A running simulator registers media on demand, one after another; no other is asked.
    void simulatorPresentsMediaOnDemand() {
        const QString link = TestWorld::instance()->deviceDir() + "/COM7";
        const QStringList at = {"--devices", TestWorld::instance()->deviceDir(), "COM7"};
        const QByteArray a = Vr12Simulator::mediaIdFor(71);
        const QByteArray b = Vr12Simulator::mediaIdFor(72);
        Run r = runTool("vr12sim", at + QStringList{"--present", QString::fromLatin1(a)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.size() == 1 && r.err.at(0).contains("no running simulator"),
                 r.err.value(0).constData());

        SimProcess sim;
        QVERIFY(sim.start(7));
        QProcess listen;
        listen.start(toolPath("vr12"), {"COM7", "listen", "--count", "2"});
        QVERIFY(listen.waitForStarted());
        // Presented once the listener holds the port, so that nothing is sent to nobody.
        const QString pts = QFile::symLinkTarget(link);
        const QString fds = QStringLiteral("/proc/%1/fd").arg(listen.processId());
        auto held = [&] {
            for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System | QDir::Files))
                if (fd.symLinkTarget() == pts)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(held(), 10000);
        // Opening the port discards what is waiting on it.
        QTest::qWait(300);
        r = runTool("vr12sim", at + QStringList{"--present", QString::fromLatin1(a + "," + b)});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty() && r.err.isEmpty());
        QVERIFY(listen.waitForFinished(10000));
        const QList<QByteArray> heard = lines(listen.readAllStandardOutput());
        // Two registrations, not one message holding both.
        QCOMPARE(heard.size(), 2);
        QVERIFY2(heard.at(0).contains(",R" + a + " O,O," + a + ","), heard.at(0).constData());
        QVERIFY2(heard.at(1).contains(",R" + b + " O,O," + b + ","), heard.at(1).constData());

        // Only 16-character IDs: refused before anything is sent.
        r = runTool("vr12sim", at + QStringList{"--present", "0BADC0DE"});
        QCOMPARE(r.status, 2);
        // The pipe goes with the simulator.
        sim.p.terminate();
        QVERIFY(sim.finished());
        QVERIFY(!QFileInfo::exists(link + ".present"));
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

        // listen keeps reg.txt in the current folder unless told otherwise.
        const QString folder = freshFolder("listen");
        const Run quiet = vr12({"COM1", "listen", "--seconds", "1"}, folder);
        QCOMPARE(quiet.status, 0);
        QVERIFY(quiet.out.isEmpty());
        QVERIFY(QFile::exists(folder + "/reg.txt"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestVr12Tool)
#include "tst_vr12tool.moc"
