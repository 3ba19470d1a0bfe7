#pragma once

#include "commandtarget.h"
#include "historywindow.h"

#include <functional>
#include <memory>

// View, Registrations history...: opens the history window, or brings it forward when it is
// open. The window is made at the first use and kept, hidden, when closed, so that its filters
// are still there the next time.
class CHistoryCommands : public ICommandTarget {
public:
    struct Context {
        CHistoryWindow::Context window;
        // The questions and messages of the window; nullptr: its own dialogs.
        IUserPrompts* prompts = nullptr;
        // Show employee: selects the employee with this MediaID in the main window.
        std::function<void(const QString& mediaId)> showEmployee;
        // Add as employee...: the Employee dialog for this unknown MediaID, over `window`.
        std::function<void(const QString& mediaId, QWidget* window)> addEmployee;
    };

    explicit CHistoryCommands(Context context);
    ~CHistoryCommands() override;
    CHistoryCommands(const CHistoryCommands&) = delete;
    CHistoryCommands& operator=(const CHistoryCommands&) = delete;

    // Made when first asked for, and shown.
    CHistoryWindow* open();
    CHistoryWindow* window() const { return m_window.get(); }
    // The workspace's employees or controllers may have changed.
    void workspaceChanged();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

private:
    Context m_context;
    std::unique_ptr<CHistoryWindow> m_window;
};
