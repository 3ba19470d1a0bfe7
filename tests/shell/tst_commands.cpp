// The command table, menus, toolbar, shortcuts and context menus against the design, and the
// routing and update pass of the command manager.
#include "catalogue.h"
#include "commandmanager.h"
#include "mainframe.h"
#include "splashdlg.h"
#include "testworld.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <set>

namespace {
struct Row {
    int id;
    const char* text;
    const char* prompt;
    const char* tip;
};
// id, menu text, prompt, tooltip
const Row kTable[] = {
    {57600, "&New", "Create a new document", "New"},
    {57601, "&Open...", "Open an existing document", "Open"},
    {57603, "&Save", "Save the active document", "Save"},
    {57604, "Save &As...", "Save the active document with a new name", "Save As"},
    {32800, "Import employees from &txt file", "Import employees from txt file",
     "Import from txt file"},
    {32801, "Import employees from &database", "Import employees from database",
     "Import employees from database"},
    {57616, "Recent files", "Open this document", nullptr},
    {57665, "E&xit", "Quit the application; prompts to save documents", "Exit"},
    {59392, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
    {59393, "&Status bar", "Show or hide the status bar", "Toggle StatusBar"},
    {32802, "&Photograph", "Toggle photograph", "Toggle photograph"},
    {32795, "Settings...", "Settings", "Settings"},
    {32806, "Languages...", "Languages", "Languages"},
    {32774, "&Add new employee...", "Add new employee", "New employee"},
    {32799, "&Edit employee...", "Edit selected employee", "Edit employee"},
    {32775, "&Delete selected employees", "Delete selected employees", "Delete employees"},
    {32771, "Select &all employees", "Select all employees", "Select all employees"},
    {32772, "Select employees in &controller", "Select employees in controller",
     "Select employees in controller"},
    {32773, "Select employees &not in controller", "Select employees not in controller",
     "Select employees not in controller"},
    {32792, "Write to ID table", "Write selected employees to ID table", "Write to ID table"},
    {32787, "&Write master", "Write master", "Write master"},
    {32796, "Copy MediaID to clipboard", "Copy MediaID to clipboard", "Copy"},
    {32776, "&Add new controller...", "Add new controller", "New controller"},
    {32807, "Edit controller...", "Edit selected controller", "Edit controller"},
    {32777, "&Delete selected controller", "Delete selected controller", "Delete controller"},
    {32785, "&Firmware", "Read firmware", "Firmware"},
    {32791, "Read &ID table", "Read ID table", "Read ID table"},
    {32786, "Read &master", "Read master", "Read master"},
    {32789, "Read &parameters", "Read parameters", "Read parameters"},
    {32790, "Write p&arameters", "Write parameters", "Write parameters"},
    {32793, "Remove from ID table", "Remove from ID table", "Remove from ID table"},
    {32794, "Clear ID table", "Clear ID table", "Clear ID table"},
    {32797, "Select employees not in database", "Select employees not in database",
     "Select employees not in database"},
    {32798, "Copy to database", "Copy selected employees to database", "Copy to database"},
    {32788, "&Open lock", "Open lock", "Open lock"},
    {32804, "Clear list", "Clear registrations", "Clear registrations"},
    {32805, "&Restore main window", "Restore main window", "Restore main window"},
    {57664, "&About Tarvex...", nullptr, nullptr},
};

// A menu as text: items by id and text, "-" for separators, ">" for a submenu.
QStringList describe(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QStringLiteral(">") + a->text() + QStringLiteral("(") +
                       describe(a->menu()).join(QLatin1Char(',')) + QStringLiteral(")");
        else if (a->isVisible())
            out << QString::number(a->data().toInt()) + QLatin1Char(':') + a->text();
    }
    return out;
}

QStringList controllersMenu() {
    return {"32776:&Add new controller...",
            "32807:Edit controller...",
            "32777:&Delete selected controller",
            "-",
            "32785:&Firmware",
            "-",
            "32791:Read &ID table",
            "32786:Read &master",
            "32789:Read &parameters",
            "-",
            "32792:Write to ID &table",
            "32787:&Write master",
            "32790:Write p&arameters",
            "-",
            "32793:Remove from ID table",
            "32794:Clear ID table",
            "-",
            "32797:Select employees not in database",
            "32798:Copy to database",
            "-",
            "32788:&Open lock"};
}

// A target that records what reaches it.
class Target : public ICommandTarget {
public:
    std::set<int> handles;
    std::set<int> disabled;
    std::set<int> checked;
    QList<int> carried;
    bool OnCommand(int id) override {
        if (!handles.count(id))
            return false;
        carried << id;
        return true;
    }
    bool OnUpdateCommand(int id, CCmdUI& ui) override {
        if (!handles.count(id))
            return false;
        ui.Enable(!disabled.count(id));
        ui.SetCheck(checked.count(id) > 0);
        return true;
    }
};

class Pane : public QWidget, public Target {
public:
    explicit Pane(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
};
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void everyCommandCarriesItsTexts() {
        QWidget owner;
        CCommandManager commands(&owner);
        for (const Row& row : kTable) {
            QAction* a = commands.action(row.id);
            QVERIFY2(a, qPrintable(QString::number(row.id)));
            QCOMPARE(a->data().toInt(), row.id);
            QCOMPARE(a->text(), QString::fromUtf8(row.text));
            if (row.prompt)
                QCOMPARE(a->statusTip(), QString::fromUtf8(row.prompt));
            if (row.tip)
                QCOMPARE(a->toolTip(), QString::fromUtf8(row.tip));
            // The string of the command: prompt, newline, tooltip.
            if (row.prompt && row.tip)
                QCOMPARE(S(row.id), QString::fromUtf8(row.prompt) + QLatin1Char('\n') +
                                        QString::fromUtf8(row.tip));
        }
        QCOMPARE(S(57616), QStringLiteral("Open this document"));
    }

    void catalogueHoldsTheNamedStrings() {
        const CCatalogue& cat = CCatalogue::instance();
        for (int id : {105, 128, 129, 130, 131, 132, 136, 137, 141, 142, 143, 144,  145,
                       146, 147, 150, 151, 152, 153, 154, 155, 156, 157, 158, 159,  160,
                       168, 169, 170, 171, 172, 173, 174, 175, 180, 181, 182, 183,  189,
                       190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200, 57344})
            QVERIFY2(!cat.string(id).isEmpty(), qPrintable(QString::number(id)));
        QCOMPARE(S(153), QStringLiteral("Error %d"));
        QCOMPARE(S(170), QStringLiteral("Total found: %d\nImported: %d"));
        QCOMPARE(S(57344), QStringLiteral("Tarvex"));
        const QStringList fields = {"Tarvex",         "New",
                                    "Tarvex",         "Tarvex Files (*.VR-12)",
                                    ".VR-12",         "Tarvex.Document",
                                    "Tarvex Document"};
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(cat.documentString(i), fields[i]);
        // Pictures the program shows exist in the built-in set.
        QCOMPARE(cat.image(103).size(), QSize(430, 300));
        QCOMPARE(cat.image(145).size(), QSize(100, 70));
        QCOMPARE(cat.image(154).size(), QSize(16, 16));
        QCOMPARE(cat.image(153).size(), QSize(16, 16));
        QVERIFY(!cat.image(128).isNull() && !cat.image(157).isNull() && !cat.image(159).isNull());
        QVERIFY(cat.image(4242).isNull());
        QVERIFY(!cat.hasMenu(4242));
    }

    void mainMenuInOrder() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        const QList<QAction*> tops = frame.menuBar()->actions();
        QStringList titles;
        for (QAction* a : tops)
            titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&View", "&Employees", "&Controllers", "&Help"}));
        QCOMPARE(
            describe(tops[0]->menu()),
            QStringList({"57600:&New", "57601:&Open...", "57603:&Save", "57604:Save &As...", "-",
                         ">Import(32800:Import employees from &txt file,32801:Import employees "
                         "from &database)",
                         "-", "57616:Recent files", "-", "57665:E&xit"}));
        QCOMPARE(describe(tops[1]->menu()),
                 QStringList({"59392:&Toolbar", "59393:&Status bar", "-", "32802:&Photograph", "-",
                              "32795:Settings...", "-", "32806:Languages..."}));
        QCOMPARE(describe(tops[2]->menu()),
                 QStringList(
                     {"32774:&Add new employee...", "32799:&Edit employee...",
                      "32775:&Delete selected employees", "-", "32771:Select &all employees",
                      "32772:Select employees in &controller",
                      "32773:Select employees &not in controller", "-", "32792:Write to ID table",
                      "-", "32787:&Write master", "-", "32796:Copy MediaID to clipboard"}));
        QCOMPARE(describe(tops[3]->menu()), controllersMenu());
        QCOMPARE(describe(tops[4]->menu()), QStringList({"57664:&About Tarvex..."}));
        // One command in two menus.
        QAction* inEmployees = tops[2]->menu()->actions().at(8);
        QAction* inControllers = tops[3]->menu()->actions().at(10);
        QCOMPARE(inEmployees->data().toInt(), 32792);
        QCOMPARE(inControllers->data().toInt(), 32792);
        QCOMPARE(inControllers->statusTip(), inEmployees->statusTip());
    }

    void toolbarShortcutsAndPictures() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        QStringList order;
        for (QAction* a : frame.toolBar()->actions())
            order << (a->isSeparator() ? QStringLiteral("|") : QString::number(a->data().toInt()));
        QCOMPARE(
            order.join(QLatin1Char(' ')),
            QStringLiteral(
                "57600 | 57601 57603 | 32774 32799 32775 | 32771 32772 32773 | 32776 32807 32777 | "
                "32785 | 32791 32786 32789 | 32792 32787 32790 | 32793 32794 | 32797 32798 | 32788 "
                "| 57664"));
        QCOMPARE(frame.toolBar()->windowTitle(), QStringLiteral("ToolBar"));
        // The strip: 16 by 16 per button, magenta transparent; menu items show the same picture.
        const QImage strip = CCatalogue::instance().image(131);
        QCOMPARE(strip.size(), QSize(16 * 25, 16));
        QCOMPARE(strip.pixel(0, 0), qRgb(255, 0, 255));
        const QImage newIcon =
            frame.commands().action(57600)->icon().pixmap(16, 16).toImage().convertToFormat(
                QImage::Format_ARGB32);
        QCOMPARE(qAlpha(newIcon.pixel(0, 0)), 0);
        QVERIFY(qAlpha(newIcon.pixel(8, 8)) > 0);
        for (int id : {57600, 32788, 57664, 32792})
            QVERIFY(!frame.commands().action(id)->icon().isNull());

        const std::pair<int, QKeySequence> keys[] = {{32771, QKeySequence(Qt::CTRL | Qt::Key_A)},
                                                     {32796, QKeySequence(Qt::CTRL | Qt::Key_C)},
                                                     {32773, QKeySequence(Qt::CTRL | Qt::Key_N)},
                                                     {32772, QKeySequence(Qt::CTRL | Qt::Key_T)},
                                                     {57680, QKeySequence(Qt::Key_F6)},
                                                     {57681, QKeySequence(Qt::SHIFT | Qt::Key_F6)}};
        for (const auto& [id, key] : keys)
            QCOMPARE(frame.commands().action(id)->shortcut(), key);
        QVERIFY(frame.commands().action(57600)->shortcut().isEmpty());
    }

    void contextAndTrayMenus() {
        QWidget owner;
        CCommandManager commands(&owner);
        auto describeResource = [&](int id) {
            std::unique_ptr<QMenu> menu(commands.createPopup(id, 0, &owner));
            return menu ? describe(menu.get()) : QStringList({"missing"});
        };
        QCOMPARE(describeResource(133),
                 QStringList(
                     {"32774:&Add new employee...", "32799:&Edit employee...",
                      "32775:&Delete selected employees", "-", "32771:Select &all employees",
                      "32772:Select employees in &controller",
                      "32773:Select employees &not in controller", "-", "32792:Write to ID &table",
                      "-", "32787:&Write master", "-", "32796:Copy MediaID to clipboard"}));
        QCOMPARE(describeResource(134), controllersMenu());
        QCOMPARE(describeResource(147),
                 QStringList({"32793:Remove from ID table", "32794:Clear ID table", "-",
                              "32797:Select employees not in database", "32798:Copy to database",
                              "-", "32796:Copy MediaID to clipboard"}));
        QCOMPARE(describeResource(152),
                 QStringList({"32804:Clear list", "-", "32796:Copy MediaID to clipboard"}));
        QCOMPARE(describeResource(155),
                 QStringList({"57664:&About Tarvex...", "-", "32805:&Restore main window", "-",
                              "57665:E&xit"}));
        QCOMPARE(describeResource(183), QStringList({"32803:&Close"}));
    }

    void routingGoesPaneDocumentFrameApplication() {
        QWidget owner;
        auto* pane = new Pane(&owner);
        auto* other = new QWidget(&owner);
        other->setFocusPolicy(Qt::StrongFocus);
        CCommandManager commands(&owner);
        Target document, frame, application;
        commands.setDocumentTarget(&document);
        commands.setFrameTarget(&frame);
        commands.setApplicationTarget(&application);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        owner.activateWindow();

        pane->handles = {32796};
        document.handles = {32796, 32774};
        frame.handles = {32774, 59392};
        application.handles = {57664, 59392};
        pane->disabled = {};
        pane->setFocus();
        QTRY_COMPARE(owner.focusWidget(), pane);

        // The focused pane first.
        QVERIFY(commands.execute(32796));
        QCOMPARE(pane->carried, QList<int>({32796}));
        QVERIFY(document.carried.isEmpty());
        // Then the document before the frame, the frame before the application.
        QVERIFY(commands.execute(32774));
        QCOMPARE(document.carried, QList<int>({32774}));
        QVERIFY(commands.execute(59392));
        QCOMPARE(frame.carried, QList<int>({59392}));
        QVERIFY(application.carried.isEmpty());
        // Without the focus on the pane, the document takes it.
        other->setFocus();
        QTRY_COMPARE(owner.focusWidget(), other);
        QVERIFY(commands.execute(32796));
        QCOMPARE(document.carried, QList<int>({32774, 32796}));
        // Nobody handles it: disabled, and nothing runs.
        QVERIFY(!commands.query(32788).enabled());
        QVERIFY(!commands.execute(32788));
        // A disabled command is not carried out even when a shortcut or a stale menu asks.
        document.disabled = {32774};
        QVERIFY(!commands.execute(32774));
        QCOMPARE(document.carried.size(), 2);
    }

    void updatePassSetsEveryCopy() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        Target document;
        frame.commands().setDocumentTarget(&document);
        document.handles = {32792, 32793, 32787, 59393};
        document.disabled = {32793};
        document.checked = {59393};
        frame.commands().updateAll();
        QMenu* controllers = frame.menuBar()->actions().at(3)->menu();
        QAction* copy = controllers->actions().at(10);
        QCOMPARE(copy->data().toInt(), 32792);
        QVERIFY(copy->isEnabled());
        QVERIFY(frame.commands().action(32792)->isEnabled());
        QVERIFY(!frame.commands().action(32793)->isEnabled());
        QVERIFY(!frame.commands().action(32788)->isEnabled());
        // Context menus show disabled items where the main menu does.
        std::unique_ptr<QMenu> context(frame.commands().createPopup(134, 0, &frame));
        frame.commands().updateAll();
        for (int i = 0; i < controllers->actions().size(); ++i) {
            QAction* a = controllers->actions().at(i);
            QAction* b = context->actions().at(i);
            QCOMPARE(b->data(), a->data());
            QCOMPARE(b->isEnabled(), a->isEnabled());
        }
        // The document's answer wins over the frame's own.
        QVERIFY(frame.commands().action(59393)->isChecked());
        document.handles.erase(59393);
        frame.commands().updateAll();
        QCOMPARE(frame.commands().action(59393)->isChecked(),
                 frame.statusBar()->isVisibleTo(&frame));
        frame.commands().setDocumentTarget(nullptr);
    }

    void nextPaneAndRestore() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.activateWindow();
        QList<QWidget*> visited;
        for (int i = 0; i < 8; ++i) {
            QVERIFY(frame.commands().execute(57680));
            visited << frame.focusWidget();
        }
        const QSet<QWidget*> distinct(visited.begin(), visited.end());
        QVERIFY(distinct.size() >= 2);
        for (QWidget* w : distinct)
            QVERIFY(frame.panes()->isAncestorOf(w));
        // Shift+F6 goes back the same way.
        QWidget* here = frame.focusWidget();
        QVERIFY(frame.commands().execute(57680));
        QVERIFY(frame.commands().execute(57681));
        QCOMPARE(frame.focusWidget(), here);

        frame.showMaximized();
        frame.showMinimized();
        QVERIFY(frame.isMinimized());
        QVERIFY(frame.commands().execute(32805));
        QVERIFY(!frame.isMinimized());
        QVERIFY(frame.isMaximized());
        QVERIFY(frame.isVisible());
    }

    void splashHidesAfterOneSecond() {
        CSplashDlg splash;
        QCOMPARE(splash.size(), QSize(430, 300));
        QVERIFY(splash.statusText().isEmpty());
        splash.showCentred();
        splash.SetStatusText(142);
        QCOMPARE(splash.statusText(), QStringLiteral("OK"));
        auto* status = splash.findChild<QLabel*>(QStringLiteral("status1034"));
        QVERIFY(status);
        QCOMPARE(status->palette().color(QPalette::Window), QColor(204, 151, 84));
        QElapsedTimer clock;
        qint64 hiddenAt = -1;
        struct HideWatch : QObject {
            QElapsedTimer* clock;
            qint64* at;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Hide && *at < 0)
                    *at = clock->elapsed();
                return false;
            }
        } watch;
        watch.clock = &clock;
        watch.at = &hiddenAt;
        splash.installEventFilter(&watch);
        clock.start();
        splash.startHideTimer();
        QTRY_VERIFY_WITH_TIMEOUT(hiddenAt >= 0, 10000);
        QVERIFY2(hiddenAt >= 1000, qPrintable(QString::number(hiddenAt)));
        QVERIFY2(hiddenAt < 6000, qPrintable(QString::number(hiddenAt)));
        // Hidden, not destroyed: it shows again at exit.
        splash.SetStatusText(192);
        splash.showCentred();
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.statusHistory(), QStringList({"OK", "Tarvex is closing. Please wait..."}));
    }

    void frameCommandsAndStatusPrompt() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.idleLabel()->text(), QStringLiteral("Ready"));
        frame.commands().updateAll();
        QVERIFY(frame.commands().action(59392)->isChecked());
        QVERIFY(frame.commands().execute(59392));
        QVERIFY(!frame.toolBar()->isVisible());
        QVERIFY(!frame.commands().action(59392)->isChecked());
        QVERIFY(frame.commands().execute(59393));
        QVERIFY(!frame.statusBar()->isVisible());
        QVERIFY(frame.commands().execute(59393));
        QVERIFY(frame.statusBar()->isVisible());
        // A command's prompt replaces "Ready" while it is pointed at.
        QVERIFY(frame.commands().action(57600)->showStatusText(frame.toolBar()));
        QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Create a new document"));
        frame.statusBar()->clearMessage();
        QVERIFY(frame.idleLabel()->isVisible());
        // Recent files: the placeholder is shown while the list is empty.
        frame.setRecentFiles({QStringLiteral("/a/one.VR-12"), QStringLiteral("/b/R&D.VR-12")});
        QMenu* file = frame.menuBar()->actions().at(0)->menu();
        QStringList d = describe(file);
        QCOMPARE(d.mid(7, 2), QStringList({"57616:&1 /a/one.VR-12", "57617:&2 /b/R&&D.VR-12"}));
        QCOMPARE(d.at(9), QStringLiteral("-"));
        frame.setRecentFiles({});
        QCOMPARE(describe(file).at(7), QStringLiteral("57616:Recent files"));
        QCOMPARE(describe(file).at(8), QStringLiteral("-"));
    }
};

TARVEX_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
