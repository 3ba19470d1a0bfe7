#include "regline.h"

namespace {

// The value of `count` decimal digits at `text`, or -1.
int digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool hasBinaryBytes(std::string_view line) {
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

// "COM1" to "COM255" as the control names its port; 0 otherwise.
int portOf(std::string_view field) {
    if (field.size() < 4 || field.size() > 6 || field.substr(0, 3) != "COM" || field[3] == '0')
        return 0;
    const int n = digits(field, 3, field.size() - 3);
    return n >= 1 && n <= 255 ? n : 0;
}

std::optional<RegTime> momentOf(std::string_view line) {
    constexpr std::string_view shape = "0000-00-00 00:00:00";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] != '0' && line[i] != shape[i])
            return std::nullopt;
    }
    const int year = digits(line, 0, 4);
    const int month = digits(line, 5, 2);
    const int day = digits(line, 8, 2);
    const int hour = digits(line, 11, 2);
    const int minute = digits(line, 14, 2);
    const int second = digits(line, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    return regTimeOf(QDate(year, month, day), hour * 3600 + minute * 60 + second);
}

} // namespace

std::optional<RegLine> parseRegLine(std::string_view line) {
    constexpr std::size_t kMomentLength = 19;
    // The moment, its comma, three more commas and the shortest port.
    if (line.size() < kMomentLength + 1 + 3 + 4 || line.size() > kLongestRegLine ||
        line[kMomentLength] != ',' || hasBinaryBytes(line))
        return std::nullopt;
    const std::optional<RegTime> when = momentOf(line);
    if (!when)
        return std::nullopt;

    std::string_view rest = line.substr(kMomentLength + 1);
    std::string_view fields[2]; // port, media ID: from the right
    for (std::string_view& field : fields) {
        const std::size_t comma = rest.rfind(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        field = rest.substr(comma + 1);
        rest = rest.substr(0, comma);
    }
    // Left is "message,action". A status message (no media ID) has for its action the message
    // without its leading signs, commas and all, so the two hold as many commas each and the
    // middle one parts them; otherwise the action is at most one character.
    std::size_t commas = 0;
    for (const char c : rest)
        commas += c == ',' ? 1 : 0;
    if (commas == 0)
        return std::nullopt;
    std::size_t parting = rest.rfind(',');
    if (fields[1].empty() && commas % 2 == 1) {
        parting = rest.find(',');
        for (std::size_t seen = 1; seen <= commas / 2; ++seen)
            parting = rest.find(',', parting + 1);
    }
    RegLine r;
    r.when = *when;
    r.port = portOf(fields[0]);
    r.mediaId = fields[1];
    r.action = rest.substr(parting + 1);
    r.message = rest.substr(0, parting);
    if (r.port == 0 || (!r.mediaId.empty() && r.mediaId.size() != 16))
        return std::nullopt;
    return r;
}
