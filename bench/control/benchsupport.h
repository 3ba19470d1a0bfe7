#pragma once

#include <vr12comm/ivr12comm.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Benchmarks run in a world of their own: a temporary device folder and log
// folder, and the control module from the build's plugins folder.
struct BenchWorld {
    QTemporaryDir dir;
    BenchWorld() {
        qputenv("VR12COMM_DEVICES", QFile::encodeName(dir.filePath("devices")));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

inline vr12comm::IVr12CommFactory* loadOrDie() {
    QString error;
    vr12comm::IVr12CommFactory* f = vr12comm::loadFactory(&error);
    if (!f) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(2);
    }
    return f;
}
