#pragma once

#include <QObject>

#include <functional>

class CAppTrace;

// The end of a run through File Exit (with the save prompt) or without asking (the session
// ends, a termination signal): open modal windows are closed first, the main window goes only
// once every dialog's and menu's loop has unwound, then the program's event loop is left.
class CExitSequence : public QObject {
    Q_OBJECT
public:
    struct Steps {
        // The save prompt for a modified workspace; false when the user cancelled.
        std::function<bool()> saveModified;
        // The workspace's fate is settled (File Exit's answer).
        std::function<void()> decided;
        // Closes the workspace and destroys the main window.
        std::function<void()> destroyMainWindow;
    };

    CExitSequence(CAppTrace& trace, Steps steps, QObject* parent = nullptr);

    // The event loop level at which the program's own loop runs: deeper, a dialog or menu
    // opened by someone is still on the stack.
    void setMainLoopLevel(int level) { m_mainLoopLevel = level; }

    // File Exit: asks to save a modified workspace, then closes the workspace and the main
    // window with the closing notice on the splash and leaves the event loop. Open modal
    // dialogs are closed first. Runs once: false when the user cancelled, or when an Exit is
    // already asking.
    bool Exit();
    // The exit without the save prompt: what the caller did not keep of the workspace is lost.
    void ExitWithoutPrompt();
    // The window is about to go: no command may start anything new.
    bool underWay() const { return m_finishScheduled; }
    // File Exit's save prompt is open.
    bool promptOpen() const { return m_promptOpen; }

private:
    void scheduleFinish();
    void finish();

    CAppTrace& m_trace;
    Steps m_steps;
    int m_mainLoopLevel = 0;
    bool m_promptOpen = false;
    bool m_finishScheduled = false;
};
