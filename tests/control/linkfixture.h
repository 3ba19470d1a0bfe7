#pragma once

#include "testworld.h"
#include "vr12link.h"
#include "vr12simulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <utility>

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

// The texts of the registrations a link raises, in order.
struct Raised {
    QList<QByteArray> texts;
    explicit Raised(vr12comm::Vr12Link* link) {
        QObject::connect(link, &vr12comm::Vr12Link::rxMessage, link,
                         [this, link] { texts << link->lastReg(); });
    }
    // Everything raised since the last call, once the line has settled: waits for `expected`
    // texts, then sends a status message of its own and waits for it, so
    // whatever came off the line before it is in. "no marker" when it never came.
    QList<QByteArray> settle(Vr12Simulator& sim, qsizetype expected = 0) {
        (void)QTest::qWaitFor([&] { return texts.size() >= expected; }, 3000);
        if (expected > 0)
            QTest::qWait(400); // the receiver's current message ends first
        const qsizetype start = texts.size();
        sim.sendMessage("+MK");
        if (!QTest::qWaitFor([&] { return texts.size() > start && texts.last() == "+MK"; }, 4000))
            return {"no marker"};
        texts.removeLast();
        return std::exchange(texts, {});
    }
};

// Milliseconds a call takes.
template <typename F> qint64 timed(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.elapsed();
}
