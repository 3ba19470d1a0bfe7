#include "reportqueuefiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString base(const QString& folder, int slot) {
    return folder + (slot <= 1 ? QStringLiteral("/ReportQueue")
                               : QStringLiteral("/ReportQueue-%1").arg(slot));
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

int openFile(const QString& path, int flags) {
    int fd;
    do
        fd = ::open(native(path).constData(), flags | O_CLOEXEC, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray readAll(int fd) {
    QByteArray bytes;
    char buffer[64 * 1024];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, n);
        at += n;
    }
    return bytes;
}

QByteArray readPath(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Cuts a last line that has no line end: a write that a killed process never finished.
// Complete lines before it stay.
void cutTornTail(int fd, const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.endsWith('\n'))
        return;
    const qsizetype keep = bytes.lastIndexOf('\n') + 1;
    if (::ftruncate(fd, off_t(keep)) != 0) {
        // Nothing better to do: the next line still starts after a line end of its own.
        (void)writeAll(fd, QByteArrayLiteral("\n"));
    }
}

void syncFolder(const QString& folder) {
    const int fd = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

ReportQueueFiles::~ReportQueueFiles() {
    close();
}

QString ReportQueueFiles::queuePath(const QString& folder, int slot) {
    return base(folder, slot) + QStringLiteral(".txt");
}

QString ReportQueueFiles::markerPath(const QString& folder, int slot) {
    return base(folder, slot) + QStringLiteral(".sent");
}

QList<int> ReportQueueFiles::slotsIn(const QString& folder) {
    QList<int> found;
    static const QRegularExpression name(QStringLiteral("^ReportQueue(?:-(\\d+))?\\.txt$"));
    for (const QString& file :
         QDir(folder).entryList({QStringLiteral("ReportQueue*.txt")}, QDir::Files)) {
        const QRegularExpressionMatch m = name.match(file);
        if (!m.hasMatch())
            continue;
        const int slot = m.captured(1).isEmpty() ? 1 : m.captured(1).toInt();
        if (slot >= 1 && slot <= kMaxSlots && (slot == 1 || !m.captured(1).startsWith(u'0')))
            found << slot;
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool ReportQueueFiles::fail(const QString& what) {
    m_error = what;
    close();
    return false;
}

bool ReportQueueFiles::open(const QString& folder, int slot) {
    close();
    m_error.clear();
    if (slot < 1 || slot > kMaxSlots)
        return fail(QStringLiteral("no queue slot %1").arg(slot));
    QDir().mkpath(folder);
    m_folder = folder;
    m_slot = slot;
    const QString lockPath = base(folder, slot) + QStringLiteral(".lock");
    m_lockFd = openFile(lockPath, O_RDWR | O_CREAT);
    if (m_lockFd < 0)
        return fail(QStringLiteral("%1: %2").arg(lockPath, systemError()));
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0)
        return fail(QStringLiteral("%1 is held by another program").arg(lockPath));

    m_markerFd = openFile(markerPath(folder, slot), O_RDWR | O_CREAT);
    if (m_markerFd < 0)
        return fail(QStringLiteral("%1: %2").arg(markerPath(folder, slot), systemError()));
    QByteArray marker = readAll(m_markerFd);
    if (marker.endsWith('\n'))
        marker.chop(1);
    // A marker that does not read (a power cut inside its write) sends the file's entries
    // again rather than drop one.
    const quint64 sentUpTo = decodeMarker(marker).value_or(0);

    m_queueFd = openFile(queuePath(folder, slot), O_RDWR | O_CREAT | O_APPEND);
    if (m_queueFd < 0)
        return fail(QStringLiteral("%1: %2").arg(queuePath(folder, slot), systemError()));
    const QByteArray bytes = readAll(m_queueFd);
    cutTornTail(m_queueFd, bytes);
    m_size = bytes.lastIndexOf('\n') + 1;
    m_lastSeq = sentUpTo;
    m_loaded.clear();
    quint64 previous = sentUpTo;
    for (QueuedReport& r : decodeQueuedLines(bytes, &m_skipped)) {
        m_lastSeq = std::max(m_lastSeq, r.seq);
        // Only what follows the marker waits, and each number once, in the file's order.
        if (r.seq > previous) {
            previous = r.seq;
            m_loaded.append(std::move(r));
        }
    }
    return true;
}

bool ReportQueueFiles::openFirstFree(const QString& folder) {
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        if (open(folder, slot))
            return true;
    m_error = QStringLiteral("every report queue slot in %1 is held").arg(folder);
    return false;
}

void ReportQueueFiles::close() {
    closeFd(m_queueFd);
    closeFd(m_markerFd);
    closeFd(m_lockFd); // the lock goes with its last descriptor
    m_loaded.clear();
}

bool ReportQueueFiles::append(const QueuedReport& report) {
    if (m_queueFd < 0)
        return false;
    m_lastSeq = std::max(m_lastSeq, report.seq);
    const QByteArray line = encodeQueued(report);
    if (!writeAll(m_queueFd, line))
        return false;
    m_size += line.size();
    return true;
}

bool ReportQueueFiles::sync() {
    return m_queueFd >= 0 && ::fdatasync(m_queueFd) == 0;
}

bool ReportQueueFiles::markSent(quint64 seq, bool durable) {
    if (m_markerFd < 0)
        return false;
    const QByteArray line = encodeMarker(seq);
    // One write of a fixed size at the start: a killed process leaves the old marker or the new.
    if (::pwrite(m_markerFd, line.constData(), size_t(line.size()), 0) != line.size())
        return false;
    return !durable || ::fdatasync(m_markerFd) == 0;
}

bool ReportQueueFiles::syncMarker() {
    return m_markerFd >= 0 && ::fdatasync(m_markerFd) == 0;
}

bool ReportQueueFiles::rewrite(const QList<QueuedReport>& waiting) {
    if (m_queueFd < 0)
        return false;
    if (waiting.isEmpty()) {
        // Nothing waits: the file starts again empty; the marker keeps the numbers going on.
        if (::ftruncate(m_queueFd, 0) != 0)
            return false;
        m_size = 0;
        return true;
    }
    const QString path = queuePath(m_folder, m_slot);
    const QString temporary = path + QStringLiteral(".new");
    const int fd = openFile(temporary, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0)
        return false;
    QByteArray bytes;
    for (const QueuedReport& r : waiting)
        bytes += encodeQueued(r);
    const bool written = writeAll(fd, bytes) && ::fdatasync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(native(temporary).constData(), native(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    syncFolder(m_folder);
    const int reopened = openFile(path, O_RDWR | O_APPEND);
    if (reopened < 0)
        return false;
    ::close(m_queueFd);
    m_queueFd = reopened;
    m_size = bytes.size();
    return true;
}

QList<QueuedReport> ReportQueueFiles::peek(const QString& folder, int slot, int* skipped) {
    QByteArray marker = readPath(markerPath(folder, slot));
    if (marker.endsWith('\n'))
        marker.chop(1);
    const quint64 sentUpTo = decodeMarker(marker).value_or(0);
    QList<QueuedReport> waiting;
    quint64 previous = sentUpTo;
    for (QueuedReport& r : decodeQueuedLines(readPath(queuePath(folder, slot)), skipped)) {
        if (r.seq > previous) {
            previous = r.seq;
            waiting.append(std::move(r));
        }
    }
    return waiting;
}

namespace {
// The refused file, opened and locked for the length of one change.
class HeldRefusedFile {
public:
    explicit HeldRefusedFile(const QString& folder) {
        QDir().mkpath(folder);
        fd = openFile(ReportRefusedFile::path(folder), O_RDWR | O_CREAT | O_APPEND);
        if (fd >= 0 && ::flock(fd, LOCK_EX) != 0)
            closeFd(fd);
        if (fd < 0)
            error = QStringLiteral("%1: %2").arg(ReportRefusedFile::path(folder), systemError());
    }
    ~HeldRefusedFile() { closeFd(fd); }
    HeldRefusedFile(const HeldRefusedFile&) = delete;
    HeldRefusedFile& operator=(const HeldRefusedFile&) = delete;

    int fd = -1;
    QString error;
};
} // namespace

QString ReportRefusedFile::path(const QString& folder) {
    return folder + QStringLiteral("/ReportRefused.txt");
}

bool ReportRefusedFile::append(const QString& folder, const RefusedReport& report, QString* error) {
    HeldRefusedFile file(folder);
    if (file.fd < 0) {
        if (error)
            *error = file.error;
        return false;
    }
    cutTornTail(file.fd, readAll(file.fd));
    const bool ok = writeAll(file.fd, encodeRefused(report)) && ::fdatasync(file.fd) == 0;
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(path(folder), systemError());
    return ok;
}

QList<RefusedReport> ReportRefusedFile::read(const QString& folder, int* skipped) {
    return decodeRefusedLines(readPath(path(folder)), skipped);
}

bool ReportRefusedFile::take(const QString& folder,
                             const std::function<bool(const QList<RefusedReport>&)>& put,
                             QString* error) {
    HeldRefusedFile file(folder);
    if (file.fd < 0) {
        if (error)
            *error = file.error;
        return false;
    }
    const QList<RefusedReport> refused = decodeRefusedLines(readAll(file.fd));
    if (refused.isEmpty())
        return true;
    if (!put(refused))
        return false;
    if (::ftruncate(file.fd, 0) != 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path(folder), systemError());
        return false;
    }
    return true;
}
