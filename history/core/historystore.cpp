#include "historystore.h"

#include "monthlyfiles.h"
#include "registrationplan.h"
#include "regline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadChunk = std::size_t(1) << 20;
// The shortest line the control writes (a one-character status message) is about 34 bytes, a
// person's about 62: room for the usual mix without a second reallocation.
constexpr qint64 kTypicalLineBytes = 56;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Closes on every way out.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

void CHistoryStore::clear() {
    m_files.clear();
    m_records.clear();
    m_records.shrink_to_fit();
}

bool CHistoryStore::addFile(const QString& name) {
    if (m_files.size() > std::numeric_limits<std::uint16_t>::max())
        return false;
    MonthlyFile file;
    file.name = name;
    m_files.push_back(std::move(file));
    return true;
}

bool CHistoryStore::load(const QString& folder) {
    clear();
    m_folder = folder;
    if (!QFileInfo(folder).isDir() || !QDir(folder).isReadable())
        return false;
    const QStringList names = registrationsFilesIn(folder);
    qint64 bytes = 0;
    for (const QString& name : names)
        bytes += QFileInfo(QDir(folder).filePath(name)).size();
    m_records.reserve(std::size_t(bytes / kTypicalLineBytes));
    for (const QString& name : names) {
        if (!addFile(name))
            break;
        readFile(m_files.size() - 1);
    }
    // A generous guess is given back.
    if (m_records.capacity() > m_records.size() + m_records.size() / 4)
        m_records.shrink_to_fit();
    return true;
}

CHistoryStore::Refresh CHistoryStore::refresh() {
    Refresh result;
    result.firstNew = m_records.size();
    // A folder that went away (a network share, say) keeps what was read.
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        return result;
    const int damagedBefore = damagedLines();
    const bool pendingBefore = hasPendingLine();

    const QStringList names = registrationsFilesIn(m_folder);
    // Files come and go only at the end: anything else is read again from the start.
    bool reload = qsizetype(m_files.size()) > names.size();
    for (std::size_t i = 0; !reload && i < m_files.size(); ++i)
        reload = m_files[i].name != names[qsizetype(i)];
    for (std::size_t i = 0; !reload && i < m_files.size(); ++i)
        reload = readFile(i) == ReadResult::Replaced;
    for (qsizetype i = qsizetype(m_files.size()); !reload && i < names.size(); ++i) {
        if (!addFile(names[i]))
            break;
        readFile(m_files.size() - 1);
    }
    if (reload) {
        load(m_folder);
        result.firstNew = 0;
        result.reloaded = true;
        result.changed = true;
        return result;
    }
    result.changed = m_records.size() != result.firstNew || damagedLines() != damagedBefore ||
                     hasPendingLine() != pendingBefore;
    return result;
}

CHistoryStore::ReadResult CHistoryStore::readFile(std::size_t index) {
    MonthlyFile& f = m_files[index];
    const QByteArray path = QFile::encodeName(QDir(m_folder).filePath(f.name));
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        f.error = systemError();
        return ReadResult::Unreadable;
    }
    const bool known = f.readTo > 0;
    if (known &&
        (quint64(st.st_dev) != f.device || quint64(st.st_ino) != f.inode || st.st_size < f.readTo))
        return ReadResult::Replaced;
    if (st.st_size == f.readTo)
        return ReadResult::Read;

    const FileDescriptor file{::open(path.constData(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        f.error = systemError();
        return ReadResult::Unreadable;
    }
    if (known && (quint64(st.st_dev) != f.device || quint64(st.st_ino) != f.inode))
        return ReadResult::Replaced;
    f.device = quint64(st.st_dev);
    f.inode = quint64(st.st_ino);
    f.messages.reserve(f.messages.size() + std::size_t((st.st_size - f.readTo) / 3));

    std::string buffer(std::size_t(std::clamp<qint64>(st.st_size - f.readTo, 4096, kReadChunk)),
                       '\0');
    for (;;) {
        const ssize_t n = ::pread(file.fd, buffer.data(), buffer.size(), f.readTo);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            f.error = systemError();
            return ReadResult::Unreadable;
        }
        if (n == 0)
            break;
        f.readTo += n;
        takeBytes(index, std::string_view(buffer.data(), std::size_t(n)));
    }
    f.error.clear();
    return ReadResult::Read;
}

void CHistoryStore::takeBytes(std::size_t index, std::string_view bytes) {
    MonthlyFile& f = m_files[index];
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            if (f.inLongLine)
                return;
            if (f.pending.size() + bytes.size() > kLongestRegLine + 1) {
                ++f.damaged;
                f.inLongLine = true;
                f.pending.clear();
            } else {
                f.pending.append(bytes);
            }
            return;
        }
        const std::string_view piece = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
        if (f.inLongLine) {
            f.inLongLine = false;
        } else if (!f.pending.empty()) {
            f.pending.append(piece);
            takeLine(index, f.pending);
            f.pending.clear();
        } else {
            takeLine(index, piece);
        }
    }
}

void CHistoryStore::takeLine(std::size_t index, std::string_view line) {
    MonthlyFile& f = m_files[index];
    // The control ends its lines in CR LF; a copy that lost the CR still reads.
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const std::optional<RegLine> parsed = parseRegLine(line);
    if (!parsed ||
        f.messages.size() + parsed->message.size() > std::numeric_limits<std::uint32_t>::max()) {
        ++f.damaged;
        return;
    }
    HistoryRecord r;
    r.when = parsed->when;
    r.messageOffset = std::uint32_t(f.messages.size());
    r.messageLength = std::uint16_t(parsed->message.size());
    f.messages.append(parsed->message);
    r.media = m_media.intern(parsed->mediaId);
    r.action = m_actions.intern(parsed->action);
    r.file = std::uint16_t(index);
    r.port = std::uint8_t(parsed->port);
    r.person = isPerson(r.media, r.action);
    m_records.push_back(r);
}

bool CHistoryStore::isPerson(std::uint32_t media, std::uint32_t action) {
    const std::uint64_t key = (std::uint64_t(media) << 32) | action;
    const auto found = m_personRule.find(key);
    if (found != m_personRule.end())
        return found->second;
    // The control's texts reach the program as Latin-1, and the intake judges them so.
    const std::string_view a = m_actions.text(action);
    const std::string_view m = m_media.text(media);
    const bool person = isPersonRegistration(QString::fromLatin1(a.data(), qsizetype(a.size())),
                                             QString::fromLatin1(m.data(), qsizetype(m.size())));
    m_personRule.emplace(key, person);
    return person;
}

int CHistoryStore::damagedLines() const {
    int damaged = 0;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        damaged += m_files[i].damaged;
        // Nobody finishes a line in a file that is no longer the newest.
        if (i + 1 < m_files.size() && !m_files[i].pending.empty())
            ++damaged;
    }
    return damaged;
}

bool CHistoryStore::hasPendingLine() const {
    return !m_files.empty() && !m_files.back().pending.empty();
}

QStringList CHistoryStore::errors() const {
    QStringList errors;
    for (const MonthlyFile& f : m_files) {
        if (!f.error.isEmpty())
            errors.append(QStringLiteral("%1: %2").arg(f.name, f.error));
    }
    return errors;
}
