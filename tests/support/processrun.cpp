#include "processrun.h"

#include <QCoreApplication>
#include <QProcess>

ProcessRun runProgram(const QString& program, const QStringList& args, int timeoutMs,
                      const QString& workingDir) {
    QProcess p;
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + program, args);
    ProcessRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.finished = true;
    if (p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
