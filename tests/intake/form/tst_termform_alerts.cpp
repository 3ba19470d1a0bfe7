// The program's alerts, driven by simulated controllers: a port that does not open at the start,
// five unknown keys in a row at one door, registrations that are not stored, and a controller
// pulled off its port, each told once through the tray's notifier, on the status bar's line and
// in the Alerts window that the View menu and the tray menu open.
#include "intakeworld.h"

#include "alertengine.h"
#include "alertsdlg.h"
#include "appalerts.h"
#include "commandmanager.h"
#include "mainframetray.h"
#include "resourceids.h"
#include "systemtray.h"
#include "taskbarnotifier.h"
#include "vr12simulator.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>

namespace {
constexpr int kWaitMs = 15000;

QStringList alertTexts(const QSignalSpy& spy) {
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).value<Alert>().text;
    return out;
}

QString cell(const QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}
} // namespace

class TestTermFormAlerts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QDir::setCurrent(TestWorld::instance()->root());
        qRegisterMetaType<Alert>();
    }

    void unknownKeysAtADoorRaiseOneAlertSeenInTheAlertsList() {
        Vr12Simulator sim1;
        QVERIFY(sim1.start(TestWorld::instance()->deviceDir(), 1));
        const QString link3 = TestWorld::instance()->deviceDir() + QStringLiteral("/COM3");
        QFile::remove(link3);
        QVERIFY(QFile::link(TestWorld::instance()->path(QStringLiteral("absent")), link3));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
        IntakeWorld::setStored(QStringLiteral("UnknownAlertCount"), 5);
        IntakeWorld::setStored(QStringLiteral("UnknownAlertMinutes"), 2);

        const std::string anna = Vr12Simulator::mediaIdFor(1).toStdString();
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("alerts"), {{anna, CEmpRecord{"Berg", "Anna"}}},
                        {{1, controller("Front", 11, 1)}, {3, controller("Shed", 33, 1)}}));
        CAppAlerts* alerts = w.app->alerts();
        QVERIFY(alerts);
        CMainFrame* frame = w.app->mainFrame();
        auto* tray = frame->findChild<CMainFrameTray*>();
        QVERIFY(tray);

        // COM3's device is missing from the start: that is an alert already.
        QCOMPARE(alerts->list().rowCount(), 1);
        QCOMPARE(alerts->list().at(0).kind, AlertKind::ControllerLost);
        QCOMPARE(alerts->list().at(0).text, QStringLiteral("COM3 is lost"));
        QCOMPARE(alerts->list().at(0).controllerId, 33);
        QCOMPARE(frame->alertLine()->text(), QStringLiteral("COM3 is lost"));
        QCOMPARE(tray->notifier()->text(), QStringLiteral("COM3 is lost"));

        QSignalSpy told(&alerts->engine(), &CAlertEngine::raised);
        auto present = [&](const QByteArray& id) {
            const int rows = w.list()->rowCount();
            sim1.sendMessage(Vr12Simulator::registrationFor(id));
            return QTest::qWaitFor([&] { return w.list()->rowCount() > rows; }, kWaitMs);
        };
        // Anna's key is known; four keys nobody has are not yet a burst.
        QVERIFY(present(Vr12Simulator::mediaIdFor(1)));
        for (int n = 50; n < 54; ++n)
            QVERIFY(present(Vr12Simulator::mediaIdFor(n)));
        QCOMPARE(told.size(), 0);
        // The fifth is.
        QVERIFY(present(Vr12Simulator::mediaIdFor(54)));
        QCOMPARE(alertTexts(told), QStringList({"COM1: 5 unknown keys within 2 minutes"}));
        QCOMPARE(tray->notifier()->text(), QStringLiteral("COM1: 5 unknown keys within 2 minutes"));
        QVERIFY(tray->notifier()->state() != CTaskbarNotifier::Hidden);
        // The line keeps the lost controller, which matters more.
        QCOMPARE(frame->alertLine()->text(), QStringLiteral("COM3 is lost"));
        QCOMPARE(frame->alertLine()->accessibleName(), QStringLiteral("Last alert"));
        // Still trying: not told again.
        QVERIFY(present(Vr12Simulator::mediaIdFor(55)));
        QCOMPARE(told.size(), 1);

        // The tray menu offers the list, and the View menu's command opens it.
        QMenu* trayMenu = tray->tray()->menu();
        QVERIFY(trayMenu);
        QAction* fromTray = nullptr;
        for (QAction* a : trayMenu->actions())
            if (a->data().toInt() == res::ID_VIEW_ALERTS)
                fromTray = a;
        QVERIFY(fromTray);
        QCOMPARE(fromTray->text(), QStringLiteral("A&lerts..."));
        QVERIFY(frame->commands().action(res::ID_VIEW_ALERTS));
        QVERIFY(frame->commands().execute(res::ID_VIEW_ALERTS));
        CAlertsDlg* dlg = alerts->command().dialog();
        QVERIFY(dlg);
        QVERIFY(dlg->isVisible());
        const QTableView* view = dlg->list();
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(cell(view, 0, 1), QStringLiteral("COM1 (ID 11)"));
        QCOMPARE(cell(view, 0, 2), QStringLiteral("COM1: 5 unknown keys within 2 minutes"));
        QCOMPARE(cell(view, 1, 1), QStringLiteral("COM3 (ID 33)"));
        QCOMPARE(cell(view, 1, 2), QStringLiteral("COM3 is lost"));
        QVERIFY(!cell(view, 0, 0).isEmpty());
        dlg->reject();
        // The tray's entry goes the same way.
        fromTray->trigger();
        QTRY_VERIFY(dlg->isVisible());

        // Registrations that are not stored: the most serious, told once, and their end.
        CTermFormView* front = w.form(1);
        QVERIFY(front);
        front->SetRegistrationsFile(TestWorld::instance()->path(QStringLiteral("no/dir/r.txt")));
        front->SetRegistrationsFile(TestWorld::instance()->path(QStringLiteral("no/dir/r.txt")));
        QCOMPARE(told.size(), 2);
        QCOMPARE(told.at(1).at(0).value<Alert>().kind, AlertKind::RegistrationsNotWritten);
        QCOMPARE(frame->alertLine()->text(), QStringLiteral("COM1: registrations not saved"));
        QVERIFY(told.at(1).at(0).value<Alert>().reason.contains(QStringLiteral("no/dir/r.txt")));
        front->SetRegistrationsFile(w.monthlyFile());
        QCOMPARE(alertTexts(told).mid(2), QStringList({"COM1: registrations saved again"}));
        QCOMPARE(frame->alertLine()->text(), QStringLiteral("COM3 is lost"));

        // The controller pulled off its port.
        sim1.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 4, kWaitMs);
        QCOMPARE(alertTexts(told).at(3), QStringLiteral("COM1 is lost"));
        QCOMPARE(view->model()->rowCount(), 5);
        QCOMPARE(cell(view, 0, 2), QStringLiteral("COM1 is lost"));
    }
};

TARVEX_TEST_MAIN(TestTermFormAlerts)
#include "tst_termform_alerts.moc"
