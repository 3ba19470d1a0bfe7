#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of a program of the build, with what it printed.
struct ProcessRun {
    bool finished = false; // ended within the time given (a run that did not is killed)
    int exitCode = -1;     // -1 unless it ended normally
    QByteArray out;
    QByteArray err;
};

// Runs bin/<program> of the build, next to the test, and waits for it.
ProcessRun runProgram(const QString& program, const QStringList& args, int timeoutMs = 60000,
                      const QString& workingDir = QString());
