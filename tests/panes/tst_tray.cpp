#include "testworld.h"

#include "commandmanager.h"
#include "mainframetray.h"
#include "resourceids.h"
#include "systemtray.h"
#include "taskbarnotifier.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

namespace {
QIcon trayIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::blue);
    return QIcon(pm);
}
} // namespace

class TestTray : public QObject {
    Q_OBJECT
private slots:
    void menuWithBoldDefaultItem() {
        QMainWindow win;
        CCommandManager commands(&win);
        CSystemTray tray;
        tray.setCommandManager(&commands);
        tray.setTrayProbe([] { return true; });
        QVERIFY(tray.Create(&win, "Tarvex", trayIcon(), res::IDR_MENU_TRAY));
        QVERIFY(tray.isShown());
        QCOMPARE(tray.toolTip(), QString("Tarvex"));
        QVERIFY(tray.SetMenuDefaultItem(res::ID_RESTORE_MAIN, false));
        QCOMPARE(tray.defaultCommand(), res::ID_RESTORE_MAIN);
        QMenu* menu = tray.menu();
        QVERIFY(menu);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(texts, QStringList({"&About Tarvex...", "-", "&Restore main window", "A&lerts...",
                                     "-", "E&xit"}));
        QVERIFY(menu->defaultAction());
        QCOMPARE(menu->defaultAction()->data().toInt(), res::ID_RESTORE_MAIN);
        // Setting the same default again changes nothing.
        QVERIFY(tray.SetMenuDefaultItem(res::ID_RESTORE_MAIN, false));
        QCOMPARE(tray.menu(), menu);
        // By position: item 2 of the popup is the same command.
        QVERIFY(tray.SetMenuDefaultItem(2, true));
        QCOMPARE(tray.defaultCommand(), res::ID_RESTORE_MAIN);
    }

    void doubleClickPostsTheDefaultCommand() {
        QMainWindow win;
        CSystemTray tray;
        tray.setTrayProbe([] { return true; });
        tray.Create(&win, "Tarvex", trayIcon(), res::IDR_MENU_TRAY);
        tray.SetMenuDefaultItem(res::ID_RESTORE_MAIN, false);
        QSignalSpy spy(&tray, &CSystemTray::commandPosted);
        QCOMPARE(tray.OnTrayNotification(99, QSystemTrayIcon::DoubleClick), 0);
        QCOMPARE(tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Trigger), 1);
        QCOMPARE(tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::DoubleClick), 1);
        QCOMPARE(spy.count(), 0); // posted, not sent
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), res::ID_RESTORE_MAIN);
    }

    void singleClickRunsTheDefaultCommandOnce() {
        QMainWindow win;
        CSystemTray tray;
        tray.setTrayProbe([] { return true; });
        tray.Create(&win, "Tarvex", trayIcon(), res::IDR_MENU_TRAY);
        tray.SetMenuDefaultItem(res::ID_RESTORE_MAIN, false);
        QSignalSpy spy(&tray, &CSystemTray::commandPosted);
        const int wait = QApplication::doubleClickInterval();

        // A tray that reports single clicks only: the click runs the command, once the
        // double-click time has passed.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Trigger), 1);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, wait + 5000);
        QVERIFY2(clock.elapsed() >= wait - 20, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(spy.at(0).at(0).toInt(), res::ID_RESTORE_MAIN);
        // Two quick clicks (one double click on such a tray): still once.
        spy.clear();
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Trigger);
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Trigger);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, wait + 5000);

        // A tray that reports both: click, then double click runs it once, not twice.
        spy.clear();
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Trigger);
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::DoubleClick);
        QTRY_COMPARE(spy.count(), 1);
        QTest::qWait(wait + 300);
        QCOMPARE(spy.count(), 1);
        // Middle clicks and the context menu run nothing.
        spy.clear();
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::MiddleClick);
        tray.OnTrayNotification(res::IDR_MENU_TRAY, QSystemTrayIcon::Context);
        QTest::qWait(wait + 300);
        QCOMPARE(spy.count(), 0);
    }

    void iconComesBackWithTheNotificationArea() {
        QMainWindow win;
        bool available = false;
        CSystemTray tray;
        tray.setTrayProbe([&] { return available; });
        QVERIFY(!tray.Create(&win, "Tarvex", trayIcon(), res::IDR_MENU_TRAY));
        QVERIFY(!tray.isShown());
        QVERIFY(tray.isPending());
        tray.setProbeInterval(20);
        QTest::qWait(60);
        QVERIFY(!tray.isShown());
        available = true;
        QTRY_VERIFY(tray.isShown());
        QVERIFY(!tray.isPending());
        // The area goes away and comes back (a shell restart): the icon is added again.
        available = false;
        QTRY_VERIFY(!tray.isShown());
        available = true;
        QTRY_VERIFY(tray.isShown());
        // An icon asked to stay hidden is not added by a work-area change.
        CSystemTray hidden;
        hidden.setTrayProbe([] { return true; });
        hidden.Create(&win, "Tarvex", trayIcon(), res::IDR_MENU_TRAY, true);
        hidden.OnWorkAreaChanged();
        QVERIFY(!hidden.isShown());
    }

    void closeBoxHidesIntoTheTray() {
        QMainWindow win;
        CCommandManager commands(&win);
        auto* hook = new CMainFrameTray(&win, &commands);
        QVERIFY(hook->notifier()->parent() == nullptr);
        QCOMPARE(hook->tray()->toolTip(), QString("Tarvex"));
        QCOMPARE(hook->tray()->defaultCommand(), res::ID_RESTORE_MAIN);
        QCOMPARE(hook->notifier()->skinSize(), QSize(100, 70));
        QCOMPARE(hook->notifier()->textRect(), QRect(8, 20, 84, 42));
        hook->notifier()->setManualTimers(true);
        win.show();

        // The offscreen platform has no notification area: closing only minimises.
        QVERIFY(!hook->tray()->isShown());
        hook->OnCloseBox();
        win.showMinimized(); // what the frame does after announcing the close box
        QCoreApplication::processEvents();
        QCOMPARE(hook->notifier()->text(), QString("Tarvex is still active"));
        QVERIFY(hook->notifier()->isTimerRunning(CTaskbarNotifier::AppearTimer));
        QCOMPARE(hook->notifier()->showStep(), 2u);
        QVERIFY(win.isVisible());
        QVERIFY(win.isMinimized());

        // With a notification area the window goes there.
        win.showNormal();
        hook->tray()->setTrayProbe([] { return true; });
        hook->tray()->OnTaskbarCreated();
        QVERIFY(hook->tray()->isShown());
        hook->OnCloseBox();
        win.showMinimized();
        QTRY_VERIFY(!win.isVisible());
        QVERIFY(win.isMinimized());

        // The program minimising its window by itself does not hide it.
        win.showNormal();
        win.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(win.isVisible());

        // The user minimising it (a state change coming from the window system) does.
        QWindowStateChangeEvent userMinimise(Qt::WindowNoState);
        QSpontaneKeyEvent::setSpontaneous(&userMinimise);
        QApplication::sendEvent(&win, &userMinimise);
        QTRY_VERIFY(!win.isVisible());
        QVERIFY(win.isMinimized());
    }
};

TARVEX_TEST_MAIN(TestTray)
#include "tst_tray.moc"
