#include "testworld.h"

#include "taskbarnotifier.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QTimerEvent>
#include <QtTest>

namespace {
const QRect kScreen(0, 0, 1920, 1080);

QImage skin() {
    // 100 x 70 with white corners, like the program's skin.
    QImage img(100, 70, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 110, 170));
    p.drawRoundedRect(QRect(0, 0, 100, 70), 8, 8);
    return img;
}

struct Fixture {
    CTaskbarNotifier n;
    QRect work;
    explicit Fixture(QRect workArea) : work(workArea) {
        n.SetSkin(skin(), 255, 255, 255);
        n.SetTextFont("Tahoma", 85, 1, 1);
        n.SetTextColor(Qt::white, Qt::white);
        n.SetTextRect(QRect(8, 20, 84, 42));
        n.setManualTimers(true);
        n.setScreenSource([this](QRect& w, QRect& s) {
            w = work;
            s = kScreen;
        });
    }
    // Ticks timer id until the state leaves from (or limit ticks); returns ticks.
    int tickWhile(int id, CTaskbarNotifier::State from, int limit = 1000) {
        int ticks = 0;
        while (n.isTimerRunning(id) && ticks < limit) {
            n.OnTimer(id);
            ++ticks;
            if (n.state() != from)
                break;
        }
        return ticks;
    }
};
} // namespace

class TestNotifier : public QObject {
    Q_OBJECT
private slots:
    void skinShapeAndFonts() {
        Fixture f(QRect(0, 0, 1920, 1040));
        QCOMPARE(f.n.skinSize(), QSize(100, 70));
        QCOMPARE(f.n.size(), QSize(100, 70));
        // White corners are cut from the shape, the inside stays.
        QVERIFY(!f.n.shape().contains(QPoint(0, 0)));
        QVERIFY(!f.n.shape().contains(QPoint(99, 69)));
        QVERIFY(f.n.shape().contains(QPoint(50, 35)));
        QVERIFY(f.n.shape().contains(QPoint(0, 35)));
        QVERIFY(f.n.normalFont().bold());
        QVERIFY(f.n.selectedFont().bold());
        QCOMPARE(f.n.normalFont().pointSizeF(), 8.5);
        if (!QFontDatabase::families().contains("Tahoma", Qt::CaseInsensitive))
            QCOMPARE(f.n.normalFont().family(),
                     QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        QCOMPARE(f.n.textRect(), QRect(8, 20, 84, 42));
        // No transparent colour: the whole rectangle.
        CTaskbarNotifier plain;
        QVERIFY(plain.SetSkin(skin(), -1, -1, -1));
        QVERIFY(plain.shape().contains(QPoint(0, 0)));
        QVERIFY(!plain.SetSkin(QImage()));
    }

    void fullCycleFromBottomTaskbar() {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.n.Show("Tarvex is still active", 100, 3000, 100);
        QCOMPARE(f.n.placement(), CTaskbarNotifier::Bottom);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Hidden); // until the first tick
        QCOMPARE(f.n.startPos(), QPoint(1820, 1040));
        QCOMPARE(f.n.showStep(), 2u); // 100 / (70 / 2)
        QCOMPARE(f.n.hideStep(), 2u);
        QVERIFY(f.n.isTimerRunning(1));
        QCOMPARE(f.n.timerPeriod(1), 2u);
        QVERIFY(f.n.isVisible());

        f.n.OnTimer(1);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Appearing);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 1038));
        QCOMPARE(f.n.pos(), QPoint(1820, 1038));
        const int ticks = 1 + f.tickWhile(1, CTaskbarNotifier::Appearing);
        QCOMPARE(ticks, 36); // 35 steps of 2 pixels, then the switch to waiting
        QCOMPARE(f.n.state(), CTaskbarNotifier::Waiting);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 970));
        QVERIFY(!f.n.isTimerRunning(1));
        QVERIFY(f.n.isTimerRunning(2));
        QCOMPARE(f.n.timerPeriod(2), 3000u);

        f.n.OnTimer(2);
        QVERIFY(!f.n.isTimerRunning(2));
        QVERIFY(f.n.isTimerRunning(3));
        QCOMPARE(f.n.timerPeriod(3), 2u);
        f.n.OnTimer(3);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Disappearing);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 972));
        f.tickWhile(3, CTaskbarNotifier::Disappearing);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Hidden);
        QVERIFY(!f.n.isVisible());
        for (int id = 1; id <= 3; ++id)
            QVERIFY(!f.n.isTimerRunning(id));
    }

    void placementsByTaskbarEdge_data() {
        QTest::addColumn<QRect>("work");
        QTest::addColumn<int>("placement");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("shown");
        QTest::newRow("bottom") << QRect(0, 0, 1920, 1040) << int(CTaskbarNotifier::Bottom)
                                << QPoint(1820, 1040) << QPoint(1820, 970);
        QTest::newRow("right") << QRect(0, 0, 1860, 1080) << int(CTaskbarNotifier::Right)
                               << QPoint(1860, 1010) << QPoint(1760, 1010);
        QTest::newRow("left") << QRect(60, 0, 1860, 1080) << int(CTaskbarNotifier::Left)
                              << QPoint(-40, 1010) << QPoint(60, 1010);
        QTest::newRow("top") << QRect(0, 40, 1920, 1040) << int(CTaskbarNotifier::Top)
                             << QPoint(1820, -30) << QPoint(1820, 40);
        QTest::newRow("no taskbar") << QRect(0, 0, 1920, 1080) << int(CTaskbarNotifier::Bottom)
                                    << QPoint(1820, 1080) << QPoint(1820, 1010);
    }

    void placementsByTaskbarEdge() {
        QFETCH(QRect, work);
        QFETCH(int, placement);
        QFETCH(QPoint, start);
        QFETCH(QPoint, shown);
        Fixture f(work);
        f.n.Show("x", 100, 3000, 100);
        QCOMPARE(int(f.n.placement()), placement);
        QCOMPARE(f.n.startPos(), start);
        f.tickWhile(1, CTaskbarNotifier::Hidden);
        f.tickWhile(1, CTaskbarNotifier::Appearing);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Waiting);
        QCOMPARE(f.n.currentPos(), shown);
        QCOMPARE(f.n.shownPos(), shown);
        f.n.OnTimer(2);
        f.tickWhile(3, CTaskbarNotifier::Waiting);
        f.tickWhile(3, CTaskbarNotifier::Disappearing);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Hidden);
        QCOMPARE(f.n.currentPos(), start);
    }

    void stepsFollowTheSlideLength() {
        Fixture f(QRect(0, 0, 1860, 1080)); // right: across the 100-pixel width
        f.n.Show("x", 500, 3000, 250);
        QCOMPARE(f.n.showStep(), 10u); // 500 / 50
        QCOMPARE(f.n.hideStep(), 5u);  // 250 / 50
    }

    void secondShowWhileAppearingOnlyChangesText() {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.n.Show("first", 100, 3000, 100);
        for (int i = 0; i < 5; ++i)
            f.n.OnTimer(1);
        const QPoint at = f.n.currentPos();
        f.n.Show("second", 100, 3000, 100);
        QCOMPARE(f.n.text(), QString("second"));
        QCOMPARE(f.n.state(), CTaskbarNotifier::Appearing);
        QCOMPARE(f.n.currentPos(), at);
        QVERIFY(f.n.isTimerRunning(1));
    }

    void secondShowWhileWaitingRestartsTheWait() {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.n.Show("Tarvex is still active", 100, 3000, 100);
        f.tickWhile(1, CTaskbarNotifier::Hidden);
        f.tickWhile(1, CTaskbarNotifier::Appearing);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Waiting);
        f.n.Show("Tarvex is still active", 100, 3000, 100);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Waiting);
        QVERIFY(f.n.isTimerRunning(2));
        QCOMPARE(f.n.timerPeriod(2), 3000u);
        // Wait over but not yet moving: showing again still means a full wait.
        f.n.OnTimer(2);
        QVERIFY(f.n.isTimerRunning(3));
        f.n.Show("Tarvex is still active", 100, 3000, 100);
        QVERIFY(!f.n.isTimerRunning(3));
        QVERIFY(f.n.isTimerRunning(2));
        QCOMPARE(f.n.currentPos(), f.n.shownPos());
    }

    void showWhileDisappearingJumpsBack() {
        Fixture f(QRect(0, 40, 1920, 1040)); // top
        f.n.Show("a", 100, 3000, 100);
        f.tickWhile(1, CTaskbarNotifier::Hidden);
        f.tickWhile(1, CTaskbarNotifier::Appearing);
        f.n.OnTimer(2);
        for (int i = 0; i < 10; ++i)
            f.n.OnTimer(3);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Disappearing);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 20));
        f.n.Show("b", 100, 3000, 100);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Waiting);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 40));
        QCOMPARE(f.n.pos(), QPoint(1820, 40));
        QVERIFY(!f.n.isTimerRunning(3));
        QVERIFY(f.n.isTimerRunning(2));
        QCOMPARE(f.n.timerPeriod(2), 3000u);
        // The slide out afterwards starts from fully shown again.
        f.n.OnTimer(2);
        f.n.OnTimer(3);
        QCOMPARE(f.n.currentPos(), QPoint(1820, 38));
        f.n.Hide();
        QCOMPARE(f.n.state(), CTaskbarNotifier::Hidden);
        QVERIFY(!f.n.isTimerRunning(3));
        QVERIFY(!f.n.isVisible());
    }

    void hoverSwitchesToTheSelectedLook() {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.n.SetTextFont("Tahoma", 85, 0, 3);
        QVERIFY(!f.n.normalFont().bold());
        QVERIFY(f.n.selectedFont().bold() && f.n.selectedFont().italic());
        QVERIFY(!f.n.selectedFont().underline());
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&f.n, &enter);
        QVERIFY(f.n.isMouseOver());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&f.n, &leave);
        QVERIFY(!f.n.isMouseOver());
        QCOMPARE(f.n.cursor().shape(), Qt::ArrowCursor);
    }

    void realTimersRunTheWholeCycle() {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.n.setManualTimers(false);
        // Each state change is stamped when it happens, not when a poll notices it.
        QElapsedTimer clock;
        QList<QPair<int, qint64>> changes;
        connect(&f.n, &CTaskbarNotifier::stateChanged, this, [&](int state) {
            changes.append({state, clock.nsecsElapsed() / 1000000});
        });
        clock.start();
        f.n.Show("Tarvex is still active", 35, 300, 35);
        // Show leaves the state hidden until the first tick: wait for the last change instead.
        QTRY_COMPARE_WITH_TIMEOUT(changes.size(), 4, 10000);
        QCOMPARE(f.n.state(), CTaskbarNotifier::Hidden);
        QVERIFY(!f.n.isVisible());
        QCOMPARE(f.n.currentPos(), f.n.startPos());
        const QList<int> order = {CTaskbarNotifier::Appearing, CTaskbarNotifier::Waiting,
                                  CTaskbarNotifier::Disappearing, CTaskbarNotifier::Hidden};
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(changes.at(i).first, order.at(i));
        // The wait lasts its full time; a loaded machine may only make it longer. The slack is
        // the timers' own millisecond rounding.
        const qint64 waited = changes.at(2).second - changes.at(1).second;
        QVERIFY2(waited >= 298, qPrintable(QString::number(waited)));
    }

    void qObjectTimersStillReachTheNotifier() {
        // QObject's own timers still reach the window and leave the slide alone.
        CTaskbarNotifier n;
        QVERIFY(n.SetSkin(skin(), 255, 255, 255));
        struct TimerWatch : QObject {
            int id = 0;
            int fired = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Timer && static_cast<QTimerEvent*>(e)->timerId() == id)
                    ++fired;
                return false;
            }
        } watch;
        n.installEventFilter(&watch);
        watch.id = n.startTimer(5);
        QVERIFY(watch.id > 0);
        QTRY_VERIFY(watch.fired >= 2);
        n.killTimer(watch.id);
        QCOMPARE(n.state(), CTaskbarNotifier::Hidden);
        for (int id = CTaskbarNotifier::AppearTimer; id <= CTaskbarNotifier::DisappearTimer; ++id)
            QVERIFY(!n.isTimerRunning(id));
        QVERIFY(!n.isVisible());
    }
};

TARVEX_TEST_MAIN(TestNotifier)
#include "tst_notifier.moc"
