// Feeds arbitrary bytes, as a message a controller sent of its own accord, to the registration
// decoder. The raw text is the message up to its first zero byte, the media ID is 16 bytes of it
// or nothing, and the log line is one line holding each field.
#include "messagedecoder.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray message(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QDateTime when(QDate(2026, 12, 31), QTime(23, 59, 58));
    const vr12comm::Registration r = vr12comm::decodeMessage(message, when, "COM7");

    const qsizetype nul = message.indexOf('\0');
    if (r.lastReg != (nul < 0 ? message : message.left(nul)))
        std::abort();
    if (!r.iButtonId.isEmpty() && (r.iButtonId.size() != 16 || r.iButtonId != r.lastReg.mid(1, 16)))
        std::abort();
    if (r.action.size() > r.lastReg.size() && r.action != "?")
        std::abort();
    if (r.dateReg != "2026-12-31" || r.timeReg != "23:59:58")
        std::abort();
    const QByteArray expected =
        "2026-12-31 23:59:58," + r.lastReg + ',' + r.action + ',' + r.iButtonId + ",COM7\r\n";
    if (r.logLine != expected)
        std::abort();
    return 0;
}
