#include "serialport.h"

#include "tcplink.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vr12comm {

using Clock = std::chrono::steady_clock;

namespace {

// A server on the local network answers at once; one that does not is taken as down rather
// than holding up the window that opens the port.
constexpr std::chrono::milliseconds kConnectTimeout{1000};

// Waits for fd to become ready for `events` for at most `wait`; returns revents,
// 0 on time-out, -1 on failure.
int waitFor(int fd, short events, Clock::duration wait) {
    if (wait < Clock::duration::zero())
        wait = Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    pollfd p{fd, events, 0};
    const int r = ::ppoll(&p, 1, &ts, nullptr);
    if (r < 0)
        return errno == EINTR ? 0 : -1;
    return r == 0 ? 0 : p.revents;
}

QString reasonFor(int err) {
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return QStringLiteral("missing (no such device)");
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("busy (held by another program)");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied (add your user to the dialout group)");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

// Opens `path` held by this program alone (an advisory lock, which root respects too); -1 with
// `err` set otherwise, a second holder's lock as EBUSY.
int openExclusive(const QByteArray& path, int flags, int* err) {
    const int fd = ::open(path.constData(), flags);
    if (fd < 0) {
        *err = errno;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

SerialPort::~SerialPort() {
    close();
}

void SerialPort::fail(int err, const QString& what) {
    m_lastErrno = err;
    m_lastError = what.isEmpty() ? reasonFor(err) : what + QStringLiteral(": ") + reasonFor(err);
}

short SerialPort::open(const QString& devicePath) {
    if (isOpen()) {
        fail(EBUSY, QString());
        return OpenFailed;
    }
    m_lastError.clear();
    m_lastErrno = 0;
    const QByteArray path = QFile::encodeName(devicePath);
    struct stat st {};
    if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return openNetwork(devicePath);
    // TIOCEXCL below keeps other users out, but not root; the advisory lock covers that.
    int err = 0;
    const int fd = openExclusive(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, &err);
    if (fd < 0) {
        fail(err, QString());
        return OpenFailed;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        fail(errno, QStringLiteral("reading line settings"));
        ::close(fd);
        return GetSettingsFailed;
    }
    ::ioctl(fd, TIOCEXCL);
    // The line discipline must not echo, translate or collect lines: the protocol
    // is raw bytes, as on a plain UART.
    tio.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B2400);
    ::cfsetospeed(&tio, B2400);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        fail(errno, QStringLiteral("applying line settings"));
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return SetSettingsFailed;
    }
    ::tcflush(fd, TCIOFLUSH);
    m_lost = false;
    m_fd.store(fd);
    return Opened;
}

short SerialPort::openNetwork(const QString& linkPath) {
    const QByteArray path = QFile::encodeName(linkPath);
    // The same exclusive use as a device's: a second holder of the file is refused.
    int err = 0;
    const int lockFd = openExclusive(path, O_RDONLY | O_CLOEXEC, &err);
    if (lockFd < 0) {
        fail(err, QString());
        return OpenFailed;
    }
    QString why;
    const std::optional<TcpAddress> address = readTcpLink(linkPath, &why);
    const int fd = address ? connectTcp(*address, kConnectTimeout, &why) : -1;
    if (fd < 0) {
        m_lastErrno = address ? errno : EINVAL;
        m_lastError = why;
        ::close(lockFd);
        return OpenFailed;
    }
    m_lockFd = lockFd;
    m_lost = false;
    m_fd.store(fd);
    return Opened;
}

bool SerialPort::close() {
    const int fd = m_fd.exchange(-1);
    if (fd < 0)
        return false;
    if (m_lockFd >= 0) {
        ::close(std::exchange(m_lockFd, -1));
        return ::close(fd) == 0 || errno == EINTR;
    }
    // A pseudo-terminal held open by its other side would keep the flag.
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    return ::close(fd) == 0 || errno == EINTR;
}

void SerialPort::purge() {
    const int fd = m_fd.load();
    // Writes are drained before they return, so no output of ours is ever left
    // to discard. Flushing output anyway would, on a pseudo-terminal, drop the
    // bytes its other side has not read yet: the last command's byte.
    if (fd < 0)
        return;
    if (!isNetwork()) {
        ::tcflush(fd, TCIFLUSH);
        return;
    }
    char chunk[256];
    while (::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT) > 0) {
    }
}

qsizetype SerialPort::write(const QByteArray& data) {
    const int fd = m_fd.load();
    if (fd < 0)
        return 0;
    const bool network = isNetwork();
    qsizetype done = 0;
    while (done < data.size()) {
        const char* from = data.constData() + done;
        const auto count = size_t(data.size() - done);
        // A connection the server closed must fail the write, not end the process.
        const ssize_t k =
            network ? ::send(fd, from, count, MSG_NOSIGNAL) : ::write(fd, from, count);
        if (k > 0) {
            done += k;
            continue;
        }
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0 && errno == EAGAIN) {
            // Writes have no time limit, but a line that fails ends them.
            const int r = waitFor(fd, POLLOUT, std::chrono::milliseconds(100));
            if (r < 0 || (r & (POLLERR | POLLHUP | POLLNVAL)))
                break;
            continue;
        }
        break;
    }
    // write() returns once the bytes are queued; the next command's purge would
    // throw away whatever has not left the port yet.
    if (done > 0 && !network)
        ::tcdrain(fd);
    return done;
}

QByteArray SerialPort::read(int maxCount) {
    QByteArray buf;
    if (maxCount <= 0)
        return buf;
    const auto start = Clock::now();
    const auto deadline = start + totalTimeout(maxCount);
    const int fd = m_fd.load();
    if (fd < 0)
        return buf;
    buf.resize(maxCount);
    int got = 0;
    Clock::time_point lastByte;
    bool broken = false;
    while (got < maxCount) {
        const auto now = Clock::now();
        auto wait = deadline - now;
        if (got > 0)
            wait = std::min(wait, lastByte + kInterval - now);
        if (wait <= Clock::duration::zero())
            break;
        const int r = waitFor(fd, POLLIN, wait);
        if (r == 0)
            continue;
        if (r < 0 || !(r & POLLIN)) {
            broken = true;
            break;
        }
        const ssize_t k = ::read(fd, buf.data() + got, size_t(maxCount - got));
        if (k > 0) {
            got += int(k);
            lastByte = Clock::now();
        } else if (k < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        } else {
            broken = true;
            break;
        }
    }
    // The read that meets the hang-up returns at once, so that it is told without delay.
    if (broken && !m_lost.exchange(true))
        broken = false;
    if (broken) {
        // A failing or hung-up line must not turn the callers' loops into a busy
        // spin: the read takes the time it would have taken on a silent line.
        auto until = deadline;
        if (got > 0)
            until = std::min(deadline, lastByte + kInterval);
        std::this_thread::sleep_until(until);
    }
    buf.truncate(got);
    return buf;
}

QByteArray SerialPort::readQueued(int maxCount) {
    QByteArray buf;
    const int fd = m_fd.load();
    if (fd < 0 || maxCount <= 0)
        return buf;
    buf.resize(maxCount);
    ssize_t k;
    do {
        k = ::read(fd, buf.data(), size_t(maxCount));
    } while (k < 0 && errno == EINTR);
    buf.truncate(k > 0 ? int(k) : 0);
    return buf;
}

QByteArray SerialPort::readUntilQuiet(std::chrono::milliseconds quiet,
                                      std::chrono::milliseconds limit) {
    QByteArray buf;
    const int fd = m_fd.load();
    if (fd < 0)
        return buf;
    const auto deadline = Clock::now() + limit;
    auto quietUntil = std::min(deadline, Clock::now() + quiet);
    char chunk[256];
    for (;;) {
        const int r = waitFor(fd, POLLIN, quietUntil - Clock::now());
        if (r == 0) {
            if (Clock::now() >= quietUntil)
                break;
            continue;
        }
        if (r < 0 || !(r & POLLIN)) {
            m_lost = true;
            break;
        }
        const ssize_t k = ::read(fd, chunk, sizeof chunk);
        if (k > 0) {
            buf.append(chunk, k);
            quietUntil = std::min(deadline, Clock::now() + quiet);
        } else if (!(k < 0 && (errno == EAGAIN || errno == EINTR))) {
            m_lost = true;
            break;
        }
    }
    return buf;
}

} // namespace vr12comm
