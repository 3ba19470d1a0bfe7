#include "alertcommand.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <unistd.h>

CAlertCommand::CAlertCommand(const QString& command, Report report, QObject* parent)
    : QObject(parent), m_report(std::move(report)) {
    QStringList parts = QProcess::splitCommand(command);
    if (!parts.isEmpty()) {
        m_program = parts.takeFirst();
        m_arguments = parts;
    }
}

CAlertCommand::~CAlertCommand() {
    for (Run& run : m_runs) {
        disconnect(run.process, nullptr, this, nullptr);
        kill(run);
        run.process->waitForFinished(1000);
    }
}

QProcessEnvironment CAlertCommand::environmentFor(const Alert& alert) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARVEX_ALERT"), alertKindName(alert.kind));
    env.insert(QStringLiteral("TARVEX_ALERT_TEXT"), alert.text);
    env.insert(QStringLiteral("TARVEX_ALERT_REASON"), alert.reason);
    env.insert(QStringLiteral("TARVEX_COM_PORT"),
               alert.comPort > 0 ? QString::number(alert.comPort) : QString());
    env.insert(QStringLiteral("TARVEX_CONTROLLER"),
               alert.comPort > 0 ? QString::number(alert.controllerId) : QString());
    return env;
}

void CAlertCommand::run(const Alert& alert) {
    if (!isValid())
        return;
    if (int(m_waiting.size()) >= kMostWaiting) {
        m_report(QStringLiteral("--alert-command not run for %1: %2 alerts wait for it already")
                     .arg(alertKindName(alert.kind))
                     .arg(kMostWaiting));
        return;
    }
    m_waiting.push_back(alert);
    startNext();
}

void CAlertCommand::startNext() {
    while (!m_waiting.empty() && int(m_runs.size()) < kMostRunning) {
        const Alert alert = m_waiting.front();
        m_waiting.pop_front();
        auto* process = new QProcess(this);
        process->setProgram(m_program);
        process->setArguments(m_arguments);
        process->setProcessEnvironment(environmentFor(alert));
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Its own process group, so that a kill reaches whatever it started (a script's mailer).
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        Run run;
        run.process = process;
        run.kind = alertKindName(alert.kind);
        run.limit = new QTimer(process);
        run.limit->setSingleShot(true);
        run.limit->setTimerType(Qt::PreciseTimer);
        connect(run.limit, &QTimer::timeout, this, [this, process] {
            for (Run& r : m_runs)
                if (r.process == process) {
                    kill(r);
                    m_report(QStringLiteral("--alert-command for %1 still ran after %2 s: killed")
                                 .arg(r.kind)
                                 .arg(kTimeLimitMs / 1000));
                }
        });
        connect(process, &QProcess::finished, this, [this, process] { ended(process); });
        connect(process, &QProcess::errorOccurred, this,
                [this, process](QProcess::ProcessError error) {
                    if (error == QProcess::FailedToStart)
                        ended(process);
                });
        m_runs.push_back(run);
        run.limit->start(kTimeLimitMs);
        process->start();
    }
}

void CAlertCommand::kill(Run& run) {
    if (run.killed || run.process->state() == QProcess::NotRunning)
        return;
    run.killed = true;
    const qint64 pid = run.process->processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    run.process->kill();
}

void CAlertCommand::ended(QProcess* process) {
    auto it = std::find_if(m_runs.begin(), m_runs.end(),
                           [process](const Run& r) { return r.process == process; });
    if (it == m_runs.end())
        return;
    const Run run = *it;
    m_runs.erase(it);
    run.limit->stop();
    if (!run.killed) {
        if (process->error() == QProcess::FailedToStart)
            m_report(QStringLiteral("--alert-command for %1 did not start: %2")
                         .arg(run.kind, process->errorString()));
        else if (process->exitStatus() == QProcess::CrashExit)
            m_report(QStringLiteral("--alert-command for %1 ended abnormally").arg(run.kind));
        else if (process->exitCode() != 0)
            m_report(QStringLiteral("--alert-command for %1 failed with exit status %2")
                         .arg(run.kind)
                         .arg(process->exitCode()));
    }
    process->deleteLater();
    startNext();
}

void CAlertCommand::finish(int graceMs) {
    QElapsedTimer waited;
    waited.start();
    QEventLoop loop;
    QTimer tick;
    connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(20);
    while ((!m_runs.empty() || !m_waiting.empty()) && waited.elapsed() < graceMs)
        loop.exec();
    if (m_runs.empty() && m_waiting.empty())
        return;
    const int left = int(m_runs.size() + m_waiting.size());
    m_waiting.clear();
    // Each wait below ends its run, which leaves the list.
    std::vector<QProcess*> processes;
    for (const Run& run : m_runs)
        processes.push_back(run.process);
    for (QProcess* process : processes) {
        for (Run& run : m_runs)
            if (run.process == process)
                kill(run);
        process->waitForFinished(1000);
    }
    m_report(
        QStringLiteral("%1 runs of --alert-command had not ended with the run: killed").arg(left));
}
