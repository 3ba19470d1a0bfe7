#pragma once

#include "instancechannel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class CDocumentFlow;
class CMainFrame;
class CSingleInstance;
class IUserPrompts;

// One running copy per user. The first start takes the lock and listens for later starts; a
// later start hands its command line over and ends. The running copy comes to the front at
// once and opens a handed-over file through its document flow (asking to save first), but
// only while no dialog is open over the workspace and the window takes input: a dialog's OK
// must never write into a workspace that replaced the one it was opened on.
class CInstanceHandover : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        FirstCopy,  // this process runs the program
        SecondCopy, // another copy runs: the command line went there (or could not)
    };

    explicit CInstanceHandover(QObject* parent = nullptr);

    // Takes the program lock. When another copy is proved (it holds the lock, or answers on
    // the socket although the lock could not be made), hands it the arguments with their
    // file names made absolute. A lock that cannot be made is reported through prompts and
    // on stderr, and the program starts anyway.
    Outcome claim(CSingleInstance& lock, const QStringList& arguments, IUserPrompts& prompts);

    // From now on later starts are served: their file opens in flow, the frame comes up.
    void serve(CDocumentFlow* flow, CMainFrame* frame);

    CInstanceChannel& channel() { return m_channel; }

    // How long a later start tries to reach the running copy.
    static constexpr int kHandoverTimeoutMs = 5000;
    // How often a waiting request looks whether it may go ahead.
    static constexpr int kWaitLookMs = 100;

private:
    void onRequest(const QStringList& arguments);
    // Handles the waiting requests in order while nothing holds them back.
    void drain();
    // A modal window is open, or the main window takes no input (a command runs).
    bool mustWait() const;
    void bringToFront();
    void handle(const QStringList& arguments);

    CInstanceChannel m_channel;
    QPointer<CMainFrame> m_frame;
    CDocumentFlow* m_flow = nullptr;
    bool m_busy = false;
    QList<QStringList> m_queue;
    QTimer m_waitTimer;
};
