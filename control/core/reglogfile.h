#pragma once

#include <QByteArray>
#include <QString>

namespace vr12comm {

// The control's registrations file: created when missing, never truncated,
// shared with other writers, every line appended at the end and flushed to disk.
class RegLogFile {
public:
    RegLogFile() = default;
    ~RegLogFile();
    RegLogFile(const RegLogFile&) = delete;
    RegLogFile& operator=(const RegLogFile&) = delete;

    bool open(const QString& fileName);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Appends one line; false when the file is closed or the write failed.
    bool append(const QByteArray& line);
    QString lastError() const { return m_lastError; }

private:
    int m_fd = -1;
    QString m_lastError;
};

} // namespace vr12comm
