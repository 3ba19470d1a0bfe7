#pragma once

class ITermPanel;

// The three list views the workspace asks to refill after a change.
enum class WorkspaceList { Employees, Controllers, ControllerEmployees };

// What the workspace needs of the desktop frame. Without a host the workspace keeps panels
// that only store their values, so it runs without any window.
class IWorkspaceHost {
public:
    virtual ~IWorkspaceHost() = default;

    // Creates the panel of a controller with its window (a child of the splitter, not yet the
    // one shown in the controller pane). The window owns the panel.
    virtual ITermPanel* CreatePanelWindow(int comPort) = 0;
    // Shows the panel (nullptr: the empty form) in the controller pane; returns the panel shown
    // before (nullptr: the empty form).
    virtual ITermPanel* ShowInControllerPane(ITermPanel* panel) = 0;
    // The panel shown in the controller pane, nullptr when it shows the empty form.
    virtual ITermPanel* PanelInControllerPane() const = 0;
    virtual void FillList(WorkspaceList list) = 0;
};
