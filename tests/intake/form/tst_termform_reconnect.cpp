// A controller pulled and plugged back while the program runs: its form says why it is down
// and when it is tried next, and comes back by itself with nothing else changed.
#include "intakeworld.h"

#include "appalerts.h"
#include "mainpanes.h"
#include "resourceids.h"
#include "termview.h"
#include "vr12simulator.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLineEdit>

class TestTermFormReconnect : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void pulledControllerComesBackByItself() {
        Vr12Simulator sim, other;
        const QString devices = TestWorld::instance()->deviceDir();
        QVERIFY(sim.start(devices, 1));
        QVERIFY(other.start(devices, 2));
        IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
        IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("reconnect"),
                        {{1, controller("Front", 11, 1)}, {2, controller("Back", 22, 1)}}));
        CTermFormView* form = w.form(1);
        QVERIFY(form && form->Comm().IsLinked());
        QCOMPARE(form->Status(), QStringLiteral("OK"));
        CTermView* controllers = w.app->mainFrame()->panes()->termView();
        controllers->selectRow(1);
        const QList<int> selected = controllers->selectedRows();
        QVERIFY(!w.app->document()->IsModified());
        const QLineEdit* status = form->field(res::IDC_TERM_STATUS);
        auto linkState = [form] { return form->Comm().Control()->linkState(); };

        // Lost: the reason and the next try, on the field and for screen readers.
        QElapsedTimer sinceLoss;
        sinceLoss.start();
        sim.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(form->Status(), QStringLiteral("Error"), 1000);
        QCOMPARE(status->text(), QStringLiteral("Error"));
        QVERIFY2(status->toolTip().contains(QStringLiteral("hung up")) &&
                     status->toolTip().endsWith(QStringLiteral("; next try in 2 s")),
                 qPrintable(status->toolTip()));
        QCOMPARE(status->accessibleDescription(), status->toolTip());
        QCOMPARE(linkState(), int(vr12comm::LinkLogOnly));

        // Plugged back under the same link: up within the first try.
        QVERIFY(sim.start(devices, 1));
        QTRY_COMPARE_WITH_TIMEOUT(form->Status(), QStringLiteral("OK"), 3000);
        QVERIFY2(sinceLoss.elapsed() < 2500, qPrintable(QString::number(sinceLoss.elapsed())));
        QCOMPARE(status->toolTip(), QString());
        QCOMPARE(status->accessibleDescription(), QString());
        QCOMPARE(linkState(), int(vr12comm::LinkBothOpen));
        QCOMPARE(w.app->alerts()->list().at(0).text, QStringLiteral("COM1 is back"));
        QCOMPARE(form->field(res::IDC_TERM_NAME)->text(), QStringLiteral("Front"));
        QCOMPARE(controllers->selectedRows(), selected);
        QVERIFY(!w.app->document()->IsModified());

        sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(4)));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 1, 5000);
        QCOMPARE(w.list()->text(0, 4), QStringLiteral("11"));

        // Still missing at the first try: the wait doubles, and the next try finds it.
        sim.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(form->Status(), QStringLiteral("Error"), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(status->toolTip().endsWith(QStringLiteral("; next try in 4 s")),
                                 3500);
        QVERIFY2(status->toolTip().contains(QStringLiteral("missing")),
                 qPrintable(status->toolTip()));
        QCOMPARE(form->Status(), QStringLiteral("Error"));
        // The tip counts the wait down when it shows.
        QTest::qWait(1000);
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), status->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(const_cast<QLineEdit*>(status), &hover);
        QVERIFY2(status->toolTip().endsWith(QStringLiteral("; next try in 3 s")),
                 qPrintable(status->toolTip()));
        QVERIFY(sim.start(devices, 1));
        QTRY_COMPARE_WITH_TIMEOUT(form->Status(), QStringLiteral("OK"), 5000);
        QCOMPARE(status->toolTip(), QString());
        QVERIFY(!w.app->document()->IsModified());
        QVERIFY(w.prompts.stops.isEmpty());
    }
};

TARVEX_TEST_MAIN(TestTermFormReconnect)
#include "tst_termform_reconnect.moc"
