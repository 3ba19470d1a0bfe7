#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Media type chosen for short (8-character) IDs; it only supplies their family code.
enum MediaType { MediaIButton = 0, MediaRfCard = 1, MediaMagneticCard = 2 };

// The 1-Wire CRC-8 (x^8 + x^5 + x^4 + 1, least significant bit first, initial 0).
std::uint8_t OneWireCrc8(const std::uint8_t* data, std::size_t size);

// Check byte of a MediaID body: the 14 characters after the check byte, read as the pairs at
// 12, 10, ..., 0 (family code first, then the serial number from its least significant byte).
// Characters that are not hexadecimal digits count as 0.
std::uint8_t MediaIdCheckByte(std::string_view body14);

// Turns a raw media ID field into the program's 16-character MediaID, or rejects it
// (nullopt). The field is upper-cased first. 8 characters: "0000" + field + the media type's
// family code, with the check byte in front; 14: the check byte in front; 16: kept as it is
// when its first two characters are the right check byte. Anything else is rejected.
// Non-hexadecimal characters are kept and read as 0.
std::optional<std::string> NormalizeMediaId(std::string_view field, int mediaType);

// The family code used for 8-character IDs of a media type: "01", "44" or "02".
const char* MediaTypeFamilyCode(int mediaType);
