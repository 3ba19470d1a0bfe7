// The program's registrations reach a real PostgreSQL through the report queue: a database
// stopped in the middle of a stream or down from the start, a full queue, a refused report, and
// the program itself killed while reports wait and started again.
#include "intakeworld.h"

#include "alertengine.h"
#include "appalerts.h"
#include "dbserver.h"
#include "envoverride.h"
#include "mainframetray.h"
#include "reportqueuefiles.h"
#include "taskbarnotifier.h"
#include "testfiles.h"
#include "vr12simulator.h"

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>

#include <csignal>

namespace {
constexpr int kWaitMs = 15000;

QStringList row(const CRegView* list, int r) {
    QStringList out;
    for (int c = 0; c < 5; ++c)
        out << list->text(r, c);
    return out;
}

// The row spOndixReg writes for a registration's list row from a controller of code `code`.
QString tableRow(const QStringList& listRow, int code) {
    return QStringLiteral("%1\t%2\t%2 %3:00\t999\t%4\t%5")
        .arg(listRow.value(3).mid(6, 8), listRow.value(0), listRow.value(1).left(5),
             listRow.value(4))
        .arg(code);
}

QString freshFolder(const QString& name) {
    const QString dir = TestWorld::instance()->path(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

void reportInto(const TestDbServer& db) {
    IntakeWorld::setStored(QStringLiteral("UseMRDB"), 1);
    IntakeWorld::setStored(QStringLiteral("MRDB"), db.connectionString());
    IntakeWorld::setStored(QStringLiteral("MRDBCall"), QStringLiteral("call"));
    IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
}
} // namespace

class TestTermFormReporting : public QObject {
    Q_OBJECT
    TestDbServer m_db{TestDbServer::PostgreSQL};

private slots:
    void initTestCase() {
        QDir::setCurrent(TestWorld::instance()->root());
        QVERIFY2(m_db.start(), qPrintable(m_db.error()));
    }

    void cleanupTestCase() { m_db.stop(); }
    // A case that failed with the server stopped leaves the others a running one.
    void init() {
        if (!m_db.isRunning())
            QVERIFY2(m_db.start(), qPrintable(m_db.error()));
    }

    // The database goes away in the middle of two controllers' registrations and comes back:
    // every row keeps coming to the list meanwhile, the queue says how many wait and that the
    // database does not answer, and every registration reaches the table once, in order.
    void databaseStoppedInTheMiddleOfAStream() {
        QCOMPARE(m_db.installReportProcedure(), QString());
        EnvOverride data("XDG_DATA_HOME", freshFolder(QStringLiteral("data-stream")));
        Vr12Simulator sim1, sim2;
        QVERIFY(sim1.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(sim2.start(TestWorld::instance()->deviceDir(), 2));
        reportInto(m_db);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("stream"),
                        {{1, controller("Front", 11, 1100)}, {2, controller("Back", 22, 2200)}}));
        QVERIFY2(w.prompts.stops.isEmpty(), qPrintable(w.prompts.stops.join('\n')));
        CAppReporting* reporting = w.app->reporting();
        QVERIFY(reporting && reporting->running());
        QSignalSpy waiting(reporting, &CAppReporting::waitingChanged);
        QSignalSpy answering(reporting, &CAppReporting::answeringChanged);

        constexpr int kRegistrations = 12;
        int mostWaiting = 0;
        for (int i = 0; i < kRegistrations; ++i) {
            if (i == 4)
                QVERIFY2(m_db.stop(), qPrintable(m_db.error()));
            Vr12Simulator& sim = i % 2 ? sim2 : sim1;
            sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(300 + i)));
            QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), i + 1, kWaitMs);
            mostWaiting = std::max(mostWaiting, reporting->waiting());
            if (i == 9) {
                QTRY_VERIFY_WITH_TIMEOUT(!reporting->answering(), kWaitMs);
                QVERIFY2(m_db.start(), qPrintable(m_db.error()));
            }
        }
        QStringList expected;
        for (int r = 0; r < kRegistrations; ++r)
            expected << tableRow(row(w.list(), r), r % 2 ? 2200 : 1100);
        QTRY_COMPARE_WITH_TIMEOUT(m_db.reportRows().size(), kRegistrations, 90000);
        QCOMPARE(m_db.reportRows(), expected);
        QVERIFY2(mostWaiting >= 5, qPrintable(QString::number(mostWaiting)));
        QTRY_COMPARE_WITH_TIMEOUT(reporting->waiting(), 0, kWaitMs);
        QVERIFY(!waiting.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(waiting.last().at(0).toInt(), 0, kWaitMs);
        QVERIFY(answering.size() >= 2);
        QCOMPARE(answering.first().at(0).toBool(), false);
        QCOMPARE(answering.last().at(0).toBool(), true);
        QVERIFY(w.prompts.stops.isEmpty() && w.prompts.warnings.isEmpty());
    }

    // The database is down when the program starts: the user is told as ever, but reporting
    // stays on and the registrations queue, the alert and then the status line saying how many
    // wait; one beyond ReportQueueMax is turned away with an alert of its own. Once the database
    // answers, the queued ones reach the table once, in order, and the queue takes again.
    void databaseDownAtTheStartKeepsReportingOn() {
        QCOMPARE(m_db.installReportProcedure(), QString());
        QVERIFY2(m_db.stop(), qPrintable(m_db.error()));
        EnvOverride data("XDG_DATA_HOME", freshFolder(QStringLiteral("data-down")));
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 6));
        reportInto(m_db);
        IntakeWorld::setStored(QStringLiteral("ReportQueueMax"), 3);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("down"), {{6, controller("Dock", 66, 6600)}}));
        IntakeWorld::setStored(QStringLiteral("ReportQueueMax"), 100000);
        QCOMPARE(w.prompts.stops.size(), 1);
        QVERIFY2(w.prompts.stops.first().startsWith(
                     QStringLiteral("Unable to open MorrowReports database.\n\nError: ")),
                 qPrintable(w.prompts.stops.first()));
        QCOMPARE(CAppSettings::openStore()->value(QStringLiteral("Settings/UseMRDB")).toInt(), 1);
        CAppReporting* reporting = w.app->reporting();
        QVERIFY(reporting && reporting->running());
        const CAlertListModel& alerts = w.app->alerts()->list();
        const auto told = [&](AlertKind kind) {
            QStringList texts;
            for (int r = alerts.rowCount() - 1; r >= 0; --r)
                if (alerts.at(r).kind == kind)
                    texts << alerts.at(r).text;
            return texts;
        };
        const QLabel* line = w.app->mainFrame()->alertLine();

        // The queue tries the database once something waits.
        for (int i = 0; i < 4; ++i) {
            sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(380 + i)));
            QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), i + 1, kWaitMs);
            if (i == 0)
                QTRY_COMPARE_WITH_TIMEOUT(told(AlertKind::ReportingSilent),
                                          QStringList{"MorrowReports database does not answer: "
                                                      "1 registrations waiting"},
                                          kWaitMs);
            if (i == 2)
                QTRY_COMPARE_WITH_TIMEOUT(line->text(),
                                          QStringLiteral("MorrowReports database does not "
                                                         "answer: 3 registrations waiting"),
                                          kWaitMs);
        }
        const QString full = QStringLiteral(
            "Report queue full: 3 registrations waiting, new ones only in the monthly file");
        QCOMPARE(told(AlertKind::ReportQueueFull), QStringList{full});
        QCOMPARE(line->text(), full);
        QCOMPARE(reporting->waiting(), 3);

        QVERIFY2(m_db.start(), qPrintable(m_db.error()));
        QTRY_COMPARE_WITH_TIMEOUT(m_db.reportRows().size(), 3, 90000);
        QStringList expected;
        for (int r = 0; r < 3; ++r)
            expected << tableRow(row(w.list(), r), 6600);
        QCOMPARE(m_db.reportRows(), expected);
        QTRY_COMPARE_WITH_TIMEOUT(told(AlertKind::ReportingAnswers).size(), 1, kWaitMs);
        sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(390)));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 5, kWaitMs);
        expected << tableRow(row(w.list(), 4), 6600);
        QTRY_COMPARE_WITH_TIMEOUT(m_db.reportRows(), expected, kWaitMs);
        QCOMPARE(told(AlertKind::ReportQueueTakes).size(), 1);
        QCOMPARE(w.prompts.stops.size(), 1);
        QVERIFY(w.prompts.warnings.isEmpty());
    }

    // The routine refuses one medium: the user is told once through the tray, with the medium,
    // no box stops the intake, and the registrations after it reach the table.
    void refusedReportIsToldOnceAndTheOthersGo() {
        const QByteArray refused = Vr12Simulator::mediaIdFor(352);
        QCOMPARE(m_db.installReportProcedure(QString::fromLatin1(refused.mid(6, 8))), QString());
        EnvOverride data("XDG_DATA_HOME", freshFolder(QStringLiteral("data-refused")));
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 3));
        reportInto(m_db);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("refused"), {{3, controller("Gate", 33, 3300)}}));
        QSignalSpy told(w.app->reporting(), &CAppReporting::told);
        const QList<QByteArray> ids = {Vr12Simulator::mediaIdFor(351), refused,
                                       Vr12Simulator::mediaIdFor(353)};
        for (int i = 0; i < ids.size(); ++i) {
            sim.sendMessage(Vr12Simulator::registrationFor(ids.at(i)));
            QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), i + 1, kWaitMs);
        }
        const QStringList expected = {tableRow(row(w.list(), 0), 3300),
                                      tableRow(row(w.list(), 2), 3300)};
        QTRY_COMPARE_WITH_TIMEOUT(m_db.reportRows().size(), 2, kWaitMs);
        QCOMPARE(m_db.reportRows(), expected);
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, kWaitMs);
        const QString text = told.first().at(0).toString();
        QVERIFY2(text.contains(QString::fromLatin1(refused)) &&
                     text.contains("refused for the test"),
                 qPrintable(text));
        const auto* tray = w.app->mainFrame()->findChild<CMainFrameTray*>();
        QVERIFY(tray);
        QCOMPARE(tray->notifier()->text(), text);
        QVERIFY(w.prompts.stops.isEmpty() && w.prompts.warnings.isEmpty());
        QTest::qWait(300);
        QCOMPARE(told.size(), 1);
    }

    // The program killed (SIGKILL) while its reports wait for a database that stopped keeps
    // them on disk; started again, it sends them once, in order, and a normal end (SIGTERM)
    // right after the next registration leaves nothing waiting.
    void killedProgramSendsWhatWaitedAtTheNextStart() {
        QCOMPARE(m_db.installReportProcedure(), QString());
        const QString data = freshFolder(QStringLiteral("data-killed"));
        const QString regs = freshFolder(QStringLiteral("regs-killed"));
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 5));
        reportInto(m_db);
        IntakeWorld::setStored(QStringLiteral("RegFilePath"), regs);
        const QString workspace = TestWorld::instance()->path(QStringLiteral("killed.VR-12"));
        {
            CTarvexDoc doc;
            doc.InsertController(5, controller("Yard", 55, 5500));
            QVERIFY(CWorkspaceFile::Save(doc, workspace).ok);
        }
        const QString folder = data + QStringLiteral("/Tarvex");
        const auto queued = [&] { return ReportQueueFiles::peek(folder, 1).size(); };
        const auto monthlyLines = [&] {
            QByteArray all;
            for (const QFileInfo& f : QDir(regs).entryInfoList(QDir::Files))
                all += fileBytes(f.filePath());
            return all.count('\n');
        };

        QList<QByteArray> ids;
        {
            QProcess program;
            startProgram(program, data, workspace);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(m_db.stop(), qPrintable(m_db.error()));
            for (int i = 0; i < 3; ++i) {
                ids << Vr12Simulator::mediaIdFor(370 + i);
                sim.sendMessage(Vr12Simulator::registrationFor(ids.last()));
                QTRY_COMPARE_WITH_TIMEOUT(monthlyLines(), i + 1, kWaitMs);
            }
            QTRY_COMPARE_WITH_TIMEOUT(queued(), 3, kWaitMs);
            QCOMPARE(::kill(pid_t(program.processId()), SIGKILL), 0);
            QVERIFY(program.waitForFinished(10000));
        }
        QCOMPARE(queued(), 3);
        QVERIFY2(m_db.start(), qPrintable(m_db.error()));
        QProcess program;
        startProgram(program, data, workspace);
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE_WITH_TIMEOUT(m_db.reportRows().size(), 3, 30000);
        ids << Vr12Simulator::mediaIdFor(373);
        sim.sendMessage(Vr12Simulator::registrationFor(ids.last()));
        QTRY_COMPARE_WITH_TIMEOUT(monthlyLines(), 4, kWaitMs);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QStringList rows = m_db.reportRows();
        QCOMPARE(rows.size(), 4);
        for (int i = 0; i < ids.size(); ++i)
            QVERIFY2(rows.at(i).startsWith(QString::fromLatin1(ids.at(i).mid(6, 8)) + '\t') &&
                         rows.at(i).endsWith(QStringLiteral("\t999\t55\t5500")),
                     qPrintable(rows.at(i)));
        QCOMPARE(queued(), 0);
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
    }

private:
    // The desktop program on the workspace, with its own data folder, once it takes SIGTERM
    // (its start is complete then).
    static void startProgram(QProcess& program, const QString& dataHome, const QString& file) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        program.setProcessEnvironment(env);
        program.setProgram(qEnvironmentVariable("TARVEX_BINARY_DIR") +
                           QStringLiteral("/bin/tarvex"));
        program.setArguments({file});
        program.start();
        QVERIFY(program.waitForStarted(20000));
        const QString status = QStringLiteral("/proc/%1/status").arg(program.processId());
        const auto catchesTerm = [&] {
            for (const QByteArray& line : fileBytes(status).split('\n'))
                if (line.startsWith("SigCgt:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
            return 0ULL;
        };
        QTRY_VERIFY_WITH_TIMEOUT(catchesTerm() || program.state() != QProcess::Running, 30000);
        QCOMPARE(program.state(), QProcess::Running);
    }
};

TARVEX_TEST_MAIN(TestTermFormReporting)
#include "tst_termform_reporting.moc"
