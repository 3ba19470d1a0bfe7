// The alert rules with a clock the test moves: each condition told once when it starts and once
// when it ends, the unknown-media window sliding per controller, the status line keeping the
// most serious condition, and the bounded list of alerts so far.
#include "alertengine.h"
#include "alertlistmodel.h"
#include "appsettings.h"
#include "testworld.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
struct Rig {
    QDateTime now{QDate(2031, 5, 4), QTime(8, 0)};
    CAlertEngine engine{[this] { return now; }};
    std::vector<Alert> told;

    Rig() {
        QObject::connect(&engine, &CAlertEngine::raised,
                         [this](const Alert& a) { told.push_back(a); });
        engine.setControllerIds([](int port) { return port * 10; });
    }
    void after(int seconds) { now = now.addSecs(seconds); }
    QStringList texts() const {
        QStringList out;
        for (const Alert& a : told)
            out << a.text;
        return out;
    }
    // n unknown registrations at a port, `gap` seconds apart.
    void unknowns(int port, int n, int gap) {
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                after(gap);
            engine.registrationArrived(port, true);
        }
    }
};
} // namespace

class TestAlertEngine : public QObject {
    Q_OBJECT
private slots:
    void controllerLostAndBackToldOnceEach() {
        Rig r;
        r.engine.controllerLost(3, QStringLiteral("the device is gone"));
        r.engine.controllerLost(3, QStringLiteral("still gone"));
        QCOMPARE(r.told.size(), size_t(1));
        const Alert lost = r.told.at(0);
        QCOMPARE(lost.kind, AlertKind::ControllerLost);
        QCOMPARE(alertKindName(lost.kind), QStringLiteral("controller-lost"));
        QCOMPARE(lost.text, QStringLiteral("COM3 is lost"));
        QCOMPARE(lost.reason, QStringLiteral("the device is gone"));
        QCOMPARE(lost.comPort, 3);
        QCOMPARE(lost.controllerId, 30);
        QCOMPARE(lost.time, r.now);
        QVERIFY(!lost.isEnd());
        QCOMPARE(r.engine.lasting(), 1);

        // A controller that was never lost is not "back"; one that was is, once.
        r.engine.controllerBack(4);
        QCOMPARE(r.told.size(), size_t(1));
        r.after(90);
        r.engine.controllerBack(3);
        r.engine.controllerBack(3);
        QCOMPARE(r.texts(), QStringList({"COM3 is lost", "COM3 is back"}));
        QVERIFY(r.told.back().isEnd());
        QCOMPARE(r.told.back().kind, AlertKind::ControllerBack);
        QCOMPARE(r.told.back().time, r.now);
        QCOMPARE(r.engine.lasting(), 0);

        // Lost again after its return: a new condition, told again.
        r.engine.controllerLost(3, QString());
        QCOMPARE(r.told.size(), size_t(3));

        // A controller taken out of the workspace leaves nothing lasting and tells no end; the
        // status line no longer stands on it.
        QSignalSpy changed(&r.engine, &CAlertEngine::lastingChanged);
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM3 is lost"));
        r.engine.controllerGone(3);
        r.engine.controllerBack(3);
        QCOMPARE(r.told.size(), size_t(3));
        QCOMPARE(r.engine.lasting(), 0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(r.engine.statusLine(), QString());
        r.engine.controllerGone(3);
        QCOMPARE(changed.size(), 1);
    }

    void fileAndDatabaseConditionsWithTheirEnds() {
        Rig r;
        r.engine.registrationsNotWritten(2, QStringLiteral("/regs: no space left"));
        r.engine.registrationsNotWritten(2, QStringLiteral("/regs: no space left"));
        r.engine.registrationsWritten(5);
        r.engine.reportingSilent(12, QStringLiteral("connection refused"));
        r.engine.reportingSilent(40, QStringLiteral("connection refused"));
        r.engine.reportingAnswers();
        r.engine.reportingAnswers();
        r.engine.registrationsWritten(2);
        QCOMPARE(r.texts(), QStringList({"COM2: registrations not saved",
                                         "MorrowReports database does not answer: 12 "
                                         "registrations waiting",
                                         "MorrowReports database answers again",
                                         "COM2: registrations saved again"}));
        QCOMPARE(r.told.at(0).kind, AlertKind::RegistrationsNotWritten);
        QCOMPARE(r.told.at(0).reason, QStringLiteral("/regs: no space left"));
        QCOMPARE(r.told.at(1).comPort, 0);
        QCOMPARE(r.told.at(1).controllerId, 0);
        QCOMPARE(r.told.at(1).reason, QStringLiteral("connection refused"));
        QCOMPARE(alertKindName(r.told.at(1).kind), QStringLiteral("reporting-not-answering"));
        QCOMPARE(alertKindName(r.told.at(3).kind), QStringLiteral("registrations-written"));
    }

    // A growing count changes the silent database's line, never tells again; a full queue is
    // told once with its reason and ends when it takes one again.
    void waitingCountAndAFullQueue() {
        Rig r;
        r.engine.reportingSilent(0, QStringLiteral("no server"));
        r.engine.reportingWaiting(7);
        r.engine.reportQueueFull(7);
        r.engine.reportQueueFull(7);
        r.engine.reportQueueTakes();
        r.engine.reportQueueTakes();
        QCOMPARE(r.engine.statusLine(),
                 QStringLiteral("MorrowReports database does not answer: 7 registrations waiting"));
        QCOMPARE(r.texts(), QStringList({"MorrowReports database does not answer: 0 registrations "
                                         "waiting",
                                         "Report queue full: 7 registrations waiting, new ones "
                                         "only in the monthly file",
                                         "Report queue takes registrations again"}));
        QCOMPARE(alertKindName(r.told.at(1).kind), QStringLiteral("report-queue-full"));
        QCOMPARE(r.told.at(1).reason,
                 QStringLiteral("The report queue holds 7 registrations (ReportQueueMax). Later "
                                "registrations are written to the monthly file only."));
        QVERIFY(r.told.at(2).isEnd());
    }

    void theStatusLineKeepsTheMostSeriousLastingCondition() {
        Rig r;
        QCOMPARE(r.engine.statusLine(), QString());
        r.engine.controllerLost(1, QString());
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM1 is lost"));
        // Registrations not stored matter more than anything after them.
        r.engine.registrationsNotWritten(2, QString());
        r.engine.controllerLost(4, QString());
        r.unknowns(6, 5, 1);
        r.engine.controllerBack(1);
        QCOMPARE(r.told.back().text, QStringLiteral("COM1 is back"));
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM2: registrations not saved"));
        // An end that leaves a more serious condition shows that one.
        r.engine.registrationsWritten(2);
        QCOMPARE(r.told.back().text, QStringLiteral("COM2: registrations saved again"));
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM4 is lost"));
        r.engine.controllerBack(4);
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM6: 5 unknown keys within 2 minutes"));
        // Once nothing lasts, the last end is the news.
        r.after(200);
        r.engine.checkTime();
        QCOMPARE(r.told.back().kind, AlertKind::UnknownMediaEnded);
        QCOMPARE(r.engine.lasting(), 0);
        QCOMPARE(r.engine.statusLine(), QStringLiteral("COM6: no unknown key for 2 minutes"));
    }

    void unknownMediaBurst_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QList<int>>("gaps"); // seconds before each unknown registration
        QTest::addColumn<int>("alertAt");     // the registration that raises it, 0: none
        QTest::newRow("five in a row") << 5 << 2 << QList<int>{0, 2, 2, 2, 2} << 5;
        QTest::newRow("fifth just inside") << 5 << 2 << QList<int>{0, 30, 30, 30, 29} << 5;
        QTest::newRow("fifth on the edge") << 5 << 2 << QList<int>{0, 30, 30, 30, 30} << 0;
        QTest::newRow("window slides on") << 5 << 2 << QList<int>{0, 100, 5, 5, 10, 5} << 6;
        QTest::newRow("four only") << 5 << 2 << QList<int>{0, 1, 1, 1} << 0;
        QTest::newRow("three in one minute") << 3 << 1 << QList<int>{0, 20, 20} << 3;
        QTest::newRow("one is enough") << 1 << 2 << QList<int>{0} << 1;
    }
    void unknownMediaBurst() {
        QFETCH(int, count);
        QFETCH(int, minutes);
        QFETCH(QList<int>, gaps);
        QFETCH(int, alertAt);
        Rig r;
        r.engine.setRules({count, minutes});
        int raisedAt = 0;
        for (int i = 0; i < gaps.size(); ++i) {
            r.after(gaps.at(i));
            r.engine.registrationArrived(7, true);
            if (!r.told.empty() && raisedAt == 0)
                raisedAt = i + 1;
        }
        QCOMPARE(raisedAt, alertAt);
        QCOMPARE(r.told.size(), size_t(alertAt ? 1 : 0));
        if (alertAt) {
            QCOMPARE(r.told.at(0).kind, AlertKind::UnknownMedia);
            QCOMPARE(
                r.told.at(0).text,
                QStringLiteral("COM7: %1 unknown keys within %2 minutes").arg(count).arg(minutes));
            QCOMPARE(r.told.at(0).controllerId, 70);
        }
    }

    void aBurstIsToldOnceAndItsEndAfterTheQuietTime() {
        Rig r;
        // Known media between the unknown ones neither count nor reset the count.
        r.unknowns(1, 2, 3);
        r.engine.registrationArrived(1, false);
        r.unknowns(1, 3, 3);
        QCOMPARE(r.told.size(), size_t(1));
        // Still trying: not told again.
        r.unknowns(1, 10, 5);
        QCOMPARE(r.told.size(), size_t(1));
        // Not yet two minutes since the last unknown one.
        r.after(119);
        r.engine.checkTime();
        QCOMPARE(r.told.size(), size_t(1));
        r.after(1);
        r.engine.checkTime();
        r.engine.checkTime();
        QCOMPARE(r.texts(), QStringList({"COM1: 5 unknown keys within 2 minutes",
                                         "COM1: no unknown key for 2 minutes"}));
        QVERIFY(r.told.back().isEnd());
        // A new burst after the end is a new alert; a quiet one ends before a known one counts.
        r.unknowns(1, 5, 1);
        QCOMPARE(r.told.size(), size_t(3));
        r.after(600);
        r.engine.registrationArrived(1, false);
        QCOMPARE(r.told.back().kind, AlertKind::UnknownMediaEnded);
        QCOMPARE(r.told.size(), size_t(4));
    }

    void burstsAreCountedPerController() {
        Rig r;
        r.unknowns(1, 3, 1);
        r.unknowns(2, 3, 1);
        r.unknowns(1, 1, 1);
        QVERIFY(r.told.empty());
        r.unknowns(2, 2, 1);
        QCOMPARE(r.told.size(), size_t(1));
        QCOMPARE(r.told.at(0).comPort, 2);
        // A controller taken out forgets its count.
        r.engine.controllerGone(1);
        r.unknowns(1, 1, 1);
        QCOMPARE(r.told.size(), size_t(1));
    }

    void aClockSetBackNeitherRaisesNorStretches() {
        Rig r;
        r.unknowns(3, 4, 10);
        // Set back an hour: the four ahead of the clock no longer count.
        r.after(-3600);
        r.engine.registrationArrived(3, true);
        QVERIFY(r.told.empty());
        r.unknowns(3, 4, 1);
        QCOMPARE(r.told.size(), size_t(1));
        // Set back again: the quiet time starts anew from the clock's time, not an hour later.
        r.after(-3600);
        r.engine.checkTime();
        r.after(120);
        r.engine.checkTime();
        QCOMPARE(r.told.size(), size_t(2));
    }

    void rulesComeFromTheSettingsAndStayInRange() {
        CAppSettings settings;
        QCOMPARE(CAlertEngine::Rules::from(settings).unknownCount, 5);
        QCOMPARE(CAlertEngine::Rules::from(settings).unknownMinutes, 2);
        settings.UnknownAlertCount = 3;
        settings.UnknownAlertMinutes = 9;
        Rig r;
        r.engine.setRules(CAlertEngine::Rules::from(settings));
        QCOMPARE(r.engine.rules().unknownCount, 3);
        QCOMPARE(r.engine.rules().unknownMinutes, 9);
        r.engine.setRules({0, -4});
        QCOMPARE(r.engine.rules().unknownCount, 1);
        QCOMPARE(r.engine.rules().unknownMinutes, 1);
        r.engine.setRules({2000000000, 2000000000});
        QCOMPARE(r.engine.rules().unknownCount, 10000);
        QCOMPARE(r.engine.rules().unknownMinutes, 7 * 24 * 60);
    }

    void theListKeepsTheNewestFirstAndIsBounded() {
        Rig r;
        CAlertListModel list;
        QObject::connect(&r.engine, &CAlertEngine::raised, &list, &CAlertListModel::add);
        r.engine.reportingSilent(3, QStringLiteral("timeout"));
        r.after(65);
        r.engine.controllerLost(12, QStringLiteral("hung up"));
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.columnCount(), 3);
        QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Time"));
        QCOMPARE(list.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Controller"));
        QCOMPARE(list.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Alert"));
        QCOMPARE(list.index(0, 0).data().toString(), QStringLiteral("2031-05-04 08:01:05"));
        QCOMPARE(list.index(0, 1).data().toString(), QStringLiteral("COM12 (ID 120)"));
        QCOMPARE(list.index(0, 2).data().toString(), QStringLiteral("COM12 is lost"));
        QCOMPARE(list.index(0, 2).data(Qt::ToolTipRole).toString(), QStringLiteral("hung up"));
        QCOMPARE(list.index(1, 1).data().toString(), QString());
        QCOMPARE(list.index(1, 0).data().toString(), QStringLiteral("2031-05-04 08:00:00"));

        // Months of flapping keep only the latest, while the total goes on counting.
        for (int i = 0; i < CAlertListModel::kMaxAlerts + 50; ++i) {
            r.engine.controllerBack(12);
            r.engine.controllerLost(12, QString());
        }
        QCOMPARE(list.rowCount(), CAlertListModel::kMaxAlerts);
        QCOMPARE(list.total(), qint64(2 + 2 * (CAlertListModel::kMaxAlerts + 50)));
        QCOMPARE(list.at(0).kind, AlertKind::ControllerLost);
        QCOMPARE(list.at(1).kind, AlertKind::ControllerBack);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestAlertEngine)
#include "tst_alertengine.moc"
