#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// The line between a running copy and a second start: a local socket in the user's runtime
// folder. The second start hands over its command line and ends; the running copy receives
// it once it is ready to act on it.
class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit CInstanceChannel(QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Full path of the socket (named after the program's lock).
    static QString socketPath();

    // Running copy: listens on the socket. Any socket file left there belongs to no one (the
    // caller holds the lock), so it is replaced. False with errorString() when it cannot.
    bool listen();
    bool isListening() const;
    QString errorString() const { return m_error; }
    // While not accepting (start-up still running), received command lines wait; switching
    // on delivers them in arrival order.
    void setAccepting(bool on);

    // Second start: hands the command line to the running copy. File names (arguments that
    // are not options) must already be absolute. Tries to connect until timeoutMs has passed
    // (the running copy may still be starting); true once the running copy confirmed receipt.
    static bool sendToRunning(const QStringList& arguments, int timeoutMs);
    // Whether a running copy answers on the socket right now.
    static bool isRunningCopyListening();
    // Makes every argument that is not an option absolute against folder.
    static QStringList absoluteArguments(const QStringList& arguments, const QString& folder);

signals:
    void commandLineReceived(const QStringList& arguments);

private:
    void onNewConnection();
    void readFrom(QLocalSocket* socket);
    void deliver();

    QLocalServer* m_server = nullptr;
    QString m_error;
    bool m_accepting = false;
    QList<QStringList> m_waiting;
};
