#include "controllerreplies.h"

namespace {
// The leading decimal digits of a field, as a C library conversion reads them.
int leadingNumber(QStringView field) {
    int value = 0;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}
} // namespace

std::optional<RelayTimes> parseRelayTimes(const QString& record) {
    if (record.size() != kRecordTextLength)
        return std::nullopt;
    const QStringView text(record);
    return RelayTimes{leadingNumber(text.mid(0, 2)) & 7, leadingNumber(text.mid(2, 2)) & 7};
}

QString relayTimesRecord(const RelayTimes& times) {
    return QString::asprintf("%02d%02d000000000000", times.relay1, times.relay2);
}

bool isMediaIdReply(const QString& reply) {
    return reply.size() == kRecordTextLength;
}

std::optional<int> slotNumber(const std::string& slot) {
    bool ok = false;
    const int n = QString::fromStdString(slot).toInt(&ok, 16);
    if (!ok || n < 0 || n > 255)
        return std::nullopt;
    return n;
}
