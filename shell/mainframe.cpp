#include "mainframe.h"

#include "appsettings.h"
#include "catalogue.h"
#include "mainframetray.h"
#include "mainpanes.h"
#include "resourceids.h"
#include "settingsstore.h"
#include "skin.h"
#include "windowplacementio.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <memory>

using namespace res;

namespace {
CMainFrame* g_mainFrame = nullptr;
constexpr auto kWindow = CStoredWindowState::Window::Main;
} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    g_mainFrame = this;
    setObjectName(QStringLiteral("CMainFrame"));
    m_commands = new CCommandManager(this);
    m_commands->setFrameTarget(this);
    setWindowIcon(QIcon(QPixmap::fromImage(CCatalogue::instance().image(IDI_PROGRAM))));
}

CMainFrame::~CMainFrame() {
    SaveWindowState();
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
}

CMainFrame* CMainFrame::Instance() {
    return g_mainFrame;
}

bool CMainFrame::Create() {
    const CCatalogue& cat = CCatalogue::instance();

    // Menu bar from menu 128.
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    m_commands->fillMenuBar(bar, IDR_MAINFRAME);
    if (bar->actions().isEmpty())
        return false;

    // Toolbar 128 with the pictures of bitmap 131.
    m_toolBar = new QToolBar(cat.string(IDS_TOOLBAR_CAPTION), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_commands->fillToolBar(m_toolBar, IDR_MAINFRAME);
    if (m_toolBar->actions().isEmpty())
        return false;

    // Status bar: the idle text, replaced by a command's prompt while one is pointed at.
    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    m_ready = new QLabel(cat.string(IDS_IDLE_MESSAGE), status);
    status->addWidget(m_ready, 1);
    // A command's prompt covers only the idle text: an alert stays in view.
    m_alertLine = new QLabel(status);
    m_alertLine->setObjectName(QStringLiteral("AlertLine"));
    m_alertLine->setAccessibleName(cat.string(IDS_ALERT_LINE));
    m_alertLine->setTextFormat(Qt::PlainText);
    status->addPermanentWidget(m_alertLine);

    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_panes = createPanes();
    setCentralWidget(m_panes);

    // Recent files follow the placeholder entry of the File menu.
    if (QAction* first = m_commands->action(ID_FILE_MRU_FILE1)) {
        for (QAction* top : bar->actions()) {
            QMenu* menu = top->menu();
            if (!menu || !menu->actions().contains(first))
                continue;
            const int at = int(menu->actions().indexOf(first));
            QAction* before =
                at + 1 < menu->actions().size() ? menu->actions().at(at + 1) : nullptr;
            for (int i = 1; i < ID_FILE_MRU_COUNT; ++i) {
                QAction* a = m_commands->action(ID_FILE_MRU_FILE1 + i);
                a->setVisible(false);
                menu->insertAction(before, a);
            }
        }
    }
    setRecentFiles({});

    setAcceptDrops(true);

    // Bar state "Bars".
    const CStoredWindowState stored = CStoredWindowState::read(*CAppSettings::openStore(), kWindow);
    if (!stored.bars.isEmpty())
        restoreState(stored.bars);
    if (stored.statusBar)
        status->setVisible(*stored.statusBar);

    m_commands->setIdleInterval(250);
    m_commands->updateAll();
    return true;
}

void CMainFrame::ShowAlertLine(const QString& text) {
    if (!m_alertLine)
        return;
    m_alertLine->setText(text);
    m_alertLine->setAccessibleDescription(text);
}

CMainPanes* CMainFrame::createPanes() {
    // The pane tree (employees, registrations, controllers, employees in controller and the
    // controller pane) fills the client area and is the workspace's host.
    auto* panes = new CMainPanes(nullptr, this);
    panes->setCommandManager(m_commands);
    panes->setPanelFactory(m_panelFactory);
    m_host = panes;
    // Tray icon and notifier (panes library): minimise hides into the tray, and the close
    // box shows "Tarvex is still active" before hiding; without a tray both only minimise.
    auto* tray = new CMainFrameTray(this, m_commands);
    connect(this, &CMainFrame::closeBoxPressed, tray, &CMainFrameTray::OnCloseBox);
    return panes;
}

void CMainFrame::OnInitialUpdate() {
    if (m_panes)
        m_panes->OnInitialUpdate();
}

void CMainFrame::ActivateFrame() {
    if (m_firstShow) {
        m_firstShow = false;
        const auto placement = CWindowPlacement::fromBytes(
            CStoredWindowState::read(*CAppSettings::openStore(), kWindow).placement);
        if (placement) {
            showWithPlacement(*this, *placement);
            return;
        }
        // Nothing stored: room for the panes, centred on the screen.
        if (const QScreen* screen =
                this->screen() ? this->screen() : QGuiApplication::primaryScreen())
            setGeometry(
                CWindowPlacement::defaultRect(screen->availableGeometry(), minimumSizeHint()));
    }
    show();
}

QByteArray CMainFrame::placementBytes() const {
    return windowPlacementBytes(*this);
}

void CMainFrame::SaveWindowState() {
    if (m_stateSaved)
        return;
    WriteWindowState();
    m_stateSaved = !m_firstShow;
}

void CMainFrame::WriteWindowState() {
    if (m_firstShow)
        return; // never shown: nothing of this run to remember
    CStoredWindowState::write(*CAppSettings::openStore(), kWindow, saveState(),
                              statusBar()->isVisibleTo(this), placementBytes());
}

void CMainFrame::followSettings(CSettingsStore& store) {
    connect(&store, &CSettingsStore::changed, this, [&store](const QStringList& names) {
        if (!names.contains(QLatin1String("VisualStyle")))
            return;
        CSkin::apply(store.values().VisualStyle);
        for (QWidget* widget : QApplication::allWidgets())
            widget->update();
    });
}

void CMainFrame::setRecentFiles(const QStringList& files) {
    for (int i = 0; i < ID_FILE_MRU_COUNT; ++i) {
        QAction* a = m_commands->action(ID_FILE_MRU_FILE1 + i);
        if (!a)
            continue;
        if (i < files.size()) {
            QString shown = QDir::toNativeSeparators(files.at(i));
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            a->setVisible(true);
        } else if (i == 0) {
            // The placeholder stays, disabled, while the list is empty.
            for (const CMenuItem& popup : CCatalogue::instance().menu(IDR_MAINFRAME))
                for (const CMenuItem& item : popup.items)
                    if (item.id == ID_FILE_MRU_FILE1)
                        a->setText(item.text);
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
}

void CMainFrame::cyclePane(int step) {
    if (!m_panes)
        return;
    QList<QWidget*> panes;
    for (QWidget* w : m_panes->findChildren<QWidget*>())
        if (dynamic_cast<ICommandTarget*>(w) && w->isVisible() && w->focusPolicy() != Qt::NoFocus)
            panes.append(w);
    if (panes.isEmpty())
        return;
    QWidget* current = focusWidget();
    int at = -1;
    for (int i = 0; i < panes.size(); ++i)
        if (current && (panes[i] == current || panes[i]->isAncestorOf(current)))
            at = i;
    const int n = int(panes.size());
    const int next = at < 0 ? (step > 0 ? 0 : n - 1) : ((at + step) % n + n) % n;
    panes[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(!m_toolBar->isVisibleTo(this));
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisibleTo(this));
        return true;
    case ID_NEXT_PANE:
        cyclePane(1);
        return true;
    case ID_PREV_PANE:
        cyclePane(-1);
        return true;
    case ID_RESTORE_MAIN: {
        // Restoring keeps a maximised window maximised.
        if (isMinimized() || isHidden()) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            show();
        }
        QWidget* popup = QApplication::activeModalWidget();
        QWidget* target = popup ? popup : this;
        target->raise();
        target->activateWindow();
        return true;
    }
    default:
        return false;
    }
}

bool CMainFrame::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
        ui.SetCheck(m_toolBar && m_toolBar->isVisibleTo(this));
        return true;
    case ID_VIEW_STATUS_BAR:
        ui.SetCheck(statusBar()->isVisibleTo(this));
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
    case ID_RESTORE_MAIN:
        return true;
    default:
        return false;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        SaveWindowState();
        event->accept();
        return;
    }
    event->ignore();
    emit closeBoxPressed();
    showMinimized();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    // Only the first file is opened: there is one workspace.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            activateWindow();
            emit fileDropped(url.toLocalFile());
            return;
        }
    }
}
