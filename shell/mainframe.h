#pragma once

#include "commandmanager.h"
#include "commandtarget.h"
#include "mainpanes.h"

#include <QMainWindow>
#include <QStringList>

class CSettingsStore;
class QLabel;
class QToolBar;
class IWorkspaceHost;

// The main window: menu bar, toolbar, status bar and the panes in its client area. Commands
// from menus, toolbar, shortcuts and context menus reach the routing of its command manager.
class CMainFrame : public QMainWindow, public ICommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The program-wide reference (the newest frame).
    static CMainFrame* Instance();

    // What makes a controller's panel window; set before Create (without one a controller
    // gets no panel).
    void setPanelFactory(CMainPanes::PanelFactory factory) { m_panelFactory = std::move(factory); }

    // Builds the bars and the panes and restores the bar state "Bars". False when a part
    // could not be created.
    bool Create();

    CCommandManager& commands() { return *m_commands; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLabel* idleLabel() const { return m_ready; }
    // The status bar's line for the latest alert (empty until the first).
    QLabel* alertLine() const { return m_alertLine; }
    void ShowAlertLine(const QString& text);

    // The client area: the pane tree, which is also the workspace's host.
    CMainPanes* panes() const { return m_panes; }
    IWorkspaceHost* workspaceHost() const { return m_host; }

    // The lists fill themselves from the workspace (after creation, New and Open).
    void OnInitialUpdate();

    // First showing: applies "Placement" the first time in the run, then shows the window.
    void ActivateFrame();
    // Writes "Bars" and "Placement"; done once, when the window goes away.
    void SaveWindowState();
    // Writes them now and again later (a session that may end without the window going).
    void WriteWindowState();
    // Window placement as the 44-byte record.
    QByteArray placementBytes() const;

    // The visual style follows the store: applied to the skin, every window repainted.
    void followSettings(CSettingsStore& store);

    // The File menu's recent-file entries.
    void setRecentFiles(const QStringList& files);

    // Lets the next close end the window (File Exit); otherwise the close box only
    // minimises (without a tray nothing could bring a hidden window back).
    void setExiting(bool exiting) { m_exiting = exiting; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

signals:
    // A file was dropped onto the window.
    void fileDropped(const QString& path);
    // The close box was used while not exiting.
    void closeBoxPressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CMainPanes* createPanes();
    void cyclePane(int step);

    CCommandManager* m_commands;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_ready = nullptr;
    QLabel* m_alertLine = nullptr;
    CMainPanes* m_panes = nullptr;
    IWorkspaceHost* m_host = nullptr;
    CMainPanes::PanelFactory m_panelFactory;
    bool m_firstShow = true;
    bool m_stateSaved = false;
    bool m_exiting = false;
};
