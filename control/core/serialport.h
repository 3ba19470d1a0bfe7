#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>

namespace vr12comm {

// One serial device opened for exclusive use at 2400 baud 8N1, no flow control,
// or a raw TCP connection to a serial server when the path is a link file (see
// tcplink.h), held exclusively through a lock on that file. Every read follows the line's time-out
// rules: a read of n bytes ends when n bytes arrived, when more than 50 ms pass between two bytes,
// or when 40 ms * n + 300 ms have passed in total.
class SerialPort {
public:
    enum OpenResult : short {
        Opened = 0,
        OpenFailed = -1,
        GetSettingsFailed = -2,
        SetSettingsFailed = -3
    };

    static constexpr std::chrono::milliseconds kInterval{50};
    static constexpr std::chrono::milliseconds kPerByte{40};
    static constexpr std::chrono::milliseconds kConstant{300};

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    short open(const QString& devicePath);
    // True when a valid handle was closed.
    bool close();
    bool isOpen() const { return m_fd.load() >= 0; }
    // The descriptor to wait on (-1 while closed).
    int handle() const { return m_fd.load(); }
    bool isNetwork() const { return m_lockFd >= 0; }
    // The line hung up under an open handle (adapter pulled, other end gone);
    // it stays so until the port is opened again.
    bool isLost() const { return m_lost.load(); }

    // Discards unread input (output never waits: writes are drained).
    void purge();
    // Writes all of data unless the line fails and waits until it has been
    // sent; returns the count written.
    qsizetype write(const QByteArray& data);
    QByteArray read(int maxCount);
    // Whatever is already queued, up to maxCount bytes, without waiting.
    QByteArray readQueued(int maxCount);
    // Everything that arrives until the line has been quiet for `quiet` (from
    // the call or from the last byte), or until `limit` has passed.
    QByteArray readUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

    static std::chrono::milliseconds totalTimeout(int count) {
        return kPerByte * count + kConstant;
    }

    // Why the last open failed, for messages ("missing", "busy", ...).
    QString lastError() const { return m_lastError; }
    int lastErrno() const { return m_lastErrno; }

private:
    void fail(int err, const QString& what);
    short openNetwork(const QString& linkPath);

    std::atomic<int> m_fd{-1};
    std::atomic<bool> m_lost{false};
    // The link file's descriptor, locked while its connection is open; -1 for a device.
    int m_lockFd = -1;
    QString m_lastError;
    int m_lastErrno = 0;
};

} // namespace vr12comm
