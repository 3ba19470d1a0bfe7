#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace vr12comm {

// A COM port behind a serial device server: the device folder's COMn is then a regular file
// whose one line is tcp://HOST:PORT (raw TCP, the line settings made on the server).
struct TcpAddress {
    QString host;
    quint16 port = 0;
};

// The address the file at `path` names; nullopt with the reason in *error when it names none.
std::optional<TcpAddress> readTcpLink(const QString& path, QString* error);

// A connected, non-blocking socket with keep-alive and without send delay, or -1 with the
// reason in *error and errno set. A server that does not answer within `timeout` counts as
// unreachable.
int connectTcp(const TcpAddress& address, std::chrono::milliseconds timeout, QString* error);

} // namespace vr12comm
