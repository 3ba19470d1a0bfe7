// vr12sim: a simulated VR-12 controller for demos and manual checks.
#include "devicelinklock.h"
#include "presentchannel.h"
#include "tooloptions.h"
#include "vr12simulator.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>

namespace {

const char kUsage[] =
    "usage: vr12sim [--devices DIR] COMn [--register-every SECONDS] [--ids ID,...]\n"
    "               [--table N] [--burst ID] [--pace] [--trace] [--tcp PORT]\n"
    "       vr12sim [--devices DIR] COMn --present ID[,ID...]\n"
    "       vr12sim --help | --version\n"
    "Simulates a VR-12 controller on a pseudo-terminal linked as DIR/COMn\n"
    "(default DIR: $VR12COMM_DEVICES, else ~/.config/vr12comm/devices).\n"
    "A link that a running simulator serves is refused; a stale one is replaced.\n"
    "With --tcp, the controller listens on 127.0.0.1:PORT instead, as a serial\n"
    "server would, and DIR/COMn is a file naming it (tcp://127.0.0.1:PORT).\n"
    "With --burst, each SIGUSR1 presents ID five times, one second apart (a key\n"
    "nobody has, tried at the door). SIGUSR2 pulls the line for 5 s, then plugs it\n"
    "back under the same link.\n"
    "With --present, the simulator already serving COMn registers each medium\n"
    "(16-character media IDs), one after another, as if it were held to its reader.\n";

int usageError(const char* why, const char* what = nullptr) {
    if (what)
        std::fprintf(stderr, "vr12sim: %s '%s'\n", why, what);
    else
        std::fprintf(stderr, "vr12sim: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

QString defaultDeviceDir() {
    const QByteArray env = qgetenv("VR12COMM_DEVICES");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath().toLocal8Bit() + "/.config";
    return QString::fromLocal8Bit(config) + QStringLiteral("/vr12comm/devices");
}

} // namespace

int main(int argc, char** argv) {
    if (int status = 0; tooloptions::answered("vr12sim", kUsage, argc, argv, &status))
        return status;
    QString deviceDir = defaultDeviceDir();
    int com = 0;
    double every = 0;
    int table = 0;
    bool pace = false;
    bool trace = false;
    int tcpPort = -1;
    QList<QByteArray> ids;
    QByteArray burstId;
    QList<QByteArray> present;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--devices" && hasValue) {
            deviceDir = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--register-every" && hasValue) {
            bool ok = false;
            every = QByteArray(argv[++i]).toDouble(&ok);
            if (!ok || every <= 0)
                return usageError("--register-every needs a positive number, not", argv[i]);
        } else if (a == "--ids" && hasValue) {
            ids = QByteArray(argv[++i]).split(',');
            for (const QByteArray& id : ids)
                if (id.size() != 16)
                    return usageError("--ids takes 16-character IDs, not", id.constData());
        } else if (a == "--burst" && hasValue) {
            burstId = argv[++i];
            if (burstId.size() != 16)
                return usageError("--burst takes a 16-character ID, not", argv[i]);
        } else if (a == "--present" && hasValue) {
            present = QByteArray(argv[++i]).split(',');
            for (const QByteArray& id : present)
                if (id.size() != 16)
                    return usageError("--present takes 16-character IDs, not", id.constData());
        } else if (a == "--table" && hasValue) {
            bool ok = false;
            table = QByteArray(argv[++i]).toInt(&ok);
            if (!ok || table < 0 || table > 256)
                return usageError("--table needs a number 0-256, not", argv[i]);
        } else if (a == "--tcp" && hasValue) {
            bool ok = false;
            tcpPort = QByteArray(argv[++i]).toInt(&ok);
            if (!ok || tcpPort < 1 || tcpPort > 65535)
                return usageError("--tcp needs a port number 1-65535, not", argv[i]);
        } else if (a == "--pace") {
            pace = true;
        } else if (a == "--trace") {
            trace = true;
        } else if (a.startsWith("COM") && com == 0) {
            bool ok = false;
            com = a.mid(3).toInt(&ok);
            if (!ok || com < 1 || com > 255)
                return usageError("not a port name COM1 ... COM255:", argv[i]);
        } else if (tooloptions::looksLikeOption(argv[i])) {
            return hasValue ||
                           (a != "--devices" && a != "--register-every" && a != "--ids" &&
                            a != "--table" && a != "--burst" && a != "--present" && a != "--tcp")
                       ? tooloptions::unknownOption("vr12sim", argv[i], kUsage)
                       : usageError("a value is missing after", argv[i]);
        } else {
            return usageError("unexpected argument", argv[i]);
        }
    }
    if (com == 0)
        return usageError("no port named");
    const QString linkPath = QDir(deviceDir).filePath(QStringLiteral("COM%1").arg(com));
    if (!present.isEmpty()) {
        QString error;
        if (!PresentChannel::present(linkPath, present, &error)) {
            std::fprintf(stderr, "vr12sim: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (ids.isEmpty())
        ids = {Vr12Simulator::mediaIdFor(1), Vr12Simulator::mediaIdFor(2),
               Vr12Simulator::mediaIdFor(3)};

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    sigset_t waited = stopSignals;
    if (!burstId.isEmpty())
        sigaddset(&waited, SIGUSR1);
    sigaddset(&waited, SIGUSR2);
    pthread_sigmask(SIG_BLOCK, &waited, nullptr);

    // Taking over a link another simulator serves would delete it on exit.
    DeviceLinkLock linkLock;
    QDir().mkpath(deviceDir);
    if (!linkLock.acquire(linkPath)) {
        std::fprintf(stderr, "vr12sim: %s\n", qPrintable(linkLock.errorString()));
        return 1;
    }
    Vr12Simulator sim;
    sim.setPaced(pace);
    sim.fillTable(table);
    const bool serving =
        tcpPort > 0 ? sim.startTcp(deviceDir, com, quint16(tcpPort)) : sim.start(deviceDir, com);
    if (!serving) {
        std::fprintf(stderr, "vr12sim: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    PresentChannel channel;
    if (!channel.open(linkPath)) {
        std::fprintf(stderr, "vr12sim: %s\n", qPrintable(channel.errorString()));
        sim.stop();
        linkLock.release();
        return 1;
    }
    if (every > 0)
        sim.scheduleRegistrations(std::chrono::milliseconds(qint64(every * 1000)), ids);
    std::printf("vr12sim: COM%d listening on %s (link %s)%s\n", com, qPrintable(sim.slavePath()),
                qPrintable(sim.linkPath()), pace ? ", paced at 2400 baud" : "");
    if (every > 0)
        std::printf("vr12sim: a registration every %g s\n", every);
    std::fflush(stdout);
    // With --trace, every byte received is shown with its time.
    const auto started = Vr12Simulator::Clock::now();
    qsizetype shown = 0;
    const timespec tick{0, 100 * 1000 * 1000};
    constexpr int kBurstSize = 5;
    // Media presented one after another, as a hand would: two registrations sent back to back
    // would reach the control as one message. A burst's keys come a second apart.
    struct Presented {
        QByteArray id;
        std::chrono::milliseconds gap;
    };
    std::deque<Presented> presenting;
    auto nextPresent = started;
    std::optional<Vr12Simulator::Clock::time_point> pulledUntil;
    for (;;) {
        const int signal = sigtimedwait(&waited, nullptr, &tick);
        if (signal > 0 && signal != SIGUSR1 && signal != SIGUSR2)
            break;
        if (signal == SIGUSR2 && !pulledUntil) {
            sim.unplug();
            pulledUntil = Vr12Simulator::Clock::now() + std::chrono::seconds(5);
            std::printf("vr12sim: COM%d pulled for 5 s\n", com);
        }
        if (pulledUntil && Vr12Simulator::Clock::now() >= *pulledUntil) {
            pulledUntil.reset();
            const bool back = tcpPort > 0 ? sim.startTcp(deviceDir, com, quint16(tcpPort))
                                          : sim.start(deviceDir, com);
            if (!back) {
                std::fprintf(stderr, "vr12sim: %s\n", qPrintable(sim.errorString()));
                break;
            }
            std::printf("vr12sim: COM%d plugged back (%s)\n", com, qPrintable(sim.slavePath()));
        }
        if (signal == SIGUSR1) {
            for (int k = 0; k < kBurstSize; ++k)
                presenting.push_back({burstId, std::chrono::seconds(1)});
            std::printf("vr12sim: presenting %s %d times\n", burstId.constData(), kBurstSize);
            std::fflush(stdout);
        }
        for (const QByteArray& id : channel.takeLines()) {
            if (id.size() == 16)
                presenting.push_back({id, std::chrono::milliseconds(500)});
            else
                std::fprintf(stderr, "vr12sim: not presented, not a 16-character ID: '%s'\n",
                             id.constData());
        }
        if (!presenting.empty() && Vr12Simulator::Clock::now() >= nextPresent) {
            sim.sendMessage(Vr12Simulator::registrationFor(presenting.front().id));
            std::printf("vr12sim: presented %s\n", presenting.front().id.constData());
            nextPresent = Vr12Simulator::Clock::now() + presenting.front().gap;
            presenting.pop_front();
        }
        std::fflush(stdout);
        if (!trace)
            continue;
        const auto received = sim.received();
        for (; shown < received.size(); ++shown) {
            const auto& r = received.at(shown);
            const unsigned char b = static_cast<unsigned char>(r.byte);
            std::printf("vr12sim: rx %10.3f s  0x%02X %c\n",
                        std::chrono::duration<double>(r.at - started).count(), b,
                        b >= 0x20 && b < 0x7f ? char(b) : '.');
        }
        std::fflush(stdout);
    }
    channel.close();
    sim.stop();
    linkLock.release();
    return 0;
}
