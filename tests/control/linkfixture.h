#pragma once

#include "testworld.h"
#include "vr12link.h"
#include "vr12simulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A simulated controller on COM<number> of the test world and a link to it.
struct LinkFixture {
    Vr12Simulator sim;
    std::unique_ptr<vr12comm::Vr12Link> link;

    bool start(int comNumber = 1, const QString& logName = QStringLiteral("reg.txt")) {
        if (!sim.start(TestWorld::instance()->deviceDir(), comNumber))
            return false;
        link = std::make_unique<vr12comm::Vr12Link>();
        link->restoreAsciiFileName(TestWorld::instance()->path(logName));
        return link->init(short(comNumber - 1));
    }
    ~LinkFixture() {
        if (link)
            link->destroy();
    }
};

// Milliseconds a call takes.
template <typename F> qint64 timed(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.elapsed();
}
