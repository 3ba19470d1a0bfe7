// Idle cost: 32 initialised controls on silent simulated ports, CPU time of
// this process (the controls only; the simulators run as separate processes)
// over 10 s.
#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

int main(int argc, char** argv) {
    BenchWorld world;
    QApplication app(argc, argv);
    const int count = 32;
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    const QString devices = qEnvironmentVariable("VR12COMM_DEVICES");
    std::vector<std::unique_ptr<QProcess>> sims;
    for (int i = 1; i <= count; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QCoreApplication::applicationDirPath() + "/vr12sim",
                 {"--devices", devices, QStringLiteral("COM%1").arg(i)});
        sims.push_back(std::move(p));
    }
    QElapsedTimer t;
    t.start();
    while (QDir(devices).entryList(QDir::System).size() < count && t.elapsed() < 10000)
        wait(50);

    auto* factory = loadOrDie();
    QWidget host;
    std::vector<vr12comm::IVr12CommControl*> controls;
    for (int i = 0; i < count; ++i) {
        auto* c = factory->createControl(&host);
        c->setAsciiFileName(world.path(QStringLiteral("reg%1.txt").arg(i)));
        if (!c->init(short(i))) {
            std::fprintf(stderr, "Init(%d) failed: %s\n", i, qPrintable(c->lastLinkError()));
            return 1;
        }
        controls.push_back(c);
    }
    wait(1000);
    const double cpu0 = cpuSeconds();
    t.restart();
    wait(seconds * 1000);
    const double cpu = cpuSeconds() - cpu0;
    const double wall = t.elapsed() / 1000.0;
    std::printf(
        "idle cost: %d controls, %.1f s: %.3f s CPU = %.2f %% of one core (target < 1 %%)\n", count,
        wall, cpu, 100.0 * cpu / wall);
    for (auto* c : controls)
        c->destroy();
    for (auto& p : sims) {
        p->terminate();
        p->waitForFinished(3000);
    }
    return 0;
}
