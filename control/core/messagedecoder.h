#pragma once

#include <QByteArray>
#include <QDateTime>

namespace vr12comm {

// One received message taken apart. Texts are the controller's 8-bit bytes.
struct Registration {
    QByteArray lastReg;
    QByteArray action;
    QByteArray iButtonId;
    QByteArray dateReg;
    QByteArray timeReg;
    QByteArray logLine; // ends in "\r\n", as written to the log file
};

// Decodes `message` (the whole text, up to any zero byte) as received at `when`
// (local time) on port `portName`.
Registration decodeMessage(const QByteArray& message, const QDateTime& when,
                           const QByteArray& portName);

} // namespace vr12comm
