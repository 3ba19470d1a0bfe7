#pragma once

#include <QObject>

class CDocumentFlow;
class CTarvexApp;
class CTerminationSignals;
class IUserPrompts;

// The ways a run ends besides File Exit: the session manager's commit at log-out, Qt's quit
// (the session's end or the platform's quit request), SIGTERM and SIGHUP. Each leads to the
// application's exit. Where nobody can be asked, the unsaved workspace goes to the recovery
// copy instead of through the save prompt, and the workspace's file stays as it was.
class CSessionEnd : public QObject {
    Q_OBJECT
public:
    explicit CSessionEnd(CTarvexApp& app, QObject* parent = nullptr);
    ~CSessionEnd() override;

    // At start-up: offers the copy an earlier run left behind. Yes opens it, No deletes it;
    // unanswered, it stays for the next start.
    static void OfferRecoveryCopy(IUserPrompts& prompts, CDocumentFlow& flow);

    // The session manager's commit. With interaction the save prompt, where Cancel (false)
    // keeps the session from ending; without, the recovery copy. The settings are written at
    // once either way, since the session may be cut off without another word.
    bool CommitSession(bool interactionAllowed);
    // SIGTERM or SIGHUP: the exit without the prompt, the workspace kept as a recovery copy.
    void Terminate();
    // Qt's quit: the normal exit with its prompt, unless the session manager already had its
    // answer.
    void Quit();
    // File Exit settled the workspace's fate: a copy this run kept is no longer wanted.
    void ExitDecided();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepUnsavedWorkspace();

    CTarvexApp& m_app;
    CTerminationSignals* m_signals = nullptr;
    bool m_committed = false;
    bool m_copyWritten = false;
};
