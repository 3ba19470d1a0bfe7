// The command table, menus, toolbar, shortcuts and context menus against the design, and the
// routing and update pass of the command manager.
#include "catalogue.h"
#include "commandmanager.h"
#include "mainframe.h"
#include "resourceids.h"
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

using namespace res;

namespace {
struct Row {
    int id;
    const char* text;
    const char* prompt;
    const char* tip;
};
// id, menu text, prompt, tooltip
const Row kTable[] = {
    {ID_FILE_NEW, "&New", "Create a new document", "New"},
    {ID_FILE_OPEN, "&Open...", "Open an existing document", "Open"},
    {ID_FILE_SAVE, "&Save", "Save the active document", "Save"},
    {ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name", "Save As"},
    {ID_FILE_IMPORT_TXT, "Import employees from &txt file", "Import employees from txt file",
     "Import from txt file"},
    {ID_FILE_IMPORT_DB, "Import employees from &database", "Import employees from database",
     "Import employees from database"},
    {ID_FILE_MRU_FILE1, "Recent files", "Open this document", nullptr},
    {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents", "Exit"},
    {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "&Status bar", "Show or hide the status bar", "Toggle StatusBar"},
    {ID_VIEW_PHOTO, "&Photograph", "Toggle photograph", "Toggle photograph"},
    {ID_VIEW_HISTORY, "Registrations &history...", "Search the registrations of every monthly file",
     "Registrations history"},
    {ID_VIEW_ALERTS, "&Alerts...", "Shows the alerts so far", "Alerts"},
    {ID_VIEW_SETTINGS, "Settings...", "Settings", "Settings"},
    {ID_VIEW_LANGUAGES, "Languages...", "Languages", "Languages"},
    {ID_EMP_ADD, "&Add new employee...", "Add new employee", "New employee"},
    {ID_EMP_EDIT, "&Edit employee...", "Edit selected employee", "Edit employee"},
    {ID_EMP_DELETE, "&Delete selected employees", "Delete selected employees", "Delete employees"},
    {ID_EMP_SELECTALL, "Select &all employees", "Select all employees", "Select all employees"},
    {ID_EMP_SELECTIN, "Select employees in &controller", "Select employees in controller",
     "Select employees in controller"},
    {ID_EMP_SELECTNOTIN, "Select employees &not in controller",
     "Select employees not in controller", "Select employees not in controller"},
    {ID_TERM_WRITEIDTABLE, "Write to ID table", "Write selected employees to ID table",
     "Write to ID table"},
    {ID_TERM_WRITEMASTER, "&Write master", "Write master", "Write master"},
    {ID_COPY_MEDIAID, "Copy MediaID to clipboard", "Copy MediaID to clipboard", "Copy"},
    {ID_TERM_ADD, "&Add new controller...", "Add new controller", "New controller"},
    {ID_TERM_EDIT, "Edit controller...", "Edit selected controller", "Edit controller"},
    {ID_TERM_DELETE, "&Delete selected controller", "Delete selected controller",
     "Delete controller"},
    {ID_TERM_FIRMWARE, "&Firmware", "Read firmware", "Firmware"},
    {ID_TERM_READIDTABLE, "Read &ID table", "Read ID table", "Read ID table"},
    {ID_TERM_READMASTER, "Read &master", "Read master", "Read master"},
    {ID_TERM_READPARAMS, "Read &parameters", "Read parameters", "Read parameters"},
    {ID_TERM_WRITEPARAMS, "Write p&arameters", "Write parameters", "Write parameters"},
    {ID_TERM_REMOVEIDTABLE, "Remove from ID table", "Remove from ID table", "Remove from ID table"},
    {ID_TERM_CLEARIDTABLE, "Clear ID table", "Clear ID table", "Clear ID table"},
    {ID_TERM_SELNOTINDB, "Select employees not in database", "Select employees not in database",
     "Select employees not in database"},
    {ID_TERM_COPYTODB, "Copy to database", "Copy selected employees to database",
     "Copy to database"},
    {ID_TERM_OPENLOCK, "&Open lock", "Open lock", "Open lock"},
    {ID_REG_CLEAR, "Clear list", "Clear registrations", "Clear registrations"},
    {ID_EMP_ENROL, "En&rol keys and cards...",
     "List new keys and cards as they are presented and add them as employees",
     "Enrol keys and cards"},
    {ID_REG_ADDEMPLOYEE, "Add as empl&oyee...",
     "Add the selected registration's medium as an employee", "Add as employee"},
    {ID_RESTORE_MAIN, "&Restore main window", "Restore main window", "Restore main window"},
    {ID_APP_ABOUT, "&About Tarvex...", nullptr, nullptr},
};

// A menu as text: items by id and text, "-" for separators, ">" for a submenu.
QString item(int id, const char* text) {
    return QString::number(id) + QLatin1Char(':') + QString::fromUtf8(text);
}

QString submenu(const QString& text, const QStringList& items) {
    return QStringLiteral(">") + text + QStringLiteral("(") + items.join(QLatin1Char(',')) +
           QStringLiteral(")");
}

QStringList describe(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << submenu(a->text(), describe(a->menu()));
        else if (a->isVisible())
            out << QString::number(a->data().toInt()) + QLatin1Char(':') + a->text();
    }
    return out;
}

QStringList controllersMenu() {
    return {item(ID_TERM_ADD, "&Add new controller..."),
            item(ID_TERM_EDIT, "Edit controller..."),
            item(ID_TERM_DELETE, "&Delete selected controller"),
            "-",
            item(ID_TERM_FIRMWARE, "&Firmware"),
            "-",
            item(ID_TERM_READIDTABLE, "Read &ID table"),
            item(ID_TERM_READMASTER, "Read &master"),
            item(ID_TERM_READPARAMS, "Read &parameters"),
            "-",
            item(ID_TERM_WRITEIDTABLE, "Write to ID &table"),
            item(ID_TERM_WRITEMASTER, "&Write master"),
            item(ID_TERM_WRITEPARAMS, "Write p&arameters"),
            "-",
            item(ID_TERM_REMOVEIDTABLE, "Remove from ID table"),
            item(ID_TERM_CLEARIDTABLE, "Clear ID table"),
            "-",
            item(ID_TERM_SELNOTINDB, "Select employees not in database"),
            item(ID_TERM_COPYTODB, "Copy to database"),
            "-",
            item(ID_TERM_OPENLOCK, "&Open lock")};
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
        QCOMPARE(S(ID_FILE_MRU_FILE1), QStringLiteral("Open this document"));
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
            QStringList(
                {item(ID_FILE_NEW, "&New"), item(ID_FILE_OPEN, "&Open..."),
                 item(ID_FILE_SAVE, "&Save"), item(ID_FILE_SAVE_AS, "Save &As..."), "-",
                 submenu("Import", {item(ID_FILE_IMPORT_TXT, "Import employees from &txt file"),
                                    item(ID_FILE_IMPORT_DB, "Import employees from &database")}),
                 "-", item(ID_FILE_MRU_FILE1, "Recent files"), "-", item(ID_APP_EXIT, "E&xit")}));
        QCOMPARE(
            describe(tops[1]->menu()),
            QStringList({item(ID_VIEW_TOOLBAR, "&Toolbar"), item(ID_VIEW_STATUS_BAR, "&Status bar"),
                         "-", item(ID_VIEW_PHOTO, "&Photograph"),
                         item(ID_VIEW_HISTORY, "Registrations &history..."),
                         item(ID_VIEW_ALERTS, "&Alerts..."), "-",
                         item(ID_VIEW_SETTINGS, "Settings..."), "-",
                         item(ID_VIEW_LANGUAGES, "Languages...")}));
        QCOMPARE(describe(tops[2]->menu()),
                 QStringList({item(ID_EMP_ADD, "&Add new employee..."),
                              item(ID_EMP_EDIT, "&Edit employee..."),
                              item(ID_EMP_DELETE, "&Delete selected employees"), "-",
                              item(ID_EMP_ENROL, "En&rol keys and cards..."),
                              item(ID_REG_ADDEMPLOYEE, "Add as empl&oyee..."), "-",
                              item(ID_EMP_SELECTALL, "Select &all employees"),
                              item(ID_EMP_SELECTIN, "Select employees in &controller"),
                              item(ID_EMP_SELECTNOTIN, "Select employees &not in controller"), "-",
                              item(ID_TERM_WRITEIDTABLE, "Write to ID table"), "-",
                              item(ID_TERM_WRITEMASTER, "&Write master"), "-",
                              item(ID_COPY_MEDIAID, "Copy MediaID to clipboard")}));
        QCOMPARE(describe(tops[3]->menu()), controllersMenu());
        QCOMPARE(describe(tops[4]->menu()), QStringList({item(ID_APP_ABOUT, "&About Tarvex...")}));
        // One command in two menus.
        QAction* inEmployees = tops[2]->menu()->actions().at(11);
        QAction* inControllers = tops[3]->menu()->actions().at(10);
        QCOMPARE(inEmployees->data().toInt(), ID_TERM_WRITEIDTABLE);
        QCOMPARE(inControllers->data().toInt(), ID_TERM_WRITEIDTABLE);
        QCOMPARE(inControllers->statusTip(), inEmployees->statusTip());
    }

    void toolbarShortcutsAndPictures() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        // Buttons by command, 0 for a separator.
        QList<int> order;
        for (QAction* a : frame.toolBar()->actions())
            order << (a->isSeparator() ? 0 : a->data().toInt());
        const QList<int> expected = {ID_FILE_NEW,
                                     0,
                                     ID_FILE_OPEN,
                                     ID_FILE_SAVE,
                                     0,
                                     ID_EMP_ADD,
                                     ID_EMP_EDIT,
                                     ID_EMP_DELETE,
                                     0,
                                     ID_EMP_SELECTALL,
                                     ID_EMP_SELECTIN,
                                     ID_EMP_SELECTNOTIN,
                                     0,
                                     ID_TERM_ADD,
                                     ID_TERM_EDIT,
                                     ID_TERM_DELETE,
                                     0,
                                     ID_TERM_FIRMWARE,
                                     0,
                                     ID_TERM_READIDTABLE,
                                     ID_TERM_READMASTER,
                                     ID_TERM_READPARAMS,
                                     0,
                                     ID_TERM_WRITEIDTABLE,
                                     ID_TERM_WRITEMASTER,
                                     ID_TERM_WRITEPARAMS,
                                     0,
                                     ID_TERM_REMOVEIDTABLE,
                                     ID_TERM_CLEARIDTABLE,
                                     0,
                                     ID_TERM_SELNOTINDB,
                                     ID_TERM_COPYTODB,
                                     0,
                                     ID_TERM_OPENLOCK,
                                     0,
                                     ID_APP_ABOUT};
        QCOMPARE(order, expected);
        QCOMPARE(frame.toolBar()->windowTitle(), QStringLiteral("ToolBar"));
        // The strip: 16 by 16 per button, magenta transparent; menu items show the same picture.
        const QImage strip = CCatalogue::instance().image(IDB_TOOLBAR);
        QCOMPARE(strip.size(), QSize(16 * 25, 16));
        QCOMPARE(strip.pixel(0, 0), qRgb(255, 0, 255));
        const QImage newIcon = frame.commands()
                                   .action(ID_FILE_NEW)
                                   ->icon()
                                   .pixmap(16, 16)
                                   .toImage()
                                   .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(newIcon.pixel(0, 0)), 0);
        QVERIFY(qAlpha(newIcon.pixel(8, 8)) > 0);
        for (int id : {ID_FILE_NEW, ID_TERM_OPENLOCK, ID_APP_ABOUT, ID_TERM_WRITEIDTABLE})
            QVERIFY(!frame.commands().action(id)->icon().isNull());

        const std::pair<int, QKeySequence> keys[] = {
            {ID_EMP_SELECTALL, QKeySequence(Qt::CTRL | Qt::Key_A)},
            {ID_COPY_MEDIAID, QKeySequence(Qt::CTRL | Qt::Key_C)},
            {ID_EMP_SELECTNOTIN, QKeySequence(Qt::CTRL | Qt::Key_N)},
            {ID_EMP_SELECTIN, QKeySequence(Qt::CTRL | Qt::Key_T)},
            {ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
            {ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)}};
        for (const auto& [id, key] : keys)
            QCOMPARE(frame.commands().action(id)->shortcut(), key);
        QVERIFY(frame.commands().action(ID_FILE_NEW)->shortcut().isEmpty());
    }

    void contextAndTrayMenus() {
        QWidget owner;
        CCommandManager commands(&owner);
        auto describeResource = [&](int id) {
            std::unique_ptr<QMenu> menu(commands.createPopup(id, 0, &owner));
            return menu ? describe(menu.get()) : QStringList({"missing"});
        };
        QCOMPARE(describeResource(IDR_MENU_EMP),
                 QStringList({item(ID_EMP_ADD, "&Add new employee..."),
                              item(ID_EMP_EDIT, "&Edit employee..."),
                              item(ID_EMP_DELETE, "&Delete selected employees"), "-",
                              item(ID_EMP_ENROL, "En&rol keys and cards..."),
                              item(ID_REG_ADDEMPLOYEE, "Add as empl&oyee..."), "-",
                              item(ID_EMP_SELECTALL, "Select &all employees"),
                              item(ID_EMP_SELECTIN, "Select employees in &controller"),
                              item(ID_EMP_SELECTNOTIN, "Select employees &not in controller"), "-",
                              item(ID_TERM_WRITEIDTABLE, "Write to ID &table"), "-",
                              item(ID_TERM_WRITEMASTER, "&Write master"), "-",
                              item(ID_COPY_MEDIAID, "Copy MediaID to clipboard")}));
        QCOMPARE(describeResource(IDR_MENU_TERM), controllersMenu());
        QCOMPARE(describeResource(IDR_MENU_TERMEMP),
                 QStringList({item(ID_TERM_REMOVEIDTABLE, "Remove from ID table"),
                              item(ID_TERM_CLEARIDTABLE, "Clear ID table"), "-",
                              item(ID_TERM_SELNOTINDB, "Select employees not in database"),
                              item(ID_TERM_COPYTODB, "Copy to database"), "-",
                              item(ID_COPY_MEDIAID, "Copy MediaID to clipboard")}));
        QCOMPARE(describeResource(IDR_MENU_REG),
                 QStringList({item(ID_REG_ADDEMPLOYEE, "Add as empl&oyee..."), "-",
                              item(ID_REG_CLEAR, "Clear list"), "-",
                              item(ID_COPY_MEDIAID, "Copy MediaID to clipboard")}));
        QCOMPARE(
            describeResource(IDR_MENU_TRAY),
            QStringList({item(ID_APP_ABOUT, "&About Tarvex..."), "-",
                         item(ID_RESTORE_MAIN, "&Restore main window"),
                         item(ID_VIEW_ALERTS, "A&lerts..."), "-", item(ID_APP_EXIT, "E&xit")}));
        QCOMPARE(describeResource(IDR_MENU_PHOTO), QStringList({item(ID_PHOTO_CLOSE, "&Close")}));
    }

    void routingGoesPaneDocumentFrameApplication() {
        QWidget owner;
        auto* pane = new Pane(&owner);
        auto* other = new QWidget(&owner);
        other->setFocusPolicy(Qt::StrongFocus);
        CCommandManager commands(&owner);
        Target document, operations, frame, application;
        commands.setDocumentTarget(&document);
        commands.addWorkspaceTarget(&operations);
        commands.setFrameTarget(&frame);
        commands.setApplicationTarget(&application);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        owner.activateWindow();

        pane->handles = {ID_COPY_MEDIAID};
        document.handles = {ID_COPY_MEDIAID, ID_EMP_ADD};
        operations.handles = {ID_EMP_ADD, ID_TERM_FIRMWARE};
        frame.handles = {ID_EMP_ADD, ID_VIEW_TOOLBAR, ID_TERM_FIRMWARE};
        application.handles = {ID_APP_ABOUT, ID_VIEW_TOOLBAR};
        pane->disabled = {};
        pane->setFocus();
        QTRY_COMPARE(owner.focusWidget(), pane);

        // The focused pane first.
        QVERIFY(commands.execute(ID_COPY_MEDIAID));
        QCOMPARE(pane->carried, QList<int>({ID_COPY_MEDIAID}));
        QVERIFY(document.carried.isEmpty());
        // Then the document before the frame, the frame before the application.
        QVERIFY(commands.execute(ID_EMP_ADD));
        QCOMPARE(document.carried, QList<int>({ID_EMP_ADD}));
        QVERIFY(commands.execute(ID_VIEW_TOOLBAR));
        QCOMPARE(frame.carried, QList<int>({ID_VIEW_TOOLBAR}));
        // The further workspace targets come after the document and before the frame.
        QVERIFY(commands.execute(ID_TERM_FIRMWARE));
        QCOMPARE(operations.carried, QList<int>({ID_TERM_FIRMWARE}));
        QCOMPARE(frame.carried, QList<int>({ID_VIEW_TOOLBAR}));
        QVERIFY(operations.carried.size() == 1);
        commands.removeWorkspaceTarget(&operations);
        QVERIFY(commands.execute(ID_TERM_FIRMWARE));
        QCOMPARE(frame.carried, QList<int>({ID_VIEW_TOOLBAR, ID_TERM_FIRMWARE}));
        QVERIFY(application.carried.isEmpty());
        // Without the focus on the pane, the document takes it.
        other->setFocus();
        QTRY_COMPARE(owner.focusWidget(), other);
        QVERIFY(commands.execute(ID_COPY_MEDIAID));
        QCOMPARE(document.carried, QList<int>({ID_EMP_ADD, ID_COPY_MEDIAID}));
        // Nobody handles it: disabled, and nothing runs.
        QVERIFY(!commands.query(ID_TERM_OPENLOCK).enabled());
        QVERIFY(!commands.execute(ID_TERM_OPENLOCK));
        // A disabled command is not carried out even when a shortcut or a stale menu asks.
        document.disabled = {ID_EMP_ADD};
        QVERIFY(!commands.execute(ID_EMP_ADD));
        QCOMPARE(document.carried.size(), 2);
    }

    void updatePassSetsEveryCopy() {
        CMainFrame frame;
        QVERIFY(frame.Create());
        Target document;
        frame.commands().setDocumentTarget(&document);
        document.handles = {ID_TERM_WRITEIDTABLE, ID_TERM_REMOVEIDTABLE, ID_TERM_WRITEMASTER,
                            ID_VIEW_STATUS_BAR};
        document.disabled = {ID_TERM_REMOVEIDTABLE};
        document.checked = {ID_VIEW_STATUS_BAR};
        frame.commands().updateAll();
        QMenu* controllers = frame.menuBar()->actions().at(3)->menu();
        QAction* copy = controllers->actions().at(10);
        QCOMPARE(copy->data().toInt(), ID_TERM_WRITEIDTABLE);
        QVERIFY(copy->isEnabled());
        QVERIFY(frame.commands().action(ID_TERM_WRITEIDTABLE)->isEnabled());
        QVERIFY(!frame.commands().action(ID_TERM_REMOVEIDTABLE)->isEnabled());
        QVERIFY(!frame.commands().action(ID_TERM_OPENLOCK)->isEnabled());
        // Context menus show disabled items where the main menu does.
        std::unique_ptr<QMenu> context(frame.commands().createPopup(IDR_MENU_TERM, 0, &frame));
        frame.commands().updateAll();
        for (int i = 0; i < controllers->actions().size(); ++i) {
            QAction* a = controllers->actions().at(i);
            QAction* b = context->actions().at(i);
            QCOMPARE(b->data(), a->data());
            QCOMPARE(b->isEnabled(), a->isEnabled());
        }
        // The document's answer wins over the frame's own.
        QVERIFY(frame.commands().action(ID_VIEW_STATUS_BAR)->isChecked());
        document.handles.erase(ID_VIEW_STATUS_BAR);
        frame.commands().updateAll();
        QCOMPARE(frame.commands().action(ID_VIEW_STATUS_BAR)->isChecked(),
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
            QVERIFY(frame.commands().execute(ID_NEXT_PANE));
            visited << frame.focusWidget();
        }
        const QSet<QWidget*> distinct(visited.begin(), visited.end());
        QVERIFY(distinct.size() >= 2);
        for (QWidget* w : distinct)
            QVERIFY(frame.panes()->isAncestorOf(w));
        // Shift+F6 goes back the same way.
        QWidget* here = frame.focusWidget();
        QVERIFY(frame.commands().execute(ID_NEXT_PANE));
        QVERIFY(frame.commands().execute(ID_PREV_PANE));
        QCOMPARE(frame.focusWidget(), here);

        frame.showMaximized();
        frame.showMinimized();
        QVERIFY(frame.isMinimized());
        QVERIFY(frame.commands().execute(ID_RESTORE_MAIN));
        QVERIFY(!frame.isMinimized());
        QVERIFY(frame.isMaximized());
        QVERIFY(frame.isVisible());
    }

    void splashHidesAfterOneSecond() {
        CSplashDlg splash;
        QCOMPARE(splash.size(), QSize(430, 300));
        QVERIFY(splash.statusText().isEmpty());
        splash.showCentred();
        splash.SetStatusText(IDS_OK);
        QCOMPARE(splash.statusText(), QStringLiteral("OK"));
        auto* status = splash.findChild<QLabel*>(QStringLiteral("status%1").arg(IDC_SPLASH_STATUS));
        QVERIFY(status);
        QCOMPARE(status->palette().color(QPalette::Window), QColor(204, 151, 84));
        // One line across the bottom of the picture.
        QVERIFY(status->isVisible());
        QCOMPARE(status->geometry(), QRect(0, 300 - status->height(), 430, status->height()));
        QVERIFY(status->height() >= status->fontMetrics().height());
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
        splash.SetStatusText(IDS_CLOSING);
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
        QVERIFY(frame.commands().action(ID_VIEW_TOOLBAR)->isChecked());
        QVERIFY(frame.commands().execute(ID_VIEW_TOOLBAR));
        QVERIFY(!frame.toolBar()->isVisible());
        QVERIFY(!frame.commands().action(ID_VIEW_TOOLBAR)->isChecked());
        QVERIFY(frame.commands().execute(ID_VIEW_STATUS_BAR));
        QVERIFY(!frame.statusBar()->isVisible());
        QVERIFY(frame.commands().execute(ID_VIEW_STATUS_BAR));
        QVERIFY(frame.statusBar()->isVisible());
        // A command's prompt replaces "Ready" while it is pointed at.
        QVERIFY(frame.commands().action(ID_FILE_NEW)->showStatusText(frame.toolBar()));
        QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Create a new document"));
        frame.statusBar()->clearMessage();
        QVERIFY(frame.idleLabel()->isVisible());
        // Recent files: the placeholder is shown while the list is empty.
        frame.setRecentFiles({QStringLiteral("/a/one.VR-12"), QStringLiteral("/b/R&D.VR-12")});
        QMenu* file = frame.menuBar()->actions().at(0)->menu();
        QStringList d = describe(file);
        QCOMPARE(d.mid(7, 2), QStringList({item(ID_FILE_MRU_FILE1, "&1 /a/one.VR-12"),
                                           item(ID_FILE_MRU_FILE2, "&2 /b/R&&D.VR-12")}));
        QCOMPARE(d.at(9), QStringLiteral("-"));
        frame.setRecentFiles({});
        QCOMPARE(describe(file).at(7), item(ID_FILE_MRU_FILE1, "Recent files"));
        QCOMPARE(describe(file).at(8), QStringLiteral("-"));
    }
};

TARVEX_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
