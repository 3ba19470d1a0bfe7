#include "reglogfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace vr12comm {

RegLogFile::~RegLogFile() {
    close();
}

bool RegLogFile::open(const QString& fileName) {
    close();
    if (fileName.isEmpty()) {
        m_lastError = QStringLiteral("no file name");
        return false;
    }
    const QByteArray path = QFile::encodeName(fileName);
    m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_lastError =
            QStringLiteral("%1: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_lastError.clear();
    return true;
}

void RegLogFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool RegLogFile::append(const QByteArray& line) {
    if (m_fd < 0)
        return false;
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t k = ::write(m_fd, line.constData() + done, size_t(line.size() - done));
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0) {
            m_lastError = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        done += k;
    }
    if (::fdatasync(m_fd) == 0 || errno == EINVAL)
        return true;
    m_lastError = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace vr12comm
