#include "instancechannel.h"

#include "singleinstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {
constexpr char kReceived = 'A';
// A command line is a few paths; anything larger is not from us.
constexpr qint64 kMaxMessage = 64 * 1024;
constexpr auto kStreamVersion = QDataStream::Qt_6_0;

QByteArray encode(const QStringList& arguments) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << arguments;
    }
    QByteArray message;
    QDataStream frame(&message, QIODevice::WriteOnly);
    frame.setVersion(kStreamVersion);
    frame << quint32(payload.size());
    message.append(payload);
    return message;
}
} // namespace

CInstanceChannel::CInstanceChannel(QObject* parent) : QObject(parent) {}

CInstanceChannel::~CInstanceChannel() {
    if (m_server)
        m_server->close(); // removes the socket file
}

QString CInstanceChannel::socketPath() {
    return CSingleInstance::runtimeFolder() + QLatin1Char('/') +
           CSingleInstance::programLockName() + QStringLiteral(".socket");
}

bool CInstanceChannel::listen() {
    if (isListening())
        return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::onNewConnection);
    }
    const QString path = socketPath();
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        m_error = QStringLiteral("%1: %2").arg(path, m_server->errorString());
        return false;
    }
    m_error.clear();
    return true;
}

bool CInstanceChannel::isListening() const {
    return m_server && m_server->isListening();
}

void CInstanceChannel::setAccepting(bool on) {
    m_accepting = on;
    deliver();
}

void CInstanceChannel::deliver() {
    while (m_accepting && !m_waiting.isEmpty())
        emit commandLineReceived(m_waiting.takeFirst());
}

void CInstanceChannel::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

void CInstanceChannel::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < qint64(sizeof(quint32)))
        return;
    quint32 size = 0;
    {
        QDataStream in(socket->peek(sizeof(quint32)));
        in.setVersion(kStreamVersion);
        in >> size;
    }
    if (size > kMaxMessage) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(sizeof(quint32)) + size)
        return;
    socket->read(sizeof(quint32));
    QDataStream in(socket->read(size));
    in.setVersion(kStreamVersion);
    QStringList arguments;
    in >> arguments;
    if (in.status() != QDataStream::Ok) {
        socket->abort();
        return;
    }
    // The sender may go now; what the request starts (a save prompt, say) can take a while.
    socket->write(&kReceived, 1);
    socket->flush();
    socket->disconnectFromServer();
    m_waiting.append(arguments);
    deliver();
}

bool CInstanceChannel::sendToRunning(const QStringList& arguments, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const QString path = socketPath();
    const QByteArray message = encode(arguments);
    do {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))) {
            socket.write(message);
            if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
                return false;
            while (socket.bytesAvailable() < 1 &&
                   socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            }
            char answer = 0;
            return socket.read(&answer, 1) == 1 && answer == kReceived;
        }
        // Nobody listens yet: the running copy may be between taking its lock and listening.
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

bool CInstanceChannel::isRunningCopyListening() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const bool connected = socket.waitForConnected(1000);
    socket.abort();
    return connected;
}

QStringList CInstanceChannel::absoluteArguments(const QStringList& arguments,
                                                const QString& folder) {
    QStringList out;
    const QDir base(folder);
    for (const QString& arg : arguments) {
        if (arg.isEmpty() || arg.startsWith(QLatin1Char('-')))
            out << arg;
        else
            out << QDir::cleanPath(base.absoluteFilePath(arg));
    }
    return out;
}
