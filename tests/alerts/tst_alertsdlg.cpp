// The Alerts window from its command: the list with its columns, newest first, growing while
// open, reachable from the keyboard and named for assistive technology.
#include "alertengine.h"
#include "alertlistmodel.h"
#include "alertscommand.h"
#include "alertsdlg.h"
#include "cmdui.h"
#include "resourceids.h"
#include "testworld.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

class TestAlertsDlg : public QObject {
    Q_OBJECT
private slots:
    void theCommandShowsTheListOverItsOwner() {
        QWidget frame;
        frame.show();
        CAlertListModel list;
        CAlertEngine engine;
        QObject::connect(&engine, &CAlertEngine::raised, &list, &CAlertListModel::add);
        engine.setControllerIds([](int) { return 7; });
        engine.controllerLost(3, QStringLiteral("no such device"));

        CAlertsCommand command(list, [&frame]() -> QWidget* { return &frame; });
        CCmdUI ui(res::ID_VIEW_ALERTS);
        QVERIFY(command.OnUpdateCommand(res::ID_VIEW_ALERTS, ui));
        QVERIFY(ui.enabled());
        QVERIFY(!command.OnCommand(res::ID_VIEW_SETTINGS));
        QVERIFY(command.OnCommand(res::ID_VIEW_ALERTS));
        CAlertsDlg* dlg = command.dialog();
        QVERIFY(dlg);
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Alerts"));
        QCOMPARE(dlg->parentWidget(), &frame);
        QTableView* view = dlg->list();
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(view->model()->index(0, 1).data().toString(), QStringLiteral("COM3 (ID 7)"));
        QCOMPARE(view->model()->index(0, 2).data().toString(), QStringLiteral("COM3 is lost"));
        QCOMPARE(dlg->countLabel()->text(), QStringLiteral("1 alerts since the start"));

        // Keyboard and assistive technology: the label leads to the list, which has a name and
        // its place on the newest alert.
        QCOMPARE(view->accessibleName(), QStringLiteral("Alerts so far"));
        const auto labels = dlg->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [view](QLabel* l) { return l->buddy() == view; }));
        QCOMPARE(view->currentIndex().row(), 0);
        QVERIFY(view->focusPolicy() & Qt::TabFocus);
        auto* close = dlg->findChild<QPushButton*>(QStringLiteral("Close"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("Close"));

        // Alerts that come while it is open appear at the top.
        engine.controllerBack(3);
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(view->model()->index(0, 2).data().toString(), QStringLiteral("COM3 is back"));
        QCOMPARE(dlg->countLabel()->text(), QStringLiteral("2 alerts since the start"));

        // Escape hides it; the command brings the same window back.
        QTest::keyClick(dlg, Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QVERIFY(command.OnCommand(res::ID_VIEW_ALERTS));
        QCOMPARE(command.dialog(), dlg);
        QVERIFY(dlg->isVisible());
    }

    void aNewMainWindowGetsANewWindow() {
        CAlertListModel list;
        auto frame = std::make_unique<QWidget>();
        QWidget* owner = frame.get();
        CAlertsCommand command(list, [&owner]() -> QWidget* { return owner; });
        QVERIFY(command.OnCommand(res::ID_VIEW_ALERTS));
        QVERIFY(command.dialog());
        // The window goes with its main window.
        frame.reset();
        owner = nullptr;
        QVERIFY(!command.dialog());
        QWidget second;
        owner = &second;
        QVERIFY(command.OnCommand(res::ID_VIEW_ALERTS));
        QCOMPARE(command.dialog()->parentWidget(), &second);
    }
};

TARVEX_TEST_MAIN(TestAlertsDlg)
#include "tst_alertsdlg.moc"
