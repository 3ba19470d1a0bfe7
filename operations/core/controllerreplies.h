#pragma once

#include <QString>

#include <optional>
#include <string>

// The fixed-length texts the controller operations read and write.

inline constexpr int kRecordTextLength = 16;

struct RelayTimes {
    int relay1 = 0;
    int relay2 = 0;
    bool operator==(const RelayTimes&) const = default;
    // Both are indices of the eight listed times (a workspace file may hold any number).
    bool listed() const { return relay1 >= 0 && relay1 < 8 && relay2 >= 0 && relay2 < 8; }
};

// The relay time indices of a 16-character parameter record: the decimal numbers in
// characters 0-1 and 2-3, each cut to its three lowest bits; nothing for another length.
std::optional<RelayTimes> parseRelayTimes(const QString& record);
// The 16-character parameter record of two relay time indices.
QString relayTimesRecord(const RelayTimes& times);
// A master reply is a MediaID when it has 16 characters; anything else is the control's text.
bool isMediaIdReply(const QString& reply);
// A slot of the ID-table mirror read as the hexadecimal number it is; nothing when it is not
// one of 0-255.
std::optional<int> slotNumber(const std::string& slot);
