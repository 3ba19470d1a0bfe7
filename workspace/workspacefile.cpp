#include "workspacefile.h"

#include "termpanel.h"

#include <QFile>
#include <QFileInfo>

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
    if (!in.text(magic))
        return failure(kTruncated.arg(QStringLiteral("the file header")));
    if (magic.size() != kMagicLength || std::memcmp(magic.data(), kMagic, kMagicLength) != 0)
        return {WorkspaceLoadResult::Status::NotTarvex, {}};
    int version = 0;
    if (!in.int32(version))
        return failure(kTruncated.arg(QStringLiteral("the file header")));
    if (version != kVersion)
        return {WorkspaceLoadResult::Status::NotTarvex, {}};

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
    int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(QStringLiteral("Cannot open %1: %2").arg(path, errnoText(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return failure(QStringLiteral("Cannot read %1: %2")
                           .arg(path, S_ISDIR(st.st_mode) ? errnoText(EISDIR) : errnoText(error)));
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
        return {false, QStringLiteral("The workspace is too large to be saved.")};
    const std::string bytes = Serialize(doc);

    // Save through a link into the file it names rather than replacing the link.
    QFileInfo info(path);
    QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    QFileInfo targetInfo(target);
    const QByteArray finalName = QFile::encodeName(target);
    QByteArray tempName =
        QFile::encodeName(targetInfo.absolutePath() + QLatin1Char('/') + QLatin1Char('.') +
                          targetInfo.fileName() + QStringLiteral(".XXXXXX"));

    int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        return {false, QStringLiteral("Cannot save %1: cannot create a file in its folder: %2")
                           .arg(path, errnoText(errno))};
    }

    // Keep the old file's permissions; a new file gets the usual ones for the user's umask.
    struct stat st {};
    mode_t mode;
    if (::stat(finalName.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
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
        return {false, QStringLiteral("Cannot save %1: %2").arg(path, errnoText(error))};
    }
    // Make the rename itself durable.
    const QByteArray dirName = QFile::encodeName(targetInfo.absolutePath());
    int dirFd = ::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}
