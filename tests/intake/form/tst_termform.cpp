// The controller forms live in the program: two simulated controllers registering into the
// registrations list, the monthly file and the reporting database, a controller whose device
// is missing, the relay lists, and the ports given back when the workspace goes.
#include "intakeworld.h"

#include "adodatabase.h"
#include "alertengine.h"
#include "appalerts.h"
#include "documentflow.h"
#include "mainframetray.h"
#include "monthwatcher.h"
#include "reportentry.h"
#include "reportsender.h"
#include "resourceids.h"
#include "taskbarnotifier.h"
#include "termformservices.h"
#include "testfiles.h"
#include "vr12commfactory.h"
#include "vr12simulator.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {
// A registration crosses the line at 2400 baud and the receiver's pause in well under a second;
// the rest is room for a loaded machine.
constexpr int kWaitMs = 15000;

QByteArray mediaId(int n) {
    return Vr12Simulator::mediaIdFor(n);
}

QStringList row(const CRegView* list, int r) {
    QStringList out;
    for (int c = 0; c < 5; ++c)
        out << list->text(r, c);
    return out;
}

bool portFree(int comPort) {
    QWidget host;
    CVr12Comm comm;
    if (!CVr12CommFactory::Program().CreateControl(comm, &host).isEmpty())
        return false;
    const bool free = comm.Init(short(comPort - 1));
    comm.Destroy();
    return free;
}

// The sqlite file the reporting and photo settings name.
QString databaseConnection() {
    return TestWorld::instance()->sqliteConnection(QStringLiteral("reporting.db")) +
           QStringLiteral(";NoCreat=0");
}
} // namespace

class TestTermForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void twoControllersRegisterIntoListFileAndDatabase() {
        Vr12Simulator sim1, sim2;
        QVERIFY(sim1.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(sim2.start(TestWorld::instance()->deviceDir(), 2));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 1);
        IntakeWorld::setStored(QStringLiteral("MRDB"), databaseConnection());
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 1);
        IntakeWorld::setStored(QStringLiteral("ShowPhoto"), 1);
        IntakeWorld::setStored(QStringLiteral("PhotoDB"), databaseConnection());

        IntakeWorld w;
        CTermRecord front = controller("Front", 11, 513);
        front.Relay1Time = 2;
        front.Master = "00000000000000AA";
        QVERIFY(w.start(QStringLiteral("two"), {{1, front}, {2, controller("Back", 22, 7)}}));
        QVERIFY2(w.prompts.stops.isEmpty(), qPrintable(w.prompts.stops.join('\n')));
        QSignalSpy photos(w.app.get(), &CTarvexApp::photoHandedOver);
        QSignalSpy told(w.app->reporting(), &CAppReporting::told);
        // The reporting connection opened with the command's time-out already set.
        QVERIFY(w.app->reportingDatabase()->IsOpen());
        QCOMPARE(w.app->reportingDatabase()->GetCommandTimeout(), kReportCommandTimeoutSeconds);

        // Both forms bound with the controller's fields.
        CTermFormView* f1 = w.form(1);
        CTermFormView* f2 = w.form(2);
        QVERIFY(f1 && f2);
        QCOMPARE(f1->Status(), QStringLiteral("OK"));
        QCOMPARE(f2->Status(), QStringLiteral("OK"));
        QCOMPARE(f1->field(res::IDC_TERM_ID)->text(), QStringLiteral("11"));
        QCOMPARE(f1->field(res::IDC_TERM_NAME)->text(), QStringLiteral("Front"));
        QCOMPARE(f1->field(res::IDC_TERM_CODE)->text(), QStringLiteral("513"));
        QCOMPARE(f1->field(res::IDC_TERM_COMPORT)->text(), QStringLiteral("1"));
        QCOMPARE(f1->field(res::IDC_TERM_MASTER)->text(), QStringLiteral("00000000000000AA"));
        QCOMPARE(f1->relayList(res::IDC_TERM_RELAY1)->currentText(), QStringLiteral("2"));
        QCOMPARE(f2->field(res::IDC_TERM_COMPORT)->text(), QStringLiteral("2"));
        QCOMPARE(w.monthlyFile(),
                 IntakeWorld::regFolder() + QStringLiteral("/") +
                     CAppSettings::monthlyFileNameFor(QDate::currentDate().year(),
                                                      QDate::currentDate().month()));
        CRegView* list = w.list();
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 0);

        // A person at each door; the rows tell the controllers apart by their ID.
        sim1.sendMessage(Vr12Simulator::registrationFor(mediaId(1)));
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 1, kWaitMs);
        sim2.sendMessage("R" + mediaId(2));
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 2, kWaitMs);
        const QStringList first = row(list, 0);
        QCOMPARE(first.mid(2), QStringList({"O", QString::fromLatin1(mediaId(1)), "11"}));
        QCOMPARE(row(list, 1).mid(2), QStringList({"", QString::fromLatin1(mediaId(2)), "22"}));
        QCOMPARE(f1->LastRegistration(),
                 QString::fromLatin1(Vr12Simulator::registrationFor(mediaId(1))));
        QCOMPARE(f1->field(res::IDC_TERM_LASTREG)->text(), f1->LastRegistration());

        // The report was decided by the handler and taken by the queue; SQLite knows no "exec",
        // so the queue's worker has it refused, the user is told through the tray, and the
        // registration keeps its row and its line.
        // Medium 2500000000100101 is card 00001001; the time goes to the minute, the date and
        // time being the registration's own.
        const QString id1 = QString::fromLatin1(mediaId(1));
        QCOMPARE(id1, QStringLiteral("2500000000100101"));
        static const QRegularExpression kCommand(QStringLiteral(
            "^exec spOndixReg '00001001', '([0-9-]{10})', '([0-9-]{10}) (\\d\\d:\\d\\d):00','999', "
            "11, 513$"));
        QVERIFY(f1->LastReport() && f1->LastReportQueued());
        const QString command = reportExecText(*f1->LastReport());
        const QRegularExpressionMatch match = kCommand.match(command);
        QVERIFY2(match.hasMatch(), qPrintable(command));
        QCOMPARE(match.captured(1), first[0]);
        QCOMPARE(match.captured(2), first[0]);
        QCOMPARE(match.captured(3), first[1].left(5));
        QVERIFY(f2->LastReport() && f2->LastReportQueued());
        QCOMPARE(reportExecText(*f2->LastReport()).left(26),
                 QStringLiteral("exec spOndixReg '00001002'"));
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 2, kWaitMs);
        QVERIFY2(told.at(0).at(0).toString().contains(id1),
                 qPrintable(told.at(0).at(0).toString()));
        const auto* tray = w.app->mainFrame()->findChild<CMainFrameTray*>();
        QVERIFY(tray);
        QCOMPARE(tray->notifier()->text(), told.at(1).at(0).toString());
        QVERIFY(w.prompts.stops.isEmpty() && w.prompts.warnings.isEmpty());
        QCOMPARE(photos.size(), 2);
        QCOMPARE(photos.at(0).at(0).toString(), id1);
        QCOMPARE(photos.at(0).at(1).toString(), first[1]);

        // A short status message: a row without a medium, nothing sent, no photo.
        sim1.sendMessage("+<OK");
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 3, kWaitMs);
        QCOMPARE(row(list, 2).mid(3), QStringList({"", "11"}));
        QVERIFY(!f1->LastReport());
        // Action "M" and a lower-case "o": rows only.
        sim2.sendMessage("R" + mediaId(3) + "M");
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 4, kWaitMs);
        QCOMPARE(row(list, 3).mid(2), QStringList({"M", QString::fromLatin1(mediaId(3)), "22"}));
        QVERIFY(!f2->LastReport());
        sim2.sendMessage("R" + mediaId(4) + " o");
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 5, kWaitMs);
        QCOMPARE(row(list, 4).at(2), QStringLiteral("o"));
        QVERIFY(!f2->LastReport());
        QCOMPARE(photos.size(), 2);

        // Every registration has its line in the month's file, with its port.
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log = fileBytes(w.monthlyFile())).count('\n') == 5, kWaitMs);
        QVERIFY(log.contains("," + mediaId(1) + ",COM1"));
        QVERIFY(log.contains("," + mediaId(2) + ",COM2"));
        QVERIFY(log.contains(",+<OK,OK,,COM1"));
        QVERIFY(log.contains(",M," + mediaId(3) + ",COM2"));

        // A new month: both controllers go on in the new month's file.
        const QString next = QStringLiteral("TarvexRegs-2099-01.txt");
        emit w.app->monthWatcher()->monthChanged(next);
        sim1.sendMessage(Vr12Simulator::registrationFor(mediaId(5)));
        sim2.sendMessage(Vr12Simulator::registrationFor(mediaId(6)));
        const QString nextFile = IntakeWorld::regFolder() + QStringLiteral("/") + next;
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(nextFile).count('\n'), 2, kWaitMs);
        QCOMPARE(fileBytes(w.monthlyFile()), fileBytes(nextFile));
        QCOMPARE(log.count('\n'), 5);
        QVERIFY(!fileBytes(IntakeWorld::regFolder() + QStringLiteral("/") +
                           CAppSettings::monthlyFileNameFor(QDate::currentDate().year(),
                                                            QDate::currentDate().month()))
                     .contains(mediaId(5)));

        // A new registrations folder: the running controllers follow it without a new Init.
        const QString moved = TestWorld::instance()->path(QStringLiteral("moved"));
        QVERIFY(QDir().mkpath(moved));
        CAppSettings::instance().RegFilePath = moved;
        w.app->PointControllersAtRegistrationsFile();
        sim2.sendMessage(Vr12Simulator::registrationFor(mediaId(8)));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(moved + QStringLiteral("/") + next).contains(mediaId(8)),
                                 kWaitMs);
        QVERIFY(!fileBytes(nextFile).contains(mediaId(8)));

        // Leaving the program gives both ports back.
        w.app->ExitInstance();
        QVERIFY(portFree(1));
        QVERIFY(portFree(2));
    }

    void missingDeviceRelayListsAndPortsFreed() {
        Vr12Simulator sim3;
        QVERIFY(sim3.start(TestWorld::instance()->deviceDir(), 3));
        // COM4 names a device that is not there.
        const QString link4 = TestWorld::instance()->deviceDir() + QStringLiteral("/COM4");
        QFile::remove(link4);
        QVERIFY(QFile::link(TestWorld::instance()->path(QStringLiteral("unplugged")), link4));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);

        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("missing"),
                        {{3, controller("Gate", 3, 1)}, {4, controller("Shed", 4, 1)}}));
        QCOMPARE(w.form(4)->Status(), QStringLiteral("Error"));
        QCOMPARE(w.form(4)->field(res::IDC_TERM_STATUS)->text(), QStringLiteral("Error"));
        // The reason is on the field: the port and what went wrong.
        const QString why = w.form(4)->field(res::IDC_TERM_STATUS)->toolTip();
        QVERIFY2(why.contains(QStringLiteral("COM4")), qPrintable(why));
        QCOMPARE(w.form(3)->Status(), QStringLiteral("OK"));
        QVERIFY(w.form(3)->field(res::IDC_TERM_STATUS)->toolTip().isEmpty());
        sim3.sendMessage(Vr12Simulator::registrationFor(mediaId(7)));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 1, kWaitMs);
        QCOMPARE(row(w.list(), 0).at(4), QStringLiteral("3"));
        QVERIFY(!w.form(3)->LastReport() && !w.form(3)->LastReportQueued());

        // A relay list change, made from the keyboard, goes into the workspace and nowhere else.
        CTermFormView* gate = w.form(3);
        sim3.clearReceived();
        QVERIFY(!w.app->document()->IsModified());
        QComboBox* relay2 = gate->relayList(res::IDC_TERM_RELAY2);
        QCOMPARE(relay2->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(relay2, Qt::Key_Down);
        QVERIFY(w.app->document()->IsModified());
        const CTermRecord* record = w.app->document()->FindController(3);
        QCOMPARE(record->Relay2Time, 5);
        QCOMPARE(record->Relay1Time, 0);
        QCOMPARE(gate->Relay2Time(), 5);
        QTest::qWait(100);
        QVERIFY(sim3.receivedBytes().isEmpty());

        // A new workspace closes the forms, and with them the port.
        QVERIFY(!portFree(3));
        w.prompts.saveAnswers = {IUserPrompts::No};
        QVERIFY(w.app->documentFlow()->OnFileNew());
        QVERIFY(w.app->document()->Controllers().empty());
        QVERIFY(portFree(3));
        QVERIFY(w.prompts.stops.isEmpty());
    }

    void failedCallIsToldOnce() {
        Vr12Simulator sim5;
        QVERIFY(sim5.start(TestWorld::instance()->deviceDir(), 5));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("failedcall"), {{5, controller("Gate", 5, 1)}}));
        CTermFormView* gate = w.form(5);
        QCOMPARE(gate->Status(), QStringLiteral("OK"));
        // A call the control cannot take (its window is gone) is told once and shows "Error".
        delete gate->findChild<QWidget*>(QStringLiteral("item%1").arg(res::IDC_TERM_CONTROL));
        gate->SetRegistrationsFile(TestWorld::instance()->path(QStringLiteral("moved.txt")));
        gate->SetRegistrationsFile(TestWorld::instance()->path(QStringLiteral("again.txt")));
        QTRY_COMPARE(gate->Status(), QStringLiteral("Error"));
        QCOMPARE(gate->field(res::IDC_TERM_STATUS)->text(), QStringLiteral("Error"));
        QCOMPARE(w.prompts.stops.size(), 1);
    }

    // Every registration looks at the month (the clock can jump over a month's end: a suspend,
    // a clock set forward), and a month whose file cannot be opened shows on the form and is
    // told once, until the file opens again. Permissions do not stop root, so the file that
    // cannot be opened is a folder standing where the file should be.
    void registrationsThatCannotBeWrittenAreShown() {
        Vr12Simulator sim6;
        QVERIFY(sim6.start(TestWorld::instance()->deviceDir(), 6));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
        auto monthFile = [](const QString& month) {
            return IntakeWorld::regFolder() + QStringLiteral("/TarvexRegs-") + month +
                   QStringLiteral(".txt");
        };
        for (const char* month : {"2031-01", "2031-02", "2031-03"}) {
            QDir(monthFile(month)).removeRecursively();
            QFile::remove(monthFile(month));
        }
        QDateTime now(QDate(2031, 1, 15), QTime(12, 0));
        IntakeWorld w;
        w.clock = [&now] { return now; };
        QVERIFY(w.start(QStringLiteral("months"), {{6, controller("Yard", 6, 1)}}));
        CTermFormView* yard = w.form(6);
        QVERIFY(yard);
        QCOMPARE(yard->Status(), QStringLiteral("OK"));
        QCOMPARE(w.monthlyFile(), monthFile("2031-01"));
        int notices = 0;
        QObject::connect(&w.app->alerts()->engine(), &CAlertEngine::raised, [&](const Alert& a) {
            notices += a.kind == AlertKind::RegistrationsNotWritten;
        });
        auto registration = [&](int n) {
            const int rows = w.list()->rowCount();
            sim6.sendMessage(Vr12Simulator::registrationFor(mediaId(n)));
            return QTest::qWaitFor([&] { return w.list()->rowCount() > rows; }, kWaitMs);
        };
        QVERIFY(registration(21));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(monthFile("2031-01")).contains(mediaId(21)), kWaitMs);

        // The machine wakes in February: the next registration goes into February's file.
        now = QDateTime(QDate(2031, 2, 1), QTime(0, 0, 5));
        QVERIFY(registration(22));
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(monthFile("2031-02")).contains(mediaId(22)), kWaitMs);
        QVERIFY(!fileBytes(monthFile("2031-01")).contains(mediaId(22)));
        QCOMPARE(yard->Status(), QStringLiteral("OK"));

        // March's file cannot be opened: the form says so with the reason, the tray once.
        QVERIFY(QDir().mkpath(monthFile("2031-03")));
        now = QDateTime(QDate(2031, 3, 1), QTime(0, 0, 2));
        QVERIFY(registration(23));
        const QLineEdit* status = yard->field(res::IDC_TERM_STATUS);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Error"), kWaitMs);
        QVERIFY2(status->toolTip().contains(monthFile("2031-03")), qPrintable(status->toolTip()));
        QCOMPARE(status->accessibleDescription(), status->toolTip());
        QCOMPARE(notices, 1);
        const auto* tray = w.app->mainFrame()->findChild<CMainFrameTray*>();
        QVERIFY(tray);
        QCOMPARE(tray->notifier()->text(), QStringLiteral("COM6: registrations not saved"));
        QVERIFY(!fileBytes(monthFile("2031-02")).contains(mediaId(23)));
        // The next one is lost as well and still shown, but not told again.
        yard->SetStatus(QStringLiteral("OK"));
        QVERIFY(registration(24));
        QTRY_COMPARE_WITH_TIMEOUT(yard->Status(), QStringLiteral("Error"), kWaitMs);
        QCOMPARE(notices, 1);

        // The file can be made again: the next registration goes in and the form is well.
        QVERIFY(QDir().rmdir(monthFile("2031-03")));
        QVERIFY(registration(25));
        QTRY_COMPARE_WITH_TIMEOUT(yard->Status(), QStringLiteral("OK"), kWaitMs);
        QCOMPARE(status->toolTip(), QString());
        const QByteArray march = fileBytes(monthFile("2031-03"));
        QVERIFY(march.contains(mediaId(25)));
        QVERIFY(!march.contains(mediaId(24)));
        QCOMPARE(notices, 1);
    }
};

TARVEX_TEST_MAIN(TestTermForm)
#include "tst_termform.moc"
