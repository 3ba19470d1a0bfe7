// The serial port against a bare pseudo-terminal: naming, exclusive use and
// the interval and total rules that end every read.
#include "devicepath.h"
#include "serialport.h"
#include "testworld.h"
#include "vr12simulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

using namespace vr12comm;
using namespace std::chrono_literals;

namespace {

struct Pty {
    int master = -1;
    int slave = -1;
    QString link;
    Pty(int com = 1) {
        char name[256];
        termios raw{};
        cfmakeraw(&raw);
        openpty(&master, &slave, name, &raw, nullptr);
        link = TestWorld::instance()->deviceDir() + QStringLiteral("/COM%1").arg(com);
        QFile::remove(link);
        QFile::link(QString::fromLocal8Bit(name), link);
    }
    ~Pty() {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
        QFile::remove(link);
    }
    void send(const QByteArray& b) const { (void)!::write(master, b.constData(), b.size()); }
    QByteArray drain() const {
        char buf[64];
        const ssize_t k = ::read(master, buf, sizeof buf);
        return k > 0 ? QByteArray(buf, k) : QByteArray();
    }
};

double threadCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void namesPortsThroughTheDeviceFolder() {
        Pty pty(3);
        QCOMPARE(devicePathForPort(3), pty.link);
        QCOMPARE(devicePathForPort(7), QStringLiteral("/dev/ttyS6"));
        const QByteArray saved = qgetenv("VR12COMM_DEVICES");
        qunsetenv("VR12COMM_DEVICES");
        QCOMPARE(deviceFolder(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/vr12comm/devices");
        qputenv("VR12COMM_DEVICES", saved);
    }

    void reportsMissingAndBusyPorts() {
        SerialPort missing;
        QCOMPARE(missing.open(TestWorld::instance()->deviceDir() + "/COM9"),
                 short(SerialPort::OpenFailed));
        QVERIFY(missing.lastError().contains("missing"));
        QVERIFY(!missing.close());

        Pty pty;
        SerialPort first;
        QCOMPARE(first.open(pty.link), short(SerialPort::Opened));
        SerialPort second;
        QCOMPARE(second.open(pty.link), short(SerialPort::OpenFailed));
        QVERIFY2(second.lastError().contains("busy"), qPrintable(second.lastError()));
        QVERIFY(first.close());
        QVERIFY(!first.close());
        // Given back: the next program gets it.
        QCOMPARE(second.open(pty.link), short(SerialPort::Opened));
    }

    void configuresARawLine() {
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        termios tio{};
        QCOMPARE(tcgetattr(pty.slave, &tio), 0);
        QCOMPARE(cfgetospeed(&tio), speed_t(B2400));
        QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(!(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS)));
        QVERIFY(!(tio.c_iflag & (IXON | IXOFF)));
        QVERIFY(!(tio.c_lflag & (ICANON | ECHO)));
        // Bytes pass unchanged both ways, CR and NUL included.
        const QByteArray sample("A\r\n\0\xff#", 6);
        pty.send(sample);
        QCOMPARE(port.read(6), sample);
        QCOMPARE(port.write(sample), qsizetype(6));
        QByteArray echoed;
        ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
        QTRY_COMPARE((echoed += pty.drain()), sample);
    }

    void silentReadsTakeTheTotalTime_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("total");
        QTest::newRow("1 byte") << 1 << 340;
        QTest::newRow("3 bytes") << 3 << 420;
        QTest::newRow("18 bytes") << 18 << 1020;
    }
    void silentReadsTakeTheTotalTime() {
        QFETCH(int, count);
        QFETCH(int, total);
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        QElapsedTimer t;
        t.start();
        QVERIFY(port.read(count).isEmpty());
        QVERIFY2(t.elapsed() >= total && t.elapsed() < total + 400,
                 qPrintable(QString::number(t.elapsed())));
    }

    void readEndsOnCountGapOrTotal() {
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        QElapsedTimer t;

        // The full count returns at once.
        pty.send("0123456789");
        t.start();
        QCOMPARE(port.read(10), QByteArray("0123456789"));
        QVERIFY(t.elapsed() < 250);

        // A gap of more than 50 ms after a byte ends the read with what came.
        std::thread late([&] {
            std::this_thread::sleep_for(100ms);
            pty.send("abc");
            std::this_thread::sleep_for(150ms);
            pty.send("def");
        });
        t.start();
        QCOMPARE(port.read(22), QByteArray("abc"));
        QVERIFY2(t.elapsed() >= 145 && t.elapsed() < 400, qPrintable(QString::number(t.elapsed())));
        late.join();
        QCOMPARE(port.read(3), QByteArray("def"));
    }

    // Bytes that keep coming within the 50 ms interval still stop at the total time: a read of
    // 10 bytes allows 700 ms, and a byte every 30 ms from 500 ms on would need 770 ms. The
    // sender's real times are checked, so a late thread on a loaded machine leads to another
    // try rather than to a wrong verdict.
    void dribbleStopsAtTheTotalTime() {
        using Clock = std::chrono::steady_clock;
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        const auto total = SerialPort::totalTimeout(10);
        QCOMPARE(total, 700ms);
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::vector<Clock::time_point> sent;
            const auto start = Clock::now();
            std::thread dribble([&] {
                for (int i = 0; i < 10; ++i) {
                    std::this_thread::sleep_until(start + 500ms + i * 30ms);
                    pty.send(QByteArray(1, char('a' + i)));
                    sent.push_back(Clock::now());
                }
            });
            QElapsedTimer t;
            t.start();
            const auto readStart = Clock::now();
            const QByteArray got = port.read(10);
            const qint64 elapsed = t.elapsed();
            dribble.join();
            port.purge();

            // Usable only when every gap stayed well inside the interval and no byte came
            // within 10 ms of the deadline.
            const auto deadline = readStart + total;
            bool usable = true;
            int beforeDeadline = 0;
            for (size_t i = 0; i < sent.size(); ++i) {
                if (i > 0 && sent[i] - sent[i - 1] > 40ms)
                    usable = false;
                if (sent[i] > deadline - 10ms && sent[i] < deadline + 10ms)
                    usable = false;
                if (sent[i] < deadline)
                    ++beforeDeadline;
            }
            if (!usable)
                continue;
            QCOMPARE(got, QByteArray("abcdefghij").left(beforeDeadline));
            QVERIFY2(elapsed >= 700 && elapsed < 700 + 300, qPrintable(QString::number(elapsed)));
            std::this_thread::sleep_for(20ms);
            QVERIFY(port.readQueued(10).isEmpty());
            return;
        }
        QSKIP("the machine was too busy to send the bytes on time");
    }

    // The purge before a command must not take back the previous command's
    // byte while the other side is still taking it in.
    void purgeKeepsWhatWasWritten() {
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
        std::atomic<bool> run{true};
        QByteArray got;
        std::thread other([&] {
            char buf[64];
            while (run) {
                pollfd p{pty.master, POLLIN, 0};
                if (::poll(&p, 1, 10) <= 0)
                    continue;
                const ssize_t k = ::read(pty.master, buf, sizeof buf);
                if (k > 0)
                    got.append(buf, k);
            }
        });
        constexpr int kRounds = 200;
        for (int i = 0; i < kRounds; ++i) {
            port.write("O");
            port.purge();
            port.write("V");
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(100ms);
        run = false;
        other.join();
        QCOMPARE(got, QByteArray("OV").repeated(kRounds));
    }

    void readUntilQuietEndsOnSilenceOrLimit() {
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        QElapsedTimer t;
        t.start();
        QVERIFY(port.readUntilQuiet(50ms, 1000ms).isEmpty());
        QVERIFY2(t.elapsed() >= 50 && t.elapsed() < 300, qPrintable(QString::number(t.elapsed())));

        // Gaps shorter than the quiet time keep it reading.
        std::thread talk([&] {
            for (const char* part : {"ab", "cd", "ef"}) {
                std::this_thread::sleep_for(100ms);
                pty.send(part);
            }
        });
        t.start();
        QCOMPARE(port.readUntilQuiet(200ms, 5000ms), QByteArray("abcdef"));
        QVERIFY2(t.elapsed() >= 500 && t.elapsed() < 900, qPrintable(QString::number(t.elapsed())));
        talk.join();

        // A line that never goes quiet stops at the limit.
        std::atomic<bool> chatting{true};
        std::thread chatter([&] {
            while (chatting) {
                pty.send("x");
                std::this_thread::sleep_for(20ms);
            }
        });
        t.start();
        QVERIFY(!port.readUntilQuiet(200ms, 400ms).isEmpty());
        QVERIFY2(t.elapsed() >= 400 && t.elapsed() < 700, qPrintable(QString::number(t.elapsed())));
        chatting = false;
        chatter.join();
    }

    void hungUpLineDoesNotSpin() {
        Pty pty;
        SerialPort port;
        QCOMPARE(port.open(pty.link), short(SerialPort::Opened));
        ::close(pty.master);
        ::close(pty.slave);
        pty.master = pty.slave = -1;
        const double cpu0 = threadCpuMs();
        QElapsedTimer t;
        t.start();
        // The read that meets the hang-up says so at once; the later ones take their time.
        QVERIFY(port.read(1).isEmpty());
        QVERIFY(port.isLost());
        QVERIFY2(t.elapsed() < 100, qPrintable(QString::number(t.elapsed())));
        t.start();
        for (int i = 0; i < 3; ++i)
            QVERIFY(port.read(1).isEmpty());
        QVERIFY2(t.elapsed() >= 3 * 340, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(threadCpuMs() - cpu0 < 100, qPrintable(QString::number(threadCpuMs() - cpu0)));
        QVERIFY(port.close());
    }

    // A link file naming a serial server: the same exclusive use, bytes both ways, the same
    // read time-outs, and the server's end of the connection met as a hang-up.
    void networkLinkActsAsALine() {
        Vr12Simulator sim;
        QVERIFY(sim.startTcp(TestWorld::instance()->deviceDir(), 12));
        const QString link = devicePathForPort(12);
        SerialPort first;
        QCOMPARE(first.open(link), short(SerialPort::Opened));
        QVERIFY(first.isNetwork());
        SerialPort second;
        QCOMPARE(second.open(link), short(SerialPort::OpenFailed));
        QVERIFY2(second.lastError().contains("busy"), qPrintable(second.lastError()));
        QCOMPARE(first.write("V"), qsizetype(1));
        QCOMPARE(first.read(20), QByteArray("V:VR-12 v2.14 ready "));
        QElapsedTimer t;
        t.start();
        QVERIFY(first.read(1).isEmpty());
        QVERIFY2(t.elapsed() >= 340 && t.elapsed() < 740, qPrintable(QString::number(t.elapsed())));
        const quint16 port = sim.tcpPort();
        sim.stop();
        QVERIFY(first.read(1).isEmpty());
        QVERIFY(first.isLost());
        QVERIFY(first.close());

        // No server there, and a file that names none.
        QFile file(link);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("tcp://127.0.0.1:%1\n").arg(port).toLatin1());
        file.close();
        QCOMPARE(first.open(link), short(SerialPort::OpenFailed));
        QVERIFY2(first.lastError().contains("refused"), qPrintable(first.lastError()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("COM12 is by the door\n");
        file.close();
        QCOMPARE(first.open(link), short(SerialPort::OpenFailed));
        QVERIFY2(first.lastError().contains("tcp://HOST:PORT"), qPrintable(first.lastError()));
        QVERIFY(!first.isOpen());
        QFile::remove(link);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
