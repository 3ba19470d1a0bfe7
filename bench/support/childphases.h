#pragma once

// For benchmarks that run each phase in a child process of their own, so that memory figures
// are not blurred by earlier phases: the program calls itself with "--child MODE DIR".

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

// A field of /proc/self/status in KiB (VmRSS, VmHWM), -1 when absent.
inline long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    }
    return -1;
}

inline double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs this program as "--child MODE DIR", its output passed through; its exit status.
inline int runChild(const QString& mode, const QString& dir) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), {"--child", mode, dir});
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : 1;
}

using ChildPhase = int (*)(const QString& dir);

// For "--child MODE DIR": runs the phase named MODE and returns its status (2 for a name not
// known); -1 when the program was not called as a child.
inline int runChildPhase(const QStringList& args,
                         std::initializer_list<std::pair<const char*, ChildPhase>> phases) {
    if (args.size() != 4 || args[1] != QLatin1String("--child"))
        return -1;
    for (const auto& [name, phase] : phases) {
        if (args[2] == QLatin1String(name))
            return phase(args[3]);
    }
    return 2;
}
