#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

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
    return m_fd >= 0;
}

bool CSingleInstance::acquire(const QString& name) {
    if (!openUnowned(name))
        return false;
    m_held = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    return m_held;
}
