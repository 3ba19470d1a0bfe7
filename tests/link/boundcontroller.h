#pragma once

#include "testfiles.h"
#include "testworld.h"
#include "vr12comm.h"
#include "vr12commfactory.h"
#include "vr12simulator.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

// A simulated controller on COM<n> and a form-like host holding one wrapper bound to a control
// from the program's module, logging into the test world.
struct BoundController {
    Vr12Simulator sim;
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    CVr12Comm comm;
    QString log;

    // Starts the simulator and creates the control; Init is left to the test.
    bool create(int comNumber, const QString& logName) {
        if (!sim.start(TestWorld::instance()->deviceDir(), comNumber))
            return false;
        const QString error = CVr12CommFactory::Program().CreateControl(comm, host.get());
        if (!error.isEmpty()) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        log = TestWorld::instance()->path(logName);
        comm.SetAsciiFileName(log);
        return true;
    }
    // As a form binds: the log file name, then Init with the port number minus 1.
    bool bind(int comNumber, const QString& logName) {
        return create(comNumber, logName) && comm.Init(short(comNumber - 1));
    }
    ~BoundController() {
        comm.Destroy();
        host.reset();
    }
};
