// The link check against simulated controllers: one that stops answering turns "Error" with
// the time of the check and is an alert until it is heard again, a check never comes inside a
// command, and the controllers list tells when each controller was last heard.
#include "intakeworld.h"

#include "alertengine.h"
#include "appalerts.h"
#include "applinkcheck.h"
#include "resourceids.h"
#include "termview.h"
#include "vr12simulator.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

using namespace std::chrono_literals;

namespace {
constexpr int kWaitMs = 15000;

int statusRequests(const Vr12Simulator& sim) {
    return int(sim.receivedBytes().count('V'));
}

QString lastHeard(int comPort) {
    const CTermView* list = CTermView::Instance();
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->ComPortOfRow(row) == comPort)
            return list->text(row, CTermView::kLastHeardColumn);
    return QStringLiteral("(no row)");
}

QStringList alertTexts(const QSignalSpy& spy) {
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).value<Alert>().text;
    return out;
}
} // namespace

class TestTermFormLinkCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QDir::setCurrent(TestWorld::instance()->root());
        qRegisterMetaType<Alert>();
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
    }

    void silentControllerIsLostUntilHeardAgain() {
        Vr12Simulator shed, front;
        QVERIFY(shed.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(front.start(TestWorld::instance()->deviceDir(), 2));
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("linkcheck"),
                        {{1, controller("Shed", 11, 1)}, {2, controller("Front", 22, 1)}}));
        CTermView* list = CTermView::Instance();
        QCOMPARE(list->model()->headerData(CTermView::kLastHeardColumn, Qt::Horizontal),
                 QVariant(QStringLiteral("Last heard")));
        QCOMPARE(list->ComPortOfRow(0), 2); // by name
        QCOMPARE(lastHeard(1), QString());
        QCOMPARE(lastHeard(2), QString());

        CLinkChecker& checker = w.app->linkCheck()->checker();
        QCOMPARE(checker.interval(), std::chrono::milliseconds(10min));
        QSignalSpy told(&w.app->alerts()->engine(), &CAlertEngine::raised);
        shed.setFault('V', Vr12Simulator::Fault::Silent);
        checker.setInterval(1s);

        CTermFormView* f1 = w.form(1);
        CTermFormView* f2 = w.form(2);
        QTRY_COMPARE_WITH_TIMEOUT(f1->Status(), QStringLiteral("Error"), kWaitMs);
        const QLineEdit* status = f1->field(res::IDC_TERM_STATUS);
        QVERIFY2(
            QRegularExpression(QStringLiteral("^no answer to the link check at \\d\\d:\\d\\d$"))
                .match(status->toolTip())
                .hasMatch(),
            qPrintable(status->toolTip()));
        QCOMPARE(status->accessibleDescription(), status->toolTip());
        QCOMPARE(alertTexts(told), QStringList({"COM1 is lost"}));
        QCOMPARE(told.at(0).at(0).value<Alert>().reason, status->toolTip());
        // The other controller answers its checks, and is heard at each.
        QTRY_VERIFY_WITH_TIMEOUT(!lastHeard(2).isEmpty(), kWaitMs);
        QCOMPARE(f2->Status(), QStringLiteral("OK"));
        QCOMPARE(lastHeard(1), QString());
        // Still silent at the next check: still lost, not told again.
        const int asked = statusRequests(shed);
        QTRY_VERIFY_WITH_TIMEOUT(statusRequests(shed) > asked, kWaitMs);
        checker.setInterval(10min);
        QTRY_VERIFY_WITH_TIMEOUT(!checker.checking(), kWaitMs);
        QCOMPARE(told.size(), 1);
        QCOMPARE(f1->Status(), QStringLiteral("Error"));

        // A registration is the controller heard: back, without waiting for a check.
        const QDateTime before = QDateTime::currentDateTime();
        shed.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(7)));
        QTRY_COMPARE_WITH_TIMEOUT(f1->Status(), QStringLiteral("OK"), kWaitMs);
        QCOMPARE(status->toolTip(), QString());
        QCOMPARE(alertTexts(told), QStringList({"COM1 is lost", "COM1 is back"}));
        const QDateTime heard =
            QDateTime::fromString(lastHeard(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(heard.isValid(), qPrintable(lastHeard(1)));
        QVERIFY(qAbs(before.secsTo(heard)) <= 3);
        // In Shed's row, which stays second; a rebuilt list keeps the times.
        QCOMPARE(list->ComPortOfRow(1), 1);
        const QString shown = lastHeard(1);
        list->FillList(w.app->document());
        QCOMPARE(list->ComPortOfRow(1), 1);
        QCOMPARE(lastHeard(1), shown);
        QVERIFY(!lastHeard(2).isEmpty());
        // A list without the controllers forgets them: the next workspace's COM1 is another.
        list->FillList(nullptr);
        list->FillList(w.app->document());
        QCOMPARE(lastHeard(1), QString());
    }

    // A listing holds the line from its first record to its end while the program's event loop
    // runs: the checks falling due meanwhile wait, and the window stays responsive. Commands
    // issued while checks run come back whole.
    void aCheckNeverComesInsideACommand() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        sim.setPaced(true);
        sim.fillTable(3);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("linkcheck-busy"), {{1, controller("Door", 11, 1)}}));
        CVr12Comm& comm = w.form(1)->Comm();
        CLinkChecker& checker = w.app->linkCheck()->checker();
        checker.setInterval(300ms);
        QTRY_VERIFY_WITH_TIMEOUT(statusRequests(sim) >= 2, kWaitMs);

        QStringList records{comm.ReadFirstID()};
        QVERIFY2(records.first().startsWith(QLatin1String("ID")), qPrintable(records.first()));
        sim.clearReceived();
        QElapsedTimer beat;
        qint64 longestGap = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, beat.restart()); });
        beat.start();
        ticks.start(20);
        QTest::qWait(1500);
        ticks.stop();
        QCOMPARE(statusRequests(sim), 0);
        QVERIFY2(longestGap < 400, qPrintable(QString::number(longestGap)));
        for (QString next = comm.ReadNextID(); next.startsWith(QLatin1String("ID"));
             next = comm.ReadNextID())
            records << next;
        QCOMPARE(records.size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(statusRequests(sim) >= 1, kWaitMs);

        // Commands among the checks: each command and each check has the line to itself. (The
        // pause lets a check that waits for the lock have it; the lock promises no turns.)
        const QString params = QString::fromLatin1(sim.params());
        sim.clearReceived();
        QElapsedTimer t;
        t.start();
        int commands = 0;
        while ((commands < 5 || statusRequests(sim) < 3) && t.elapsed() < kWaitMs) {
            QCOMPARE(comm.ReadParams(), params);
            ++commands;
            QTest::qWait(20);
        }
        QVERIFY2(statusRequests(sim) >= 3, qPrintable(QString::number(statusRequests(sim))));
        QVERIFY(!checker.isLost(1));
        QCOMPARE(w.form(1)->Status(), QStringLiteral("OK"));
    }
};

TARVEX_TEST_MAIN(TestTermFormLinkCheck)
#include "tst_termform_linkcheck.moc"
