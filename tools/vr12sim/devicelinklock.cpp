#include "devicelinklock.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool sameFile(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// What the link at `path` points to; empty when it is not a symbolic link.
QByteArray linkTarget(const QByteArray& path) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), buf, sizeof buf);
    return n > 0 ? QByteArray(buf, n) : QByteArray();
}

// A link file a simulator listening on the loopback address wrote.
bool isLoopbackLinkFile(const QByteArray& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_size > 64)
        return false;
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) && file.readLine(64).startsWith("tcp://127.0.0.1:");
}

} // namespace

DeviceLinkLock::~DeviceLinkLock() {
    release();
}

bool DeviceLinkLock::acquire(const QString& linkPath) {
    release();
    m_lockPath = linkPath + QStringLiteral(".lock");
    const QByteArray lockName = QFile::encodeName(m_lockPath);
    int fd = -1;
    for (;;) {
        fd = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            m_error = QStringLiteral("cannot create %1: %2").arg(m_lockPath, reason());
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                char buf[32] = {};
                const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
                const QString pid = QString::fromLatin1(buf, n > 0 ? int(n) : 0).trimmed();
                m_error = QStringLiteral("%1 is served by a running simulator").arg(linkPath);
                if (!pid.isEmpty())
                    m_error += QStringLiteral(" (process %1)").arg(pid);
            } else {
                m_error = QStringLiteral("cannot lock %1: %2").arg(m_lockPath, reason());
            }
            ::close(fd);
            return false;
        }
        // The previous holder removes the file before it lets go: start again
        // on the file that now carries the name.
        if (sameFile(fd, lockName))
            break;
        ::close(fd);
    }
    const QByteArray link = QFile::encodeName(linkPath);
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0 && !linkTarget(link).startsWith("/dev/pts/") &&
        !isLoopbackLinkFile(link, st)) {
        m_error = QStringLiteral("%1 is not a simulator's link; it is left as it is").arg(linkPath);
        ::unlink(lockName.constData());
        ::close(fd);
        return false;
    }
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) < 0) {
        m_error = QStringLiteral("cannot write %1: %2").arg(m_lockPath, reason());
        ::unlink(lockName.constData());
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void DeviceLinkLock::release() {
    if (m_fd < 0)
        return;
    // Removed while still held, so nobody can lock a name about to vanish.
    ::unlink(QFile::encodeName(m_lockPath).constData());
    ::close(m_fd);
    m_fd = -1;
}
