#include "mediaid.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

std::string checkByteText(std::string_view body14) {
    static const char digits[] = "0123456789ABCDEF";
    const std::uint8_t crc = MediaIdCheckByte(body14);
    return {digits[crc >> 4], digits[crc & 0x0F]};
}

} // namespace

std::uint8_t OneWireCrc8(const std::uint8_t* data, std::size_t size) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint8_t((crc >> 1) ^ 0x8C) : std::uint8_t(crc >> 1);
    }
    return crc;
}

std::uint8_t MediaIdCheckByte(std::string_view body14) {
    std::uint8_t bytes[7] = {};
    for (std::size_t i = 0; i < 7; ++i) {
        const std::size_t pos = 12 - 2 * i;
        if (pos + 1 < body14.size())
            bytes[i] = std::uint8_t(hexValue(body14[pos]) << 4 | hexValue(body14[pos + 1]));
    }
    return OneWireCrc8(bytes, 7);
}

const char* MediaTypeFamilyCode(int mediaType) {
    switch (mediaType) {
    case MediaIButton:
        return "01";
    case MediaRfCard:
        return "44";
    default:
        return "02";
    }
}

std::optional<std::string> NormalizeMediaId(std::string_view field, int mediaType) {
    std::string id(field);
    for (char& c : id)
        c = upperAscii(c);
    switch (id.size()) {
    case 8: {
        const std::string body = "0000" + id + MediaTypeFamilyCode(mediaType);
        return checkByteText(body) + body;
    }
    case 14:
        return checkByteText(id) + id;
    case 16:
        if (checkByteText(std::string_view(id).substr(2)) != id.substr(0, 2))
            return std::nullopt;
        return id;
    default:
        return std::nullopt;
    }
}
