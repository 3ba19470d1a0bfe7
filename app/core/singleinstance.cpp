#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString CSingleInstance::runtimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(xdg).exists())
        return xdg;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

CSingleInstance::~CSingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

bool CSingleInstance::openUnowned(const QString& name) {
    if (m_fd >= 0)
        return true;
    m_path = runtimeFolder() + QLatin1Char('/') + name;
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        const int err = errno;
        m_error = QStringLiteral("%1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(err)));
    }
    return m_fd >= 0;
}

CSingleInstance::Result CSingleInstance::tryAcquire(const QString& name) {
    if (m_held)
        return Result::Acquired;
    if (!openUnowned(name))
        return Result::Failed;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_held = true;
        return Result::Acquired;
    }
    const int err = errno;
    if (err == EWOULDBLOCK)
        return Result::HeldByOther;
    // A file system without locks proves nothing about another copy.
    m_error = QStringLiteral("%1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(err)));
    return Result::Failed;
}
