// Registration latency: from the simulator's last byte to RxMessage, median of
// 50 registrations sent at 2400 baud.
#include "benchsupport.h"
#include "vr12simulator.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>

class Probe : public QObject {
    Q_OBJECT
public:
    std::chrono::steady_clock::time_point at;
    QEventLoop* loop = nullptr;
public slots:
    void onRx() {
        at = std::chrono::steady_clock::now();
        if (loop)
            loop->quit();
    }
};

int main(int argc, char** argv) {
    BenchWorld world;
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    Vr12Simulator sim;
    sim.setPaced(true);
    if (!sim.start(qEnvironmentVariable("VR12COMM_DEVICES"), 1))
        return 1;
    auto* c = loadOrDie()->createControl(nullptr);
    c->setAsciiFileName(world.path("reg.txt"));
    if (!c->init(0))
        return 1;
    Probe probe;
    QObject::connect(c->widget(), vr12comm::kRxMessageSignal, &probe, SLOT(onRx()));
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QEventLoop loop;
        probe.loop = &loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        const auto before = std::chrono::steady_clock::now();
        sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(i)));
        loop.exec();
        if (probe.at < before) {
            std::fprintf(stderr, "registration %d did not arrive\n", i);
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(probe.at - sim.lastSent()).count());
        // Vary where in the receiver's cycle the next one lands.
        QEventLoop gap;
        QTimer::singleShot(100 + (i * 37) % 300, &gap, &QEventLoop::quit);
        gap.exec();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("registration latency over %d: median %.1f ms, min %.1f ms, max %.1f ms "
                "(target: 340 ms of silence + under 20 ms)\n",
                rounds, ms[ms.size() / 2], ms.front(), ms.back());
    c->destroy();
    delete c->widget();
    return 0;
}

#include "bench_latency.moc"
