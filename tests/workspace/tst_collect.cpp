// tarvexctl collect: the registration intake without a window, run as a process the way a
// site PC runs it (no display), and the collector itself for the change of month.
#include "appsettings.h"
#include "collector.h"
#include "dbfixture.h"
#include "dbserver.h"
#include "envoverride.h"
#include "processrun.h"
#include "reportcommand.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "vr12commfactory.h"
#include "vr12link.h"
#include "vr12simulator.h"
#include "workspacefile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

QString worldPath(const QString& name) {
    return TestWorld::instance()->path(name);
}

// What was written to a temporary file, from its start; the file is closed.
QByteArray readAndClose(std::FILE* file) {
    std::rewind(file);
    QByteArray text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file))
        text += buffer;
    std::fclose(file);
    return text;
}

QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QList<QByteArray> fileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // The control ends its lines the way the original platform does.
    QList<QByteArray> lines = linesOf(f.readAll());
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// A fresh, empty folder of the test world.
QString freshFolder(const QString& name) {
    const QString dir = worldPath(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

struct ControllerEntry {
    int port;
    int id;
    int code;
};

QString writeWorkspace(const QString& name, const QList<ControllerEntry>& controllers) {
    CTarvexDoc doc;
    for (const ControllerEntry& c : controllers) {
        CTermRecord record;
        record.Name = "Door " + std::to_string(c.port);
        record.ID = c.id;
        record.Code = c.code;
        doc.InsertController(c.port, record);
    }
    const QString path = worldPath(name);
    return CWorkspaceFile::Save(doc, path).ok ? path : QString();
}

// The desktop program's settings as the collector reads them.
void storeSettings(const QString& regFilePath, int useMrdb, const QString& mrdb = QString(),
                   const QString& call = QStringLiteral("exec")) {
    const auto store = CAppSettings::openStore();
    store->setValue(QStringLiteral("Settings/RegFilePath"), regFilePath);
    store->setValue(QStringLiteral("Settings/UseMRDB"), useMrdb);
    store->setValue(QStringLiteral("Settings/MRDB"), mrdb);
    store->setValue(QStringLiteral("Settings/MRDBCall"), call);
    store->sync();
}

QString monthlyFile(const QString& folder) {
    const QDate today = QDate::currentDate();
    return folder + QLatin1Char('/') +
           CAppSettings::monthlyFileNameFor(today.year(), today.month());
}

// One run of tarvexctl collect, started the way a site PC starts it: no display, no platform
// chosen.
struct Collect {
    QProcess p;
    QByteArray out;
    QByteArray err;
    QString dataHome; // the run's XDG_DATA_HOME, where its report queue lives; empty: the world's

    bool start(const QStringList& args, const QString& program = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        if (!dataHome.isEmpty())
            env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(TestWorld::instance()->root());
        p.start(program.isEmpty() ? QCoreApplication::applicationDirPath() + "/tarvexctl" : program,
                QStringList{"collect"} + args);
        return p.waitForStarted(5000);
    }
    void read() {
        out += p.readAllStandardOutput();
        err += p.readAllStandardError();
    }
    // Waits until the ports are open (the line that says so on stderr).
    bool collecting() {
        QElapsedTimer t;
        t.start();
        while (!err.contains("collecting from") && t.elapsed() < 15000 &&
               p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(200);
            read();
        }
        return err.contains("collecting from");
    }
    bool waitForLines(int count, int timeoutMs = 8000) {
        QElapsedTimer t;
        t.start();
        while (linesOf(out).size() < count && t.elapsed() < timeoutMs &&
               p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(100);
            read();
        }
        read();
        return linesOf(out).size() >= count;
    }
    // The exit status of a run that ended by itself within the time; -1 otherwise.
    int finish(int timeoutMs = 10000) {
        if (!p.waitForFinished(timeoutMs))
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

QList<QByteArray> fields(const QByteArray& line) {
    return line.split('\t');
}

// A controller (44, code 4400) on COM3 reporting into the database as bound calls, with its
// own registrations folder and data folder (the report queue).
struct ReportingSite {
    Vr12Simulator controller;
    QString regs, data, workspace;

    bool start(const QString& name, const TestDbServer& db) {
        regs = freshFolder("regs-" + name);
        data = freshFolder("data-" + name);
        storeSettings(regs, 1, db.connectionString(), "call");
        workspace = writeWorkspace(name + ".VR-12", {{3, 44, 4400}});
        return controller.start(TestWorld::instance()->deviceDir(), 3) && !workspace.isEmpty();
    }
};

// tarvexctl report with the report queue of the given data folder.
ProcessRun reportCommand(const QString& dataHome, const QString& option) {
    EnvOverride data("XDG_DATA_HOME", dataHome);
    return runProgram(QStringLiteral("tarvexctl"), {QStringLiteral("report"), option}, 30000);
}

// The row spOndixReg writes for a simulated registration of controller 44, code 4400.
QString reportRow(const QByteArray& mediaId, const QByteArray& outLine) {
    const QList<QByteArray> f = fields(outLine);
    return QStringLiteral("%1\t%2\t%2 %3:00\t999\t44\t4400")
        .arg(QString::fromLatin1(mediaId.mid(6, 8)), QString::fromLatin1(f.value(0)),
             QString::fromLatin1(f.value(1).left(5)));
}

} // namespace

class TestCollect : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDbServer> m_postgres;

    // One PostgreSQL for the tests that report into one, started by the first of them.
    TestDbServer* postgres() {
        if (!m_postgres) {
            m_postgres = std::make_unique<TestDbServer>(TestDbServer::PostgreSQL);
            if (!m_postgres->start())
                qWarning("%s", qPrintable(m_postgres->error()));
        }
        return m_postgres->isRunning() || m_postgres->start() ? m_postgres.get() : nullptr;
    }

private slots:
    // Two controllers' registrations reach stdout, told apart by the controller ID, and the
    // monthly file under RegFilePath; the run ends by itself after the count.
    void twoControllersPrintedAndFiled() {
        Vr12Simulator a, b;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        QVERIFY(b.start(TestWorld::instance()->deviceDir(), 5));
        const QString regs = freshFolder("regs-two");
        storeSettings(regs, 0);
        const QString ws = writeWorkspace("two.VR-12", {{3, 31, 301}, {5, 52, 502}});
        QVERIFY(!ws.isEmpty());

        Collect run;
        QVERIFY(run.start({ws, "--count", "4", "--seconds", "60"}));
        QVERIFY2(run.collecting(), run.err.constData());
        QVERIFY(run.err.contains("collecting from 2 of 2 controllers"));
        const QByteArray idA1 = Vr12Simulator::mediaIdFor(1), idB = Vr12Simulator::mediaIdFor(2),
                         idA2 = Vr12Simulator::mediaIdFor(3);
        a.sendMessage(Vr12Simulator::registrationFor(idA1));
        QVERIFY(run.waitForLines(1));
        b.sendMessage(Vr12Simulator::registrationFor(idB));
        QVERIFY(run.waitForLines(2));
        a.sendMessage(Vr12Simulator::registrationFor(idA2));
        QVERIFY(run.waitForLines(3));
        b.sendMessage("+ST"); // a short status message: a row with no media ID
        QCOMPARE(run.finish(), 0);
        QCOMPARE(run.err.count('\n'), 1); // only the line that says collecting started

        const QList<QByteArray> out = linesOf(run.out);
        QCOMPARE(out.size(), 4);
        const QByteArray today = QDate::currentDate().toString(Qt::ISODate).toLatin1();
        const QList<QList<QByteArray>> expected = {
            {today, "", "O", idA1, "31"},
            {today, "", "O", idB, "52"},
            {today, "", "O", idA2, "31"},
            {today, "", "ST", "", "52"},
        };
        for (int i = 0; i < out.size(); ++i) {
            QList<QByteArray> got = fields(out.at(i));
            QCOMPARE(got.size(), 5);
            QVERIFY(QTime::fromString(QString::fromLatin1(got.at(1)), "HH:mm:ss").isValid());
            got[1] = "";
            // Just before midnight the date may have moved on between the lines.
            if (got.at(0) != today)
                got[0] = today;
            QCOMPARE(got, expected.at(i));
        }

        const QList<QByteArray> file = fileLines(monthlyFile(regs));
        QCOMPARE(file.size(), 4);
        QVERIFY(file.at(0).endsWith("," + idA1 + ",COM3"));
        QVERIFY(file.at(1).endsWith("," + idB + ",COM5"));
        QVERIFY(file.at(2).endsWith("," + idA2 + ",COM3"));
        QVERIFY2(file.at(3).contains(",+ST,") && file.at(3).endsWith(",COM5"),
                 file.at(3).constData());
    }

    // --count N prints N lines and ends the run while the controller goes on reporting.
    void countStopsAfterN() {
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        storeSettings(freshFolder("regs-count"), 0);
        const QString ws = writeWorkspace("count.VR-12", {{3, 7, 70}});

        Collect run;
        QVERIFY(run.start({ws, "--count", "2"}));
        QVERIFY2(run.collecting(), run.err.constData());
        a.scheduleRegistrations(std::chrono::milliseconds(500),
                                {Vr12Simulator::mediaIdFor(4), Vr12Simulator::mediaIdFor(5)});
        QCOMPARE(run.finish(15000), 0);
        a.scheduleRegistrations(std::chrono::milliseconds(0), {});
        const QList<QByteArray> out = linesOf(run.out);
        QCOMPARE(out.size(), 2);
        QCOMPARE(fields(out.at(0)).at(3), Vr12Simulator::mediaIdFor(4));
        QCOMPARE(fields(out.at(1)).at(3), Vr12Simulator::mediaIdFor(5));
    }

    // --seconds S ends a quiet run after S seconds.
    void secondsEndTheRun() {
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        storeSettings(freshFolder("regs-seconds"), 0);
        const QString ws = writeWorkspace("seconds.VR-12", {{3, 7, 70}});
        Collect run;
        QVERIFY(run.start({ws, "--seconds", "1.5"}));
        QVERIFY2(run.collecting(), run.err.constData());
        QElapsedTimer t;
        t.start();
        QCOMPARE(run.finish(15000), 0);
        // From the readiness line the run has at most 1.5 s left; a loaded machine adds some.
        QVERIFY2(t.elapsed() <= 1500 + 3000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(run.out.isEmpty());
    }

    void stopSignalEndsCleanly_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    // A stop request closes the port (a new client can open it) and leaves every line in the
    // file; the exit status is 0.
    void stopSignalEndsCleanly() {
        QFETCH(int, signalNumber);
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 6));
        const QString regs = freshFolder("regs-signal");
        storeSettings(regs, 0);
        const QString ws = writeWorkspace("signal.VR-12", {{6, 12, 120}});

        Collect run;
        QVERIFY(run.start({ws, "--seconds", "60"}));
        QVERIFY2(run.collecting(), run.err.constData());
        a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(9)));
        QVERIFY(run.waitForLines(1));
        // While the collector runs, the port is its own.
        {
            vr12comm::Vr12Link other;
            other.restoreAsciiFileName(worldPath("other.txt"));
            QVERIFY(!other.init(5));
        }
        QCOMPARE(::kill(pid_t(run.p.processId()), signalNumber), 0);
        QCOMPARE(run.finish(), 0);
        QCOMPARE(linesOf(run.out).size(), 1);

        const QList<QByteArray> file = fileLines(monthlyFile(regs));
        QCOMPARE(file.size(), 1);
        QVERIFY2(file.at(0).endsWith("," + Vr12Simulator::mediaIdFor(9) + ",COM6"),
                 file.at(0).constData());

        vr12comm::Vr12Link next;
        next.restoreAsciiFileName(worldPath("next.txt"));
        QVERIFY2(next.init(5), qPrintable(next.lastError()));
        next.destroy();
    }

    // SQLite cannot run "exec": each registration's command reaches the database layer, its
    // refusal is reported once per registration on stderr, and the intake goes on.
    void reportingDatabaseRefusalReportedPerRegistration() {
        QCOMPARE(runStatements("mrdb.db", {"CREATE TABLE IF NOT EXISTS regs (id TEXT)"}),
                 QString());
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        const QString regs = freshFolder("regs-mrdb");
        storeSettings(regs, 1, TestWorld::instance()->sqliteConnection("mrdb.db"));
        const QString ws = writeWorkspace("mrdb.VR-12", {{3, 44, 4400}});

        Collect run;
        QVERIFY(run.start({ws, "--count", "3", "--seconds", "60"}));
        QVERIFY2(run.collecting(), run.err.constData());
        const QByteArray id1 = Vr12Simulator::mediaIdFor(21), id2 = Vr12Simulator::mediaIdFor(22);
        a.sendMessage(Vr12Simulator::registrationFor(id1));
        QVERIFY(run.waitForLines(1));
        a.sendMessage("R" + id2 + " M"); // not a person's registration: no command
        QVERIFY(run.waitForLines(2));
        a.sendMessage(Vr12Simulator::registrationFor(id2));
        QCOMPARE(run.finish(), 0);

        const QList<QByteArray> out = linesOf(run.out);
        QCOMPARE(out.size(), 3);
        QList<QByteArray> refusals;
        for (const QByteArray& line : linesOf(run.err))
            if (line.contains("not reported"))
                refusals << line;
        QCOMPARE(refusals.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QList<QByteArray> row = fields(out.at(i == 0 ? 0 : 2));
            const QString command =
                reportCommandText(QString::fromLatin1(row.at(3)), QString::fromLatin1(row.at(0)),
                                  QString::fromLatin1(row.at(1)), 44, 4400);
            QVERIFY2(refusals.at(i).contains(command.toLatin1()), refusals.at(i).constData());
            QVERIFY(refusals.at(i).contains(row.at(3)));
        }
        QCOMPARE(fileLines(monthlyFile(regs)).size(), 3);
        storeSettings(regs, 0);
    }

    // A reporting database that does not open is said once; the intake goes on, and the
    // registration waits in the report queue, which the end of the run says.
    void reportingDatabaseThatDoesNotOpen() {
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        const QString regs = freshFolder("regs-nodb");
        storeSettings(regs, 1, "Driver=NoSuchDriver;Database=x");
        const QString ws = writeWorkspace("nodb.VR-12", {{3, 44, 4400}});
        Collect run;
        QVERIFY(run.start({ws, "--count", "1", "--seconds", "60"}));
        QVERIFY2(run.collecting(), run.err.constData());
        a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(23)));
        QCOMPARE(run.finish(), 0);
        QCOMPARE(linesOf(run.out).size(), 1);
        QCOMPARE(run.err.count("reporting database does not open"), 1);
        // That with its alert, the readiness line and what waits for the next start.
        QCOMPARE(linesOf(run.err).size(), 4);
        QVERIFY2(run.err.contains("tarvexctl: alert reporting-not-answering: MorrowReports "
                                  "database does not answer: "),
                 run.err.constData());
        QVERIFY2(run.err.contains("1 registrations wait in the report queue for the next start"),
                 run.err.constData());
        storeSettings(regs, 0);
        // The desktop program's setting stays as the user left it.
        QCOMPARE(CAppSettings::openStore()->value("Settings/UseMRDB").toInt(), 0);
    }

    // A queue at ReportQueueMax turns the next registration away with one alert; the monthly
    // file still gets it.
    void fullReportQueueIsAnAlert() {
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        const QString regs = freshFolder("regs-full");
        storeSettings(regs, 1, "Driver=NoSuchDriver;Database=x");
        CAppSettings::openStore()->setValue("Settings/ReportQueueMax", 1);
        const QString ws = writeWorkspace("full.VR-12", {{3, 44, 4400}});
        Collect run;
        run.dataHome = freshFolder("data-full");
        QVERIFY(run.start({ws, "--count", "3", "--seconds", "60"}));
        const bool collecting = run.collecting();
        CAppSettings::openStore()->remove("Settings/ReportQueueMax");
        QVERIFY2(collecting, run.err.constData());
        for (int i = 0; i < 3; ++i) {
            a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(40 + i)));
            QVERIFY(run.waitForLines(i + 1));
        }
        QCOMPARE(run.finish(), 0);
        QVERIFY2(run.err.count("tarvexctl: alert report-queue-full: Report queue full: 1 "
                               "registrations waiting, new ones only in the monthly file\n") == 1 &&
                     run.err.count("alert ") == 2,
                 run.err.constData());
        QCOMPARE(fileLines(monthlyFile(regs)).size(), 3);
        storeSettings(regs, 0);
    }

    // A controller whose device is missing is reported; the other one collects.
    void missingDeviceReportedOthersGoOn() {
        Vr12Simulator a;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 3));
        const QString missing = TestWorld::instance()->deviceDir() + "/COM4";
        QFile::remove(missing);
        QVERIFY(QFile::link(worldPath("no-such-tty"), missing));
        storeSettings(freshFolder("regs-missing"), 0);
        const QString ws = writeWorkspace("missing.VR-12", {{3, 1, 10}, {4, 2, 20}});

        Collect run;
        QVERIFY(run.start({ws, "--count", "1", "--seconds", "60"}));
        QVERIFY2(run.collecting(), run.err.constData());
        QVERIFY(run.err.contains("collecting from 1 of 2 controllers"));
        const QList<QByteArray> err = linesOf(run.err);
        QCOMPARE(err.size(), 3);
        QVERIFY2(err.at(0).startsWith("tarvexctl: COM4 (controller 2) does not open: COM4"),
                 err.at(0).constData());
        QCOMPARE(err.at(1), QByteArray("tarvexctl: alert controller-lost: COM4 is lost"));
        a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(30)));
        QCOMPARE(run.finish(), 0);
        QCOMPARE(fields(linesOf(run.out).value(0)).value(4), QByteArray("1"));

        // No port at all: nothing to collect, and a service manager may try again later.
        const QString none = writeWorkspace("none.VR-12", {{4, 2, 20}});
        Collect nothing;
        QVERIFY(nothing.start({none, "--seconds", "60"}));
        QCOMPARE(nothing.finish(), 1);
        QVERIFY(nothing.err.contains("no controller port opened"));
        QFile::remove(missing);
    }

    // Without the control module beside the tool: one clear line and exit 1.
    void missingModuleIsOneError() {
        const QString folder = freshFolder("bare-bin");
        const QString copy = folder + "/tarvexctl";
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/tarvexctl", copy));
        const QString ws = writeWorkspace("module.VR-12", {{3, 1, 10}});
        storeSettings(freshFolder("regs-module"), 0);
        Collect run;
        QVERIFY(run.start({ws, "--seconds", "60"}, copy));
        QCOMPARE(run.finish(), 1);
        const QList<QByteArray> err = linesOf(run.err);
        QCOMPARE(err.size(), 1);
        QVERIFY(err.at(0).contains("libvr12comm.so"));
        QVERIFY(err.at(0).contains(QFile::encodeName(folder + "/plugins")));
        QVERIFY(run.out.isEmpty());
    }

    // A collector killed (SIGKILL) while its registrations wait for a database that is down
    // leaves them in its queue, listed by report --pending; the next run sends them once, in
    // order, as bound calls, and a run after that one was killed too sends none again.
    void killedCollectorsQueueIsSentByTheNextRun() {
        TestDbServer* db = postgres();
        QVERIFY2(db, qPrintable(m_postgres->error()));
        QCOMPARE(db->installReportProcedure(), QString());
        QVERIFY(db->stop());
        ReportingSite site;
        QVERIFY(site.start("killed", *db));
        Vr12Simulator& a = site.controller;
        const QString &regs = site.regs, &data = site.data, &ws = site.workspace;

        QList<QByteArray> ids, lines;
        {
            Collect run;
            run.dataHome = data;
            QVERIFY(run.start({ws, "--seconds", "60"}));
            QVERIFY2(run.collecting(), run.err.constData());
            for (int i = 0; i < 3; ++i) {
                ids << Vr12Simulator::mediaIdFor(40 + i);
                a.sendMessage(Vr12Simulator::registrationFor(ids.last()));
                QVERIFY(run.waitForLines(i + 1));
            }
            lines = linesOf(run.out);
            const ProcessRun pending = reportCommand(data, "--pending");
            QCOMPARE(pending.exitCode, 0);
            const QList<QByteArray> listed = linesOf(pending.out);
            QCOMPARE(listed.size(), 3);
            for (int i = 0; i < 3; ++i) {
                QVERIFY2(listed.at(i).startsWith("waiting\t" + fields(lines.at(i)).at(0) + "\t" +
                                                 fields(lines.at(i)).at(1) + "\t" + ids.at(i) +
                                                 "\t44\t{call spOndixReg"),
                         listed.at(i).constData());
            }
            QVERIFY(pending.err.contains("3 waiting, 0 refused"));
            QCOMPARE(::kill(pid_t(run.p.processId()), SIGKILL), 0);
            QVERIFY(run.p.waitForFinished(10000));
        }
        QVERIFY2(db->start(), qPrintable(db->error()));
        Collect next;
        next.dataHome = data;
        QVERIFY(next.start({ws, "--seconds", "60"}));
        QVERIFY2(next.collecting(), next.err.constData());
        QTRY_COMPARE_WITH_TIMEOUT(db->reportRows().size(), 3, 20000);
        // Killed again once the queue has marked them sent: none of them is sent a second time.
        QTRY_VERIFY_WITH_TIMEOUT(reportCommand(data, "--pending").out.isEmpty(), 10000);
        QCOMPARE(::kill(pid_t(next.p.processId()), SIGKILL), 0);
        QVERIFY(next.p.waitForFinished(10000));
        Collect third;
        third.dataHome = data;
        QVERIFY(third.start({ws, "--count", "1", "--seconds", "60"}));
        QVERIFY2(third.collecting(), third.err.constData());
        ids << Vr12Simulator::mediaIdFor(43);
        a.sendMessage(Vr12Simulator::registrationFor(ids.last()));
        QCOMPARE(third.finish(), 0);
        lines << linesOf(third.out).value(0);
        QStringList expected;
        for (int i = 0; i < ids.size(); ++i)
            expected << reportRow(ids.at(i), lines.at(i));
        QCOMPARE(db->reportRows(), expected);
        QVERIFY(reportCommand(data, "--pending").out.isEmpty());
        storeSettings(regs, 0);
    }

    // A registration the routine refuses is said once and kept aside; the others are reported.
    // Once the routine is mended, report --retry-refused hands it to the running collector,
    // which sends it from the free slot it went to.
    void refusedRegistrationIsKeptAndRetried() {
        TestDbServer* db = postgres();
        QVERIFY2(db, qPrintable(m_postgres->error()));
        const QByteArray refusedId = Vr12Simulator::mediaIdFor(52);
        QCOMPARE(db->installReportProcedure(QString::fromLatin1(refusedId.mid(6, 8))), QString());
        ReportingSite site;
        QVERIFY(site.start("refused", *db));
        Vr12Simulator& a = site.controller;
        const QString &regs = site.regs, &data = site.data, &ws = site.workspace;

        Collect run;
        run.dataHome = data;
        QVERIFY(run.start({ws, "--seconds", "90"}));
        QVERIFY2(run.collecting(), run.err.constData());
        const QList<QByteArray> ids = {Vr12Simulator::mediaIdFor(51), refusedId,
                                       Vr12Simulator::mediaIdFor(53)};
        for (int i = 0; i < ids.size(); ++i) {
            a.sendMessage(Vr12Simulator::registrationFor(ids.at(i)));
            QVERIFY(run.waitForLines(i + 1));
        }
        const QList<QByteArray> lines = linesOf(run.out);
        QTRY_COMPARE_WITH_TIMEOUT(db->reportRows().size(), 2, 20000);
        QCOMPARE(db->reportRows(), QStringList({reportRow(ids.at(0), lines.at(0)),
                                                reportRow(ids.at(2), lines.at(2))}));
        run.read();
        QCOMPARE(run.err.count("not reported"), 1);
        QVERIFY2(run.err.contains("of " + refusedId + " from controller 44 not reported"),
                 run.err.constData());
        QVERIFY(run.err.contains("refused for the test"));

        const ProcessRun pending = reportCommand(data, "--pending");
        const QList<QByteArray> listed = linesOf(pending.out);
        QCOMPARE(listed.size(), 1);
        QVERIFY2(listed.at(0).startsWith("refused\t"), listed.at(0).constData());
        QVERIFY(listed.at(0).contains(refusedId));
        QVERIFY(listed.at(0).contains("refused for the test"));

        QCOMPARE(db->execute("CREATE OR REPLACE FUNCTION spOndixReg(m text, d text, t text, "
                             "a text, i integer, c integer) RETURNS void LANGUAGE sql AS $$ "
                             "INSERT INTO regs (media, dated, minute, action, controller_id, "
                             "controller_code) VALUES (m, d, t, a, i, c) $$"),
                 QString());
        const ProcessRun retry = reportCommand(data, "--retry-refused");
        QCOMPARE(retry.exitCode, 0);
        QVERIFY2(retry.err.contains("1 refused registrations put back"), retry.err.constData());
        // The collector looks for entries no program holds every 10 s.
        QTRY_COMPARE_WITH_TIMEOUT(db->reportRows().size(), 3, 30000);
        QCOMPARE(db->reportRows().last(), reportRow(ids.at(1), lines.at(1)));
        QCOMPARE(::kill(pid_t(run.p.processId()), SIGTERM), 0);
        QCOMPARE(run.finish(), 0);
        QCOMPARE(linesOf(reportCommand(data, "--pending").out).size(), 0);
        storeSettings(regs, 0);
    }

    void wrongUsage() {
        for (const QStringList& args :
             {QStringList{}, QStringList{"x.VR-12", "--count", "0"},
              QStringList{"x.VR-12", "--seconds", "soon"}, QStringList{"x.VR-12", "--count"},
              QStringList{"x.VR-12", "y.VR-12"}}) {
            Collect run;
            QVERIFY(run.start(args));
            QCOMPARE(run.finish(), 2);
        }
        for (const QStringList& args : {QStringList{}, QStringList{"--pending", "--retry-refused"},
                                        QStringList{"--everything"}}) {
            const ProcessRun run = runProgram("tarvexctl", QStringList{"report"} + args);
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.err.contains("usage: tarvexctl report"));
        }
    }

    // The collector follows the month: a registration after midnight at the month's end goes
    // into the new month's file, for every controller.
    void monthChangeMovesEveryFile() {
        Vr12Simulator a, b;
        QVERIFY(a.start(TestWorld::instance()->deviceDir(), 7));
        QVERIFY(b.start(TestWorld::instance()->deviceDir(), 8));
        CTarvexDoc doc;
        for (const int port : {7, 8}) {
            CTermRecord record;
            record.ID = port * 10;
            doc.InsertController(port, record);
        }
        QDateTime now(QDate(2026, 1, 31), QTime(23, 59, 58));
        const QString regs = freshFolder("regs-month");
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        CVr12CommFactory factory(qEnvironmentVariable("TARVEX_BINARY_DIR") + "/bin/plugins");
        {
            CCollector collector(out, err, [&now] { return now; });
            QCOMPARE(collector.Open(doc, factory, regs), 2);
            QCOMPARE(collector.RegistrationsFile(), regs + "/TarvexRegs-2026-01.txt");
            a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(1)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 1, 5000);
            now = QDateTime(QDate(2026, 2, 1), QTime(0, 0, 1));
            b.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(2)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 2, 5000);
            a.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(3)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 3, 5000);
            // A month whose file cannot be opened is said for each controller, and so is every
            // registration it loses, until the file opens again.
            QVERIFY(QDir().mkpath(regs + "/TarvexRegs-2026-03.txt"));
            now = QDateTime(QDate(2026, 3, 1), QTime(0, 0, 1));
            b.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(4)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 4, 5000);
            QTest::qWait(100);
            QVERIFY(QDir().rmdir(regs + "/TarvexRegs-2026-03.txt"));
            b.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(5)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 5, 5000);
            QTest::qWait(100);
            // A line that hangs up is said once as such, also while its file fails.
            a.unplug();
            QTest::qWait(1500);
            collector.Close();
        }
        std::fclose(out);
        const QByteArray errText = readAndClose(err);
        // Each condition's start and end is an alert too, told once.
        QList<QByteArray> problems, alerts;
        for (const QByteArray& line : linesOf(errText))
            (line.startsWith("tarvexctl: alert ") ? alerts : problems) << line;
        QCOMPARE(alerts, QList<QByteArray>(
                             {"tarvexctl: alert registrations-not-written: COM7: registrations "
                              "not saved",
                              "tarvexctl: alert registrations-not-written: COM8: registrations "
                              "not saved",
                              "tarvexctl: alert registrations-written: COM8: registrations saved "
                              "again",
                              "tarvexctl: alert controller-lost: COM7 is lost"}));
        QCOMPARE(problems.size(), 5);
        const QByteArray march = QFile::encodeName(regs + "/TarvexRegs-2026-03.txt");
        for (int i = 0; i < 3; ++i)
            QVERIFY2(problems.at(i).contains(": registrations are not written: cannot open the "
                                             "log file " +
                                             march),
                     problems.at(i).constData());
        QVERIFY(problems.at(0).startsWith("tarvexctl: COM7: "));
        QVERIFY(problems.at(1).startsWith("tarvexctl: COM8: "));
        QVERIFY(problems.at(2).startsWith("tarvexctl: COM8: "));
        QCOMPARE(problems.at(3),
                 "tarvexctl: COM8: registrations are written to " + march + " again");
        QVERIFY2(problems.at(4).startsWith("tarvexctl: COM7: COM7: the line hung up"),
                 problems.at(4).constData());
        const QList<QByteArray> inMarch = fileLines(regs + "/TarvexRegs-2026-03.txt");
        QCOMPARE(inMarch.size(), 1);
        QVERIFY(inMarch.at(0).contains(Vr12Simulator::mediaIdFor(5)));
        const QList<QByteArray> january = fileLines(regs + "/TarvexRegs-2026-01.txt");
        const QList<QByteArray> february = fileLines(regs + "/TarvexRegs-2026-02.txt");
        QCOMPARE(january.size(), 1);
        QVERIFY2(january.at(0).endsWith(",COM7"), january.at(0).toHex().constData());
        QCOMPARE(february.size(), 2);
        QVERIFY(february.at(0).endsWith(",COM8"));
        QVERIFY(february.at(1).endsWith(",COM7"));
    }

    // A controller behind a serial server (the simulator on a TCP port): its registrations are
    // collected, and when the server restarts the controller is said lost, then back by itself.
    void networkControllerLostAndBack() {
        Vr12Simulator sim;
        const QString devices = TestWorld::instance()->deviceDir();
        QVERIFY(sim.startTcp(devices, 9));
        const quint16 port = sim.tcpPort();
        CTarvexDoc doc;
        CTermRecord record;
        record.ID = 90;
        doc.InsertController(9, record);
        const QString regs = freshFolder("regs-tcp");
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        CVr12CommFactory factory(qEnvironmentVariable("TARVEX_BINARY_DIR") + "/bin/plugins");
        QString file;
        {
            CCollector collector(out, err);
            QCOMPARE(collector.Open(doc, factory, regs), 1);
            file = collector.RegistrationsFile();
            QTRY_VERIFY_WITH_TIMEOUT(sim.lineHeld(), 1000);
            sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(1)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 1, 5000);
            sim.stop();
            QVERIFY(sim.startTcp(devices, 9, port));
            // The first try comes 2 s after the loss.
            QTRY_VERIFY_WITH_TIMEOUT(sim.lineHeld(), 4000);
            sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(2)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 2, 5000);
            collector.Close();
        }
        std::fclose(out);
        const QByteArray errText = readAndClose(err);
        const QList<QByteArray> lines = linesOf(errText);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.at(0).startsWith("tarvexctl: COM9: COM9: the line hung up"),
                 lines.at(0).constData());
        QCOMPARE(lines.at(1), QByteArray("tarvexctl: alert controller-lost: COM9 is lost"));
        QCOMPARE(lines.at(2), QByteArray("tarvexctl: COM9 (controller 90) is back"));
        QCOMPARE(lines.at(3), QByteArray("tarvexctl: alert controller-back: COM9 is back"));
        QCOMPARE(fileLines(file).size(), 2);
    }

    // collect's link check: a controller that stops answering is a line and an alert, and its
    // next registration brings it back.
    void silentControllerIsLostUntilItRegisters() {
        using namespace std::chrono_literals;
        Vr12Simulator door;
        QVERIFY(door.start(TestWorld::instance()->deviceDir(), 10));
        CTarvexDoc doc;
        CTermRecord record;
        record.ID = 100;
        doc.InsertController(10, record);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        CVr12CommFactory factory(qEnvironmentVariable("TARVEX_BINARY_DIR") + "/bin/plugins");
        {
            CCollector collector(out, err);
            QCOMPARE(collector.Open(doc, factory, freshFolder("regs-linkcheck")), 1);
            CLinkChecker& check = collector.LinkCheck();
            door.setFault('V', Vr12Simulator::Fault::Silent);
            check.setInterval(500ms);
            QTRY_VERIFY_WITH_TIMEOUT(check.isLost(10), 10000);
            check.setInterval(10min);
            QTRY_VERIFY_WITH_TIMEOUT(!check.checking(), 10000);
            door.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(1)));
            QTRY_COMPARE_WITH_TIMEOUT(collector.Printed(), 1, 5000);
            QVERIFY(!check.isLost(10));
            collector.Close();
        }
        std::fclose(out);
        const QByteArray errText = readAndClose(err);
        const QList<QByteArray> lines = linesOf(errText);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(
            QRegularExpression(
                QStringLiteral("^tarvexctl: COM10: no answer to the link check at \\d\\d:\\d\\d$"))
                .match(QString::fromLatin1(lines.at(0)))
                .hasMatch(),
            lines.at(0).constData());
        QCOMPARE(lines.mid(1),
                 QList<QByteArray>({"tarvexctl: alert controller-lost: COM10 is lost",
                                    "tarvexctl: COM10 answers again",
                                    "tarvexctl: alert controller-back: COM10 is back"}));
    }
};

TARVEX_TEST_MAIN(TestCollect)

#include "tst_collect.moc"
