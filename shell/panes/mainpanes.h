#pragma once

#include "commandmanager.h"
#include "listselection.h"
#include "workspacehost.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class CCommandManager;
class CControllerPane;
class CEmptyForm;
class CEmpView;
class CFlatSplitterWnd;
class CRegView;
class CTarvexDoc;
class CTermEmpView;
class CTermView;
class CTitleView;
class QSplitter;

// The main window's client area: the fixed tree of splitters S1-S8 with the
// title strips, the four lists and the controller pane. It is the workspace's
// host: it refills the lists, creates the controllers' panel windows and
// switches the window shown in the controller pane.
//
//   S1 | col 0: S2 (rows, keeps 200)   | col 1: S5 (rows, keeps 222)
//   S2 | row 0: S3 title + employees   | row 1: S4 title + registrations
//   S5 | row 0: S6                     | row 1: controller pane
//   S6 | col 0: S7 title + controllers | col 1: S8 title + employees in controller
class CMainPanes : public QWidget, public IWorkspaceHost {
    Q_OBJECT
public:
    // Creates a controller's panel window as a child of parent; the result must
    // also be an ITermPanel.
    using PanelFactory = std::function<QWidget*(int comPort, QWidget* parent)>;

    // doc: the workspace to host (nullptr: the global one, if any).
    explicit CMainPanes(CTarvexDoc* doc = nullptr, QWidget* parent = nullptr);
    ~CMainPanes() override;

    // The program-wide references.
    static CMainPanes* Instance();
    static CEmptyForm* EmptyForm();

    CEmpView* empView() const { return m_empView; }
    CTermView* termView() const { return m_termView; }
    CTermEmpView* termEmpView() const { return m_termEmpView; }
    CRegView* regView() const { return m_regView; }
    // The three lists the workspace's commands read and select in.
    WorkspaceSelection selection() const;
    CEmptyForm* emptyForm() const { return m_emptyForm; }
    CControllerPane* controllerPane() const { return m_pane; }
    // S1 .. S8.
    CFlatSplitterWnd* splitter(int n) const;
    // Title strips: 0 employees, 1 registrations, 2 controllers, 3 employees in controller.
    CTitleView* titleView(int n) const { return m_titles.at(size_t(n)); }

    // Context menus of the lists are shown and routed through the commands.
    void setCommandManager(CCommandManager* commands) { m_commands = commands; }
    // Makes the panel windows for controllers from now on; without one a controller gets no
    // panel.
    void setPanelFactory(PanelFactory factory) { m_factory = std::move(factory); }

    // The first filling of the employees and controllers lists (after the main
    // window is created, and after each New and Open).
    void OnInitialUpdate();

    // The window currently in the controller pane (the empty form or a panel).
    QWidget* shownWindow() const;

    // IWorkspaceHost
    ITermPanel* CreatePanelWindow(int comPort) override;
    ITermPanel* ShowInControllerPane(ITermPanel* panel) override;
    ITermPanel* PanelInControllerPane() const override;
    void FillList(WorkspaceList list) override;

private:
    CTarvexDoc* doc() const;
    void onControllerRowSelected(int comPort);
    void onControllerSelectionEmptied();
    void showContextMenu(int menuId, const QPoint& globalPos);
    QSplitter* titled(CFlatSplitterWnd* parent, int titleId, QWidget* list, int titleIndex);

    QPointer<CTarvexDoc> m_doc;
    std::array<CFlatSplitterWnd*, 8> m_splitters{};
    std::array<CTitleView*, 4> m_titles{};
    CEmpView* m_empView = nullptr;
    CTermView* m_termView = nullptr;
    CTermEmpView* m_termEmpView = nullptr;
    CRegView* m_regView = nullptr;
    CEmptyForm* m_emptyForm = nullptr;
    CControllerPane* m_pane = nullptr;
    QPointer<CCommandManager> m_commands;
    PanelFactory m_factory;
};
