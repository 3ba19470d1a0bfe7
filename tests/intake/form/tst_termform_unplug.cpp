// A controller pulled off its port while the program runs: its form shows the lost line, the
// other controller goes on registering, and nothing spins or hangs on the dead port.
#include "intakeworld.h"

#include "documentflow.h"
#include "resourceids.h"
#include "vr12simulator.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>

#include <ctime>

namespace {
constexpr int kWaitMs = 15000;

double processCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// The state the control's picture shows.
int linkState(CTermFormView* form) {
    return form->Comm().Control()->linkState();
}
} // namespace

class TestTermFormUnplug : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void unpluggedControllerShownOthersKeepWorking() {
        Vr12Simulator sim1, sim2;
        QVERIFY(sim1.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(sim2.start(TestWorld::instance()->deviceDir(), 2));
        const QString link3 = TestWorld::instance()->deviceDir() + QStringLiteral("/COM3");
        QFile::remove(link3);
        QVERIFY(QFile::link(TestWorld::instance()->path(QStringLiteral("absent")), link3));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);

        // COM3 has no device: its form shows what a port that did not open looks like.
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("unplug"), {{1, controller("Front", 11, 1)},
                                                   {2, controller("Back", 22, 1)},
                                                   {3, controller("Shed", 33, 1)}}));
        CTermFormView* f1 = w.form(1);
        CTermFormView* f2 = w.form(2);
        CTermFormView* f3 = w.form(3);
        QVERIFY(f1 && f2 && f3);
        QVERIFY(f1->Comm().IsLinked());
        QCOMPARE(f1->Status(), QStringLiteral("OK"));
        QCOMPARE(f3->Status(), QStringLiteral("Error"));
        QCOMPARE(linkState(f1), int(vr12comm::LinkBothOpen));
        QCOMPARE(linkState(f3), int(vr12comm::LinkLogOnly));

        // A registrations file that does not open would lose every registration: the form
        // says so, with the reason on the field, until a file opens again.
        QSignalSpy err2(&f2->Comm(), &CVr12Comm::ErrMessage);
        const QString noFile = TestWorld::instance()->path(QStringLiteral("no/such/dir/r.txt"));
        f2->SetRegistrationsFile(noFile);
        QCOMPARE(err2.size(), 1);
        QCOMPARE(f2->Status(), QStringLiteral("Error"));
        const QLineEdit* status2 = f2->field(res::IDC_TERM_STATUS);
        QCOMPARE(status2->text(), QStringLiteral("Error"));
        QVERIFY2(status2->toolTip().contains(noFile), qPrintable(status2->toolTip()));
        QCOMPARE(status2->accessibleDescription(), status2->toolTip());
        QCOMPARE(linkState(f2), int(vr12comm::LinkPortOnly));
        f2->SetRegistrationsFile(w.monthlyFile());
        QCOMPARE(f2->Status(), QStringLiteral("OK"));
        QCOMPARE(status2->toolTip(), QString());
        QCOMPARE(linkState(f2), int(vr12comm::LinkBothOpen));

        QSignalSpy err1(&f1->Comm(), &CVr12Comm::ErrMessage);
        sim1.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(f1->Status(), QStringLiteral("Error"), 3000);
        QCOMPARE(f1->field(res::IDC_TERM_STATUS)->text(), QStringLiteral("Error"));
        QCOMPARE(err1.size(), 1);
        QCOMPARE(linkState(f1), int(vr12comm::LinkLogOnly));
        QCOMPARE(f2->Status(), QStringLiteral("OK"));
        QCOMPARE(linkState(f2), int(vr12comm::LinkBothOpen));
        QVERIFY(w.prompts.stops.isEmpty());

        // The receiver of the dead port sleeps through its read time-outs.
        const double cpu0 = processCpuMs();
        QTest::qWait(1000);
        const double cpu = processCpuMs() - cpu0;
        QVERIFY2(cpu < 150, qPrintable(QString::number(cpu)));

        // Commands on it give their no-reply results within their read time-outs.
        QElapsedTimer t;
        t.start();
        QCOMPARE(f1->Comm().GetStatus(), vr12comm::GetStatusNoReply);
        // Its read time-out plus the receiver's idle pass it may wait behind.
        QVERIFY2(t.elapsed() < 2500, qPrintable(QString::number(t.elapsed())));
        t.start();
        QCOMPARE(f1->Comm().ReadFirstID(), QStringLiteral("Error"));
        QVERIFY2(t.elapsed() < 2500, qPrintable(QString::number(t.elapsed())));

        // The other door goes on registering.
        sim2.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(2)));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 1, kWaitMs);
        QCOMPARE(w.list()->text(0, 4), QStringLiteral("22"));
        QCOMPARE(f2->Comm().GetStatus(), vr12comm::GetStatusOk);
        QCOMPARE(f1->Status(), QStringLiteral("Error"));

        // Closing the workspace stops the dead control promptly.
        t.start();
        w.prompts.saveAnswers = {IUserPrompts::No};
        QVERIFY(w.app->documentFlow()->OnFileNew());
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(w.prompts.stops.isEmpty());
    }
};

TARVEX_TEST_MAIN(TestTermFormUnplug)
#include "tst_termform_unplug.moc"
