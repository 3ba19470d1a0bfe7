// A 255-entry table listing from a simulator paced at 2400 baud, against the
// wire time of 255 x 22 + 1 bytes at 10 bits per byte.
#include "benchsupport.h"
#include "vr12simulator.h"

#include <QApplication>

#include <chrono>

int main(int argc, char** argv) {
    BenchWorld world;
    QApplication app(argc, argv);
    Vr12Simulator sim;
    sim.setPaced(true);
    sim.fillTable(255);
    if (!sim.start(qEnvironmentVariable("VR12COMM_DEVICES"), 1)) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.errorString()));
        return 1;
    }
    auto* c = loadOrDie()->createControl(nullptr);
    c->setAsciiFileName(world.path("reg.txt"));
    if (!c->init(0))
        return 1;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    int records = 0;
    QString r = c->readFirstID();
    while (r.size() == 22) {
        ++records;
        r = c->readNextID();
    }
    const auto end = Clock::now();
    const auto received = sim.received();
    const auto commandAt = received.isEmpty() ? start : received.last().at;
    auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    const double wire = (255 * 22 + 1) * 10 * 1000.0 / 2400;
    const double fromCommand = ms(end - commandAt);
    std::printf("listing: %d records then \"%s\"\n", records, qPrintable(r));
    std::printf("wire time %.0f ms; from the command byte %.0f ms (%+.2f %%); "
                "including the wait for the lock %.0f ms (%+.2f %%); target within 2 %%\n",
                wire, fromCommand, 100 * (fromCommand - wire) / wire, ms(end - start),
                100 * (ms(end - start) - wire) / wire);
    c->destroy();
    delete c->widget();
    return records == 255 && r == "*" ? 0 : 1;
}
