#pragma once

#include "instancechannel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class CDocumentFlow;
class CMainFrame;
class CSingleInstance;
class IUserPrompts;

// One running copy per user. The first start takes the lock and listens for later starts; a
// later start hands its command line over and ends. The running copy opens a handed-over
// file through its document flow (asking to save first) and comes to the front.
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

private:
    void onRequest(const QStringList& arguments);
    void handle(const QStringList& arguments);

    CInstanceChannel m_channel;
    QPointer<CMainFrame> m_frame;
    CDocumentFlow* m_flow = nullptr;
    bool m_busy = false;
    QList<QStringList> m_queue;
};
