#pragma once

#include "vr12simulator.h"

#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

// Simulated controllers on COM1..COMcount of `deviceDir`, paced at 2400 baud as a real line;
// empty after telling why when one does not start.
inline std::vector<std::unique_ptr<Vr12Simulator>> startPacedSimulators(const QString& deviceDir,
                                                                        int count) {
    std::vector<std::unique_ptr<Vr12Simulator>> sims;
    for (int port = 1; port <= count; ++port) {
        auto sim = std::make_unique<Vr12Simulator>();
        sim->setPaced(true);
        if (!sim->start(deviceDir, port)) {
            std::fprintf(stderr, "simulator COM%d: %s\n", port, qPrintable(sim->errorString()));
            return {};
        }
        sims.push_back(std::move(sim));
    }
    return sims;
}
