// Figures of a controller coming back by itself in the program, offscreen: a simulated
// controller's far side closes (the adapter pulled) and returns under the same link after a
// varying time, over a pseudo-terminal and over a TCP link; the time from its return to the
// form's Status "OK", and from the loss to "OK" (target: under 2.5 s when it returns before the
// first try).
#include "benchfigures.h"
#include "intakeworld.h"

#include "vr12simulator.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// Runs the event loop until `done` holds (checked every millisecond) or `limitMs` passed.
bool waitUntil(const std::function<bool()>& done, int limitMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (Clock::now() >= until)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void idle(int ms) {
    waitUntil([] { return false; }, ms);
}

struct Figures {
    std::vector<double> returnToOk, lossToOk;
};

void report(const char* kind, const Figures& f) {
    const auto [rMin, rMax] = std::minmax_element(f.returnToOk.begin(), f.returnToOk.end());
    const double lossMax = *std::max_element(f.lossToOk.begin(), f.lossToOk.end());
    double sum = 0;
    for (double v : f.returnToOk)
        sum += v;
    std::printf("%s: %zu returns, return to Status OK %.0f ms mean (%.0f-%.0f), loss to OK at "
                "most %.0f ms (target < 2500 ms): %s\n",
                kind, f.returnToOk.size(), sum / double(f.returnToOk.size()), *rMin, *rMax, lossMax,
                verdict(lossMax < 2500));
}
} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir::setCurrent(world.root());
    const int cycles = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 8;
    const QString devices = world.deviceDir();
    Vr12Simulator pty, tcp;
    if (!pty.start(devices, 1) || !tcp.startTcp(devices, 2)) {
        std::fprintf(stderr, "the simulators did not start\n");
        return 1;
    }
    const quint16 tcpPort = tcp.tcpPort();
    IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
    IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
    IntakeWorld w;
    if (!w.start(QStringLiteral("bench-reconnect"),
                 {{1, controller("Pty", 1, 1)}, {2, controller("Tcp", 2, 1)}})) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    auto measure = [&](int comPort, const std::function<void()>& pull,
                       const std::function<bool()>& plugBack) {
        Figures f;
        CTermFormView* form = w.form(comPort);
        auto is = [form](const char* status) {
            return [form, status] { return form->Status() == QLatin1String(status); };
        };
        if (!waitUntil(is("OK"), 5000))
            return f;
        for (int i = 0; i < cycles; ++i) {
            pull();
            const auto lost = Clock::now();
            if (!waitUntil(is("Error"), 3000))
                break;
            // Back at different points of the first wait of 2 s.
            idle(100 + (1700 * i) / std::max(1, cycles - 1));
            const auto returned = Clock::now();
            if (!plugBack() || !waitUntil(is("OK"), 5000))
                break;
            const auto ok = Clock::now();
            f.returnToOk.push_back(msBetween(returned, ok));
            f.lossToOk.push_back(msBetween(lost, ok));
            idle(200);
        }
        return f;
    };
    const Figures ptyFigures = measure(
        1, [&] { pty.unplug(); }, [&] { return pty.start(devices, 1); });
    const Figures tcpFigures = measure(
        2, [&] { tcp.stop(); }, [&] { return tcp.startTcp(devices, 2, tcpPort); });
    if (ptyFigures.returnToOk.size() != size_t(cycles) ||
        tcpFigures.returnToOk.size() != size_t(cycles)) {
        std::fprintf(stderr, "a controller did not come back\n");
        return 1;
    }
    report("pseudo-terminal", ptyFigures);
    report("TCP link", tcpFigures);
    return 0;
}
