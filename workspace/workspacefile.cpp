#include "workspacefile.h"

#include "termpanel.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMagic[] = "Tarvex";
constexpr std::size_t kMagicLength = sizeof(kMagic) - 1;
// The magic as every writer puts it: its one-byte length, then the text.
constexpr char kHeaderStart[] = "\x06Tarvex";
constexpr std::size_t kHeaderStartLength = sizeof(kHeaderStart) - 1;

// Reads the file's primitives; every read checks the bytes left before touching or
// allocating anything, so corrupt prefixes and counts end in a clean failure.
class Reader {
public:
    Reader(const char* data, std::size_t size) : m_p(data), m_end(data + size) {}

    std::size_t left() const { return std::size_t(m_end - m_p); }

    bool int32(int& value) {
        if (left() < 4)
            return false;
        std::uint32_t u =
            std::uint32_t(std::uint8_t(m_p[0])) | std::uint32_t(std::uint8_t(m_p[1])) << 8 |
            std::uint32_t(std::uint8_t(m_p[2])) << 16 | std::uint32_t(std::uint8_t(m_p[3])) << 24;
        m_p += 4;
        value = std::int32_t(u);
        return true;
    }

    bool text(std::string& out) {
        if (left() < 1)
            return false;
        std::uint32_t length = std::uint8_t(*m_p++);
        if (length == 0xFF) {
            if (left() < 2)
                return false;
            length = std::uint32_t(std::uint8_t(m_p[0])) | std::uint32_t(std::uint8_t(m_p[1])) << 8;
            m_p += 2;
            if (length == 0xFFFF) {
                if (left() < 4)
                    return false;
                length = std::uint32_t(std::uint8_t(m_p[0])) |
                         std::uint32_t(std::uint8_t(m_p[1])) << 8 |
                         std::uint32_t(std::uint8_t(m_p[2])) << 16 |
                         std::uint32_t(std::uint8_t(m_p[3])) << 24;
                m_p += 4;
            }
        }
        if (length > left())
            return false;
        out.assign(m_p, length);
        m_p += length;
        return true;
    }

private:
    const char* m_p;
    const char* m_end;
};

void putInt32(std::string& out, int value) {
    auto u = std::uint32_t(value);
    const char bytes[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
                           char((u >> 24) & 0xFF)};
    out.append(bytes, 4);
}

// The shortest of the three prefix forms.
void putText(std::string& out, const std::string& text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
        out.push_back(char(length));
    } else if (length < 0xFFFE) {
        out.push_back(char(0xFF));
        out.push_back(char(length & 0xFF));
        out.push_back(char((length >> 8) & 0xFF));
    } else {
        out.push_back(char(0xFF));
        out.push_back(char(0xFF));
        out.push_back(char(0xFF));
        putInt32(out, int(std::uint32_t(length)));
    }
    out.append(text);
}

const QString kTruncated = QStringLiteral("The file is damaged: it ends in the middle of %1.");

WorkspaceLoadResult failure(const QString& reason) {
    return {WorkspaceLoadResult::Status::Failed, reason};
}

WorkspaceLoadResult notWorkspace() {
    return {WorkspaceLoadResult::Status::NotWorkspace, {}};
}

// A file cut off inside the magic is a damaged workspace rather than a foreign file.
bool isCutHeader(const char* data, std::size_t size) {
    return size < kHeaderStartLength && std::memcmp(data, kHeaderStart, size) == 0;
}

// Where a save to path ends up: symbolic links are followed, however many, to the name the
// last one gives (which need not exist yet). Relative link targets count from the link's
// folder; nothing is cleaned lexically, since ".." after a linked folder is not its parent.
QByteArray followLinks(QByteArray current) {
    if (!current.startsWith('/')) {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            current = QByteArray(cwd) + '/' + current;
    }
    // The kernel gives up after 40 links as well; stat() then reports the loop.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.constData(), target, sizeof target);
        if (length <= 0 || std::size_t(length) >= sizeof target)
            break;
        const QByteArray next(target, length);
        if (next.startsWith('/'))
            current = next;
        else
            current = current.left(current.lastIndexOf('/') + 1) + next;
    }
    return current;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

} // namespace

WorkspaceLoadResult CWorkspaceFile::Parse(const char* data, std::size_t size,
                                          CTarvexDoc::EmployeeMap& employees,
                                          CTarvexDoc::ControllerMap& controllers) {
    if (size == 0)
        return {};
    Reader in(data, size);
    std::string magic;
    if (!in.text(magic)) {
        if (isCutHeader(data, size))
            return failure(kTruncated.arg(QStringLiteral("the file header")));
        return notWorkspace();
    }
    if (magic.size() != kMagicLength || std::memcmp(magic.data(), kMagic, kMagicLength) != 0)
        return notWorkspace();
    int version = 0;
    if (!in.int32(version))
        return failure(kTruncated.arg(QStringLiteral("the file header")));
    if (version != kVersion) {
        WorkspaceLoadResult other{WorkspaceLoadResult::Status::OtherVersion, {}};
        other.version = version;
        return other;
    }

    int count = 0;
    if (!in.int32(count))
        return failure(kTruncated.arg(QStringLiteral("the employee count")));
    std::string mediaId;
    for (int i = 0; i < count; ++i) {
        CEmpRecord employee;
        if (!in.text(mediaId) || !in.text(employee.FirstName) || !in.text(employee.LastName))
            return failure(
                kTruncated.arg(QStringLiteral("employee %1 of %2").arg(i + 1).arg(count)));
        employees.try_emplace(mediaId, std::move(employee));
    }

    if (!in.int32(count))
        return failure(kTruncated.arg(QStringLiteral("the controller count")));
    std::string slot;
    for (int i = 0; i < count; ++i) {
        CTermRecord record;
        int comPort = 0;
        int entries = 0;
        bool ok = in.int32(comPort) && in.int32(record.ID) && in.int32(record.Code) &&
                  in.text(record.Name) && in.int32(record.Relay1Time) &&
                  in.int32(record.Relay2Time) && in.text(record.Master) &&
                  in.text(record.MasterName) && in.text(record.Firmware) && in.int32(entries);
        for (int k = 0; ok && k < entries; ++k) {
            ok = in.text(mediaId) && in.text(slot);
            if (ok)
                record.IdTable.try_emplace(mediaId, slot);
        }
        if (!ok)
            return failure(
                kTruncated.arg(QStringLiteral("controller %1 of %2").arg(i + 1).arg(count)));
        controllers.try_emplace(comPort, std::move(record));
    }
    return {};
}

std::string CWorkspaceFile::Serialize(const CTarvexDoc& doc) {
    std::string out;
    // A rough size guess saves most of the regrowth on large workspaces.
    out.reserve(64 + doc.Employees().size() * 48 + doc.Controllers().size() * 64);
    putText(out, kMagic);
    putInt32(out, kVersion);
    putInt32(out, int(doc.Employees().size()));
    for (const auto& [mediaId, employee] : doc.Employees()) {
        putText(out, mediaId);
        putText(out, employee.FirstName);
        putText(out, employee.LastName);
    }
    putInt32(out, int(doc.Controllers().size()));
    for (const auto& [comPort, record] : doc.Controllers()) {
        putInt32(out, comPort);
        putInt32(out, record.ID);
        putInt32(out, record.Code);
        putText(out, record.Name);
        if (const ITermPanel* panel = record.Panel) {
            putInt32(out, panel->Relay1Time());
            putInt32(out, panel->Relay2Time());
            putText(out, panel->Master());
            putText(out, panel->MasterName());
            putText(out, panel->Firmware());
        } else {
            // No panel (none could be created): the record is the best copy there is.
            putInt32(out, record.Relay1Time);
            putInt32(out, record.Relay2Time);
            putText(out, record.Master);
            putText(out, record.MasterName);
            putText(out, record.Firmware);
        }
        putInt32(out, int(record.IdTable.size()));
        for (const auto& [mediaId, slot] : record.IdTable) {
            putText(out, mediaId);
            putText(out, slot);
        }
    }
    return out;
}

WorkspaceLoadResult CWorkspaceFile::Load(const QString& path, CTarvexDoc& doc) {
    doc.ClearWorkspace();
    doc.SetModifiedFlag(false);

    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a pipe without a writer is refused instead of waited on.
    int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        return failure(QStringLiteral("Cannot open %1: %2").arg(path, errnoText(error)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        const QString why = S_ISDIR(st.st_mode)   ? errnoText(EISDIR)
                            : st.st_mode & S_IFMT ? QStringLiteral("not a regular file")
                                                  : errnoText(error);
        return failure(QStringLiteral("Cannot read %1: %2").arg(path, why));
    }
    std::string bytes;
    bytes.resize(std::size_t(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return failure(QStringLiteral("Cannot read %1: %2").arg(path, errnoText(error)));
        }
        if (n == 0)
            break; // shrank while we read: parse what is there
        got += std::size_t(n);
    }
    ::close(fd);
    bytes.resize(got);

    CTarvexDoc::EmployeeMap employees;
    CTarvexDoc::ControllerMap controllers;
    WorkspaceLoadResult result = Parse(bytes.data(), bytes.size(), employees, controllers);
    bytes = std::string(); // the maps are all that is needed from here on
    // A foreign or newer file is refused whole: an empty workspace in its name would be saved
    // over it.
    if (result.failed()) {
        doc.FillAllLists();
        return result;
    }
    doc.AdoptContent(std::move(employees), std::move(controllers));
    doc.CreateAllPanels();
    doc.FillAllLists();
    return result;
}

WorkspaceSaveResult CWorkspaceFile::Save(const CTarvexDoc& doc, const QString& path) {
    if (doc.Employees().size() > std::size_t(INT_MAX) ||
        doc.Controllers().size() > std::size_t(INT_MAX))
        return {false, false, QStringLiteral("The workspace is too large to be saved.")};
    const std::string bytes = Serialize(doc);

    // Save through links into the file they name rather than replacing the link.
    const QByteArray finalName = followLinks(QFile::encodeName(path));
    struct stat st {};
    const bool exists = ::stat(finalName.constData(), &st) == 0;
    const int statError = exists ? 0 : errno;
    if (!exists && statError != ENOENT)
        return {false, false, QStringLiteral("Cannot save %1: %2").arg(path, errnoText(statError))};
    // Renaming over a device, pipe or socket would replace it with a plain file.
    if (exists && !S_ISREG(st.st_mode))
        return {false, true, QStringLiteral("Cannot save %1: not a regular file").arg(path)};

    const int slash = finalName.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : finalName.left(slash);
    QByteArray tempName = finalName.left(slash + 1) + '.' + finalName.mid(slash + 1) + ".XXXXXX";
    int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        return {false, false,
                QStringLiteral("Cannot save %1: cannot create a file in its folder: %2")
                    .arg(path, errnoText(errno))};
    }

    // The old file's owner, group and permissions carry over. Only root may give a file away;
    // anyone may keep a group they belong to. A new file gets the usual mode for the umask.
    mode_t mode;
    if (exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, uid_t(-1), st.st_gid) != 0) {
            // Then it belongs to the saving user, as any file the user creates.
        }
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // After fchown, which clears set-id bits.
    ::fchmod(fd, mode);

    int error = 0;
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(tempName.constData(), finalName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempName.constData());
        return {false, false, QStringLiteral("Cannot save %1: %2").arg(path, errnoText(error))};
    }
    // Make the rename itself durable.
    int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}
