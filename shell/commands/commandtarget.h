#pragma once

class CCmdUI;

// Anything a command can be routed to: a pane, the workspace, the main window, the application.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // Carries the command out; false when this target does not handle it.
    virtual bool OnCommand(int id) = 0;
    // Fills in enabled and checked (enabled by default); false when this target does not
    // handle the command, so the next one in the route is asked.
    virtual bool OnUpdateCommand(int id, CCmdUI& ui) = 0;
};
