#include "presentchannel.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString reason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

PresentChannel::~PresentChannel() {
    close();
}

bool PresentChannel::open(const QString& linkPath) {
    m_path = pathFor(linkPath);
    const QByteArray path = QFile::encodeName(m_path);
    ::unlink(path.constData());
    if (::mkfifo(path.constData(), 0600) != 0) {
        m_error = m_path + QStringLiteral(": ") + reason();
        return false;
    }
    // Held for reading and writing, the pipe never reports an end when a writer leaves.
    m_fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = m_path + QStringLiteral(": ") + reason();
        ::unlink(path.constData());
        return false;
    }
    return true;
}

void PresentChannel::close() {
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(QFile::encodeName(m_path).constData());
}

QList<QByteArray> PresentChannel::takeLines() {
    char buf[512];
    ssize_t n;
    while (m_fd >= 0 && (n = ::read(m_fd, buf, sizeof buf)) > 0)
        m_pending.append(buf, n);
    QList<QByteArray> lines;
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        lines << m_pending.left(end).trimmed();
        m_pending.remove(0, end + 1);
    }
    // Nobody writes lines this long: drop what cannot become one.
    if (m_pending.size() > 4096)
        m_pending.clear();
    return lines;
}

bool PresentChannel::present(const QString& linkPath, const QList<QByteArray>& ids,
                             QString* error) {
    const QString pipePath = pathFor(linkPath);
    const QByteArray path = QFile::encodeName(pipePath);
    struct stat st {};
    // Without a reader a pipe refuses a non-blocking open: no simulator serves the link.
    const int fd = ::stat(path.constData(), &st) == 0 && S_ISFIFO(st.st_mode)
                       ? ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)
                       : -1;
    if (fd < 0) {
        *error = linkPath + QStringLiteral(": no running simulator serves it");
        return false;
    }
    QByteArray lines;
    for (const QByteArray& id : ids)
        lines += id + '\n';
    // Each line is far below the size a pipe writes in one piece.
    qsizetype done = 0;
    while (done < lines.size()) {
        const ssize_t n = ::write(fd, lines.constData() + done, size_t(lines.size() - done));
        if (n < 0 && errno == EAGAIN) {
            ::usleep(10000);
            continue;
        }
        if (n <= 0) {
            *error = pipePath + QStringLiteral(": ") + reason();
            ::close(fd);
            return false;
        }
        done += n;
    }
    ::close(fd);
    return true;
}
