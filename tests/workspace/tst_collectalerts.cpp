// tarvexctl collect's alerts: each one a line on stderr, and --alert-command run for each with
// the alert in its environment, never through a shell; a command that fails is said, one that
// hangs is killed after 10 s with what it started, and the intake goes on meanwhile.
#include "alertcommand.h"
#include "appsettings.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "vr12simulator.h"
#include "workspacefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <cerrno>
#include <csignal>

namespace {
QString worldPath(const QString& name) {
    return TestWorld::instance()->path(name);
}

QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// COM3 (controller 44) simulated, COM4 (controller 2) a link to no device, no employees: every
// medium is unknown. Three unknown keys within two minutes make a burst.
QString prepareSite(const QString& name) {
    const QString regs = worldPath("regs-" + name);
    QDir(regs).removeRecursively();
    QDir().mkpath(regs);
    const auto store = CAppSettings::openStore();
    store->setValue(QStringLiteral("Settings/RegFilePath"), regs);
    store->setValue(QStringLiteral("Settings/UseMRDB"), 0);
    store->setValue(QStringLiteral("Settings/UnknownAlertCount"), 3);
    store->setValue(QStringLiteral("Settings/UnknownAlertMinutes"), 2);
    store->sync();
    const QString missing = TestWorld::instance()->deviceDir() + "/COM4";
    QFile::remove(missing);
    QFile::link(worldPath("no-such-tty"), missing);
    CTarvexDoc doc;
    for (const auto& [port, id] : {std::pair{3, 44}, std::pair{4, 2}}) {
        CTermRecord record;
        record.Name = "Door";
        record.ID = id;
        doc.InsertController(port, record);
    }
    const QString path = worldPath(name + ".VR-12");
    return CWorkspaceFile::Save(doc, path).ok ? path : QString();
}

// An executable shell script of the test world (the command itself may be a script; it is
// started directly, not through a shell).
QString writeScript(const QString& name, const QByteArray& body) {
    const QString path = worldPath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Collect {
    QProcess p;
    QByteArray out, err;

    bool start(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(TestWorld::instance()->root());
        p.start(QCoreApplication::applicationDirPath() + "/tarvexctl",
                QStringList{"collect"} + args);
        return p.waitForStarted(5000);
    }
    void read() {
        out += p.readAllStandardOutput();
        err += p.readAllStandardError();
    }
    // Waits for a text on stderr; false when it did not come in time.
    bool waitForErr(const QByteArray& text, int timeoutMs = 15000) {
        QElapsedTimer t;
        t.start();
        while (!err.contains(text) && t.elapsed() < timeoutMs &&
               p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(20);
            read();
        }
        read();
        return err.contains(text);
    }
    bool waitForLines(int count, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (linesOf(out).size() < count && t.elapsed() < timeoutMs &&
               p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(20);
            read();
        }
        return linesOf(out).size() >= count;
    }
    int stop() {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(20000))
            return -1;
        read();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    ~Collect() {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
        }
    }
};
} // namespace

class TestCollectAlerts : public QObject {
    Q_OBJECT
private slots:
    void everyAlertIsALineAndRunsTheCommandWithItsEnvironment() {
        Vr12Simulator door;
        QVERIFY(door.start(TestWorld::instance()->deviceDir(), 3));
        const QString ws = prepareSite("alertenv");
        QVERIFY(!ws.isEmpty());
        const QString log = worldPath("alertenv.log");
        QFile::remove(log);
        // It fails for one kind of alert, and its second argument shows what a shell would
        // have expanded.
        const QString script = writeScript(
            "alertenv.sh", "printf '%s|%s|%s|%s|%s\\n' \"$TARVEX_ALERT\" \"$TARVEX_ALERT_TEXT\" "
                           "\"$TARVEX_COM_PORT\" \"$TARVEX_CONTROLLER\" \"$2\" >>\"$1\"\n"
                           "[ \"$TARVEX_ALERT\" != controller-lost ]\n");
        QVERIFY(!script.isEmpty());

        Collect run;
        QVERIFY(run.start(
            {ws, "--alert-command", QStringLiteral("%1 \"%2\" \"$HOME;`x`\"").arg(script, log)}));
        QVERIFY2(run.waitForErr("collecting from 1 of 2"), run.err.constData());
        QVERIFY2(run.err.contains("tarvexctl: alert controller-lost: COM4 is lost\n"),
                 run.err.constData());
        QVERIFY2(run.waitForErr("--alert-command for controller-lost failed with exit status 1"),
                 run.err.constData());

        // Two unknown keys are no burst; the third is, and a fourth is not told again.
        for (int n = 1; n <= 4; ++n) {
            door.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(60 + n)));
            QVERIFY(run.waitForLines(n, 8000));
            if (n == 2)
                QVERIFY(!run.err.contains("unknown-media"));
        }
        QVERIFY2(run.waitForErr("tarvexctl: alert unknown-media: COM3: 3 unknown keys within 2 "
                                "minutes\n"),
                 run.err.constData());
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(fileText(log)).size(), 2, 10000);
        QCOMPARE(run.stop(), 0);
        QCOMPARE(run.err.count("tarvexctl: alert "), 2);
        QCOMPARE(run.err.count("--alert-command for"), 1);
        const QList<QByteArray> told = linesOf(fileText(log));
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.at(0), QByteArray("controller-lost|COM4 is lost|4|2|$HOME;`x`"));
        QCOMPARE(told.at(1),
                 QByteArray("unknown-media|COM3: 3 unknown keys within 2 minutes|3|44|$HOME;`x`"));
    }

    // The limit is measured from the alert's line to the line that says the command was killed.
    void aHangingCommandIsKilledAfterTenSecondsWhileIntakeGoesOn() {
        Vr12Simulator door;
        QVERIFY(door.start(TestWorld::instance()->deviceDir(), 3));
        const QString ws = prepareSite("alerthang");
        QVERIFY(!ws.isEmpty());
        const QString pidFile = worldPath("alerthang.pid");
        QFile::remove(pidFile);
        // The script waits on a child of its own: the kill must reach that one too.
        const QString script = writeScript("alerthang.sh", "echo $$ >\"$1\"\nsleep 60\n");

        Collect run;
        QVERIFY(run.start({ws, "--alert-command", script + " " + pidFile}));
        QVERIFY2(run.waitForErr("tarvexctl: alert controller-lost: COM4 is lost"),
                 run.err.constData());
        QElapsedTimer sinceAlert;
        sinceAlert.start();

        // Registrations go on reaching the output while the command hangs.
        for (int n = 1; n <= 2; ++n) {
            QElapsedTimer t;
            t.start();
            door.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(70 + n)));
            QVERIFY(run.waitForLines(n, 8000));
            QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        }
        QVERIFY(!run.err.contains("killed"));

        const QByteArray killed =
            "--alert-command for controller-lost still ran after 10 s: killed";
        QVERIFY2(run.waitForErr(killed, 20000), run.err.constData());
        const qint64 ms = sinceAlert.elapsed();
        qInfo("alert command killed %lld ms after its alert", ms);
        QVERIFY2(ms >= 9800 && ms <= 11500, qPrintable(QString::number(ms)));
        // Its process group is gone, the sleeping child with it.
        const pid_t group = pid_t(fileText(pidFile).trimmed().toInt());
        QVERIFY(group > 0);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(-group, 0) == -1 && errno == ESRCH, 3000);

        door.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(79)));
        QVERIFY(run.waitForLines(3, 8000));
        QCOMPARE(run.stop(), 0);
    }

    void theEnvironmentOfAnAlertWithoutController() {
        Alert alert;
        alert.kind = AlertKind::ReportingSilent;
        alert.text =
            QStringLiteral("MorrowReports database does not answer: 4 registrations waiting");
        alert.reason = QStringLiteral("connection refused");
        const QProcessEnvironment env = CAlertCommand::environmentFor(alert);
        QCOMPARE(env.value("TARVEX_ALERT"), QStringLiteral("reporting-not-answering"));
        QCOMPARE(env.value("TARVEX_ALERT_TEXT"), alert.text);
        QCOMPARE(env.value("TARVEX_ALERT_REASON"), alert.reason);
        QVERIFY(env.contains("TARVEX_COM_PORT"));
        QCOMPARE(env.value("TARVEX_COM_PORT"), QString());
        QCOMPARE(env.value("TARVEX_CONTROLLER"), QString());
        // The rest of the environment is the collector's own (PATH for the site's tools).
        QCOMPARE(env.value("PATH"), qEnvironmentVariable("PATH"));
    }

    void aCommandThatDoesNotStartIsSaidAndAnEmptyOneRefused() {
        QStringList lines;
        CAlertCommand none(QStringLiteral("   "), [&](const QString& l) { lines << l; });
        QVERIFY(!none.isValid());
        CAlertCommand missing(worldPath("no-such-program") + " --flag",
                              [&](const QString& l) { lines << l; });
        QVERIFY(missing.isValid());
        Alert alert;
        alert.kind = AlertKind::ControllerBack;
        missing.run(alert);
        QTRY_COMPARE(lines.size(), 1);
        QVERIFY2(lines.at(0).startsWith("--alert-command for controller-back did not start"),
                 qPrintable(lines.at(0)));
        QCOMPARE(missing.running(), 0);

        Collect usage;
        QVERIFY(usage.start({"x.VR-12", "--alert-command", ""}));
        QVERIFY(usage.p.waitForFinished(10000));
        QCOMPARE(usage.p.exitCode(), 2);
        usage.read();
        QVERIFY(usage.err.contains("--alert-command needs a program to run"));
    }
};

TARVEX_TEST_MAIN(TestCollectAlerts)
#include "tst_collectalerts.moc"
