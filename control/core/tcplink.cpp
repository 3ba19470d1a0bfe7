#include "tcplink.h"

#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vr12comm {

namespace {

QString socketReason(int err) {
    switch (err) {
    case ECONNREFUSED:
        return QStringLiteral("connection refused (is the server running?)");
    case ETIMEDOUT:
        return QStringLiteral("no answer from the server");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return QStringLiteral("the server cannot be reached");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

// Keep-alive probes find a server or network gone quiet under an idle line within about a
// minute; without them a controller that only ever listens would never notice.
void tune(int fd) {
    const int on = 1;
    const int idle = 30, interval = 10, count = 3;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

// Connects one resolved address; the socket or -1 with errno set.
int connectOne(const addrinfo* a, std::chrono::milliseconds timeout) {
    const int fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0)
        return -1;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            const int err = errno;
            ::close(fd);
            errno = err;
            return -1;
        }
        pollfd p{fd, POLLOUT, 0};
        int r;
        do {
            r = ::poll(&p, 1, int(timeout.count()));
        } while (r < 0 && errno == EINTR);
        int err = r == 0 ? ETIMEDOUT : 0;
        socklen_t len = sizeof err;
        if (r < 0)
            err = errno;
        else if (r > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
            err = errno;
        if (err != 0) {
            ::close(fd);
            errno = err;
            return -1;
        }
    }
    tune(fd);
    return fd;
}

} // namespace

std::optional<TcpAddress> readTcpLink(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    // One short line; anything longer is no link file.
    const QString line = QString::fromUtf8(file.readLine(1024)).trimmed();
    const QUrl url(line, QUrl::StrictMode);
    const int port = url.port();
    if (!url.isValid() || url.scheme() != QLatin1String("tcp") || url.host().isEmpty() ||
        port < 1 || port > 65535 || !(url.path().isEmpty() || url.path() == QLatin1String("/")) ||
        url.hasQuery() || !url.userInfo().isEmpty()) {
        *error =
            QStringLiteral("not a link to a serial server (one line tcp://HOST:PORT expected)");
        return std::nullopt;
    }
    return TcpAddress{url.host(), quint16(port)};
}

int connectTcp(const TcpAddress& address, std::chrono::milliseconds timeout, QString* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const QByteArray host = address.host.toUtf8();
    const QByteArray service = QByteArray::number(address.port);
    const int gai = ::getaddrinfo(host.constData(), service.constData(), &hints, &found);
    const QString where = QStringLiteral("%1:%2").arg(address.host).arg(address.port);
    if (gai != 0) {
        *error = QStringLiteral("%1: %2").arg(where, QString::fromLocal8Bit(::gai_strerror(gai)));
        errno = EHOSTUNREACH;
        return -1;
    }
    int fd = -1;
    int err = ECONNREFUSED;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = connectOne(a, timeout);
        if (fd < 0)
            err = errno;
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        *error = QStringLiteral("%1: %2").arg(where, socketReason(err));
        errno = err;
    }
    return fd;
}

} // namespace vr12comm
