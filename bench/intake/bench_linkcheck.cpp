// Figures of the link check in the program, offscreen: 255 simulated controllers in one
// workspace. The idle CPU of the program's process over 20 s, and a round of link checks of all
// of them: how long the user-interface thread was held by one check at most, how late its event
// loop ran, and whether any two checks were on the line at once. The simulators run in this
// process, the program in a child of its own, so that its CPU time is its own.
#include "benchfigures.h"
#include "intakeworld.h"
#include "support/pacedsimulators.h"

#include "applinkcheck.h"
#include "childphases.h"
#include "vr12simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include <sys/resource.h>

using namespace std::chrono_literals;

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kControllers = 255;
constexpr int kIdleSeconds = 20;
constexpr auto kInterval = 30s;
// A status reply's 20 bytes at 2400 baud: two checks whose requests came closer than this
// would have shared the line.
constexpr auto kReplyTime = Vr12Simulator::kByteTime * 20;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The program on the workspace of all controllers, in the child.
int runProgram(const QString& deviceDir) {
    qputenv("VR12COMM_DEVICES", QFile::encodeName(deviceDir));
    IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
    IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
    std::map<int, CTermRecord> controllers;
    for (int port = 1; port <= kControllers; ++port)
        controllers[port] = controller("Door " + std::to_string(1000 + port), port, 1);
    IntakeWorld w;
    const auto startAt = Clock::now();
    if (!w.start(QStringLiteral("site"), controllers)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    for (int port = 1; port <= kControllers; ++port)
        if (!w.form(port) || w.form(port)->Status() != QLatin1String("OK")) {
            std::fprintf(stderr, "COM%d did not open\n", port);
            return 1;
        }
    std::printf("start-up with %d controllers: %.1f s\n", kControllers, seconds(startAt));
    QTest::qWait(2000);

    // Idle: nothing registers, and the checks at LinkCheckMinutes' default are minutes away.
    const double cpuBefore = cpuSeconds();
    const auto idleFrom = Clock::now();
    QTest::qWait(kIdleSeconds * 1000);
    const double idle = (cpuSeconds() - cpuBefore) / seconds(idleFrom) * 100;
    std::printf("idle CPU over %d s: %.2f %% of one core (target < 2 %%) %s\n", kIdleSeconds, idle,
                verdict(idle < 2));

    // A round of checks of every controller, once each is silent for the interval.
    CLinkChecker& checker = w.app->linkCheck()->checker();
    checker.setInterval(kInterval);
    QElapsedTimer beat;
    qint64 latest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { latest = std::max(latest, beat.restart()); });
    if (!QTest::qWaitFor([&] { return checker.checking(); }, int(kInterval / 1ms) + 10000)) {
        std::fprintf(stderr, "no check began\n");
        return 1;
    }
    const auto roundFrom = Clock::now();
    const double cpuRound = cpuSeconds();
    beat.start();
    ticks.start(10);
    const bool done =
        QTest::qWaitFor([&] { return checker.checksDone() >= kControllers; }, 600 * 1000);
    ticks.stop();
    const double roundSeconds = seconds(roundFrom);
    checker.setInterval(10min);
    if (!QTest::qWaitFor([&] { return !checker.checking(); }, 10000))
        std::fprintf(stderr, "the last check did not end\n");
    int lost = 0;
    for (int port = 1; port <= kControllers; ++port)
        lost += checker.isLost(port) ? 1 : 0;
    std::printf("round of %d checks: %.1f s (%s), %d lost, CPU %.2f %% of one core\n",
                checker.checksDone(), roundSeconds, done ? "complete" : "INCOMPLETE", lost,
                (cpuSeconds() - cpuRound) / roundSeconds * 100);
    std::printf("longest the UI thread was held by one check: %.3f ms\n",
                double(checker.longestHold().count()) / 1e6);
    std::printf("longest the UI thread's event loop was late during the round: %lld ms (10 ms "
                "timer)\n",
                static_cast<long long>(latest > 10 ? latest - 10 : 0));
    return done && lost == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    QApplication app(argc, argv);
    QDir::setCurrent(world.root());
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child"))
        return runProgram(args[3]);

    std::vector<std::unique_ptr<Vr12Simulator>> sims =
        startPacedSimulators(world.deviceDir(), kControllers);
    if (sims.empty())
        return 1;
    std::printf("offscreen platform, %d simulated controllers paced at 2400 baud\n", kControllers);
    std::fflush(stdout);
    const int status = runChild(QStringLiteral("program"), world.deviceDir());

    // Every status request as the controllers received it.
    std::vector<Vr12Simulator::Clock::time_point> requests;
    int unchecked = 0;
    for (const auto& sim : sims) {
        int asked = 0;
        for (const Vr12Simulator::Received& r : sim->received())
            if (r.byte == 'V') {
                requests.push_back(r.at);
                ++asked;
            }
        unchecked += asked == 0 ? 1 : 0;
    }
    std::sort(requests.begin(), requests.end());
    int shared = 0;
    auto closest = Vr12Simulator::Clock::duration::max();
    for (size_t i = 1; i < requests.size(); ++i) {
        const auto gap = requests[i] - requests[i - 1];
        closest = std::min(closest, gap);
        shared += gap < kReplyTime ? 1 : 0;
    }
    std::printf("status requests on the lines: %zu, controllers never asked: %d\n", requests.size(),
                unchecked);
    if (requests.size() > 1)
        std::printf("closest two requests: %.1f ms apart; pairs closer than a reply (%.0f ms): "
                    "%d %s\n",
                    std::chrono::duration<double, std::milli>(closest).count(),
                    std::chrono::duration<double, std::milli>(kReplyTime).count(), shared,
                    verdict(shared == 0));
    return status == 0 && unchecked == 0 && shared == 0 ? 0 : 1;
}
