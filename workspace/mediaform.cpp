#include "mediaform.h"

#include <cstdint>

namespace {

using Reason = MediaFormRefusal::Reason;

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isDecimal(char c) {
    return c >= '0' && c <= '9';
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The character starting at pos, whole when it is a UTF-8 sequence, so a refusal can quote it.
std::string characterAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos + 1;
    if (static_cast<unsigned char>(text[pos]) >= 0xC0)
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    return std::string(text.substr(pos, end - pos));
}

std::string hexByte(std::uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 0x0F]};
}

MediaConversion refused(MediaForm form, Reason reason) {
    MediaConversion out;
    out.refusal.form = form;
    out.refusal.reason = reason;
    return out;
}

MediaConversion refusedText(MediaForm form, Reason reason, std::string text) {
    MediaConversion out = refused(form, reason);
    out.refusal.text = std::move(text);
    return out;
}

MediaConversion refusedLength(MediaForm form, std::size_t count) {
    MediaConversion out = refused(form, Reason::Length);
    out.refusal.count = count;
    return out;
}

MediaConversion accepted(std::string mediaId) {
    MediaConversion out;
    out.mediaId = std::move(mediaId);
    return out;
}

// 14 characters after the check byte: the check byte goes in front. 16: the given check byte
// must be the right one.
MediaConversion withCheckByte(MediaForm form, const std::string& digits) {
    if (digits.size() == 14)
        return accepted(hexByte(MediaIdCheckByte(digits)) + digits);
    const std::string expected = hexByte(MediaIdCheckByte(std::string_view(digits).substr(2)));
    if (digits.compare(0, 2, expected) != 0) {
        MediaConversion out = refused(form, Reason::CheckByte);
        out.refusal.checkByte = digits.substr(0, 2);
        out.refusal.expected = expected;
        return out;
    }
    return accepted(digits);
}

// An RF card's 32-bit number: "0000", its eight digits and family 44, check byte in front.
MediaConversion rfCard(std::uint32_t number) {
    std::string body = "0000";
    for (int shift = 24; shift >= 0; shift -= 8)
        body += hexByte(std::uint8_t(number >> shift));
    body += MediaTypeFamilyCode(MediaRfCard);
    return accepted(hexByte(MediaIdCheckByte(body)) + body);
}

// Hexadecimal digits upper-cased, blanks and dashes dropped; or the first other character.
MediaConversion hexDigits(MediaForm form, std::string_view printed, std::string& digits) {
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const char c = printed[i];
        if (isBlank(c) || c == '-')
            continue;
        if (!isHex(c))
            return refusedText(form, Reason::HexDigit, characterAt(printed, i));
        digits += upperAscii(c);
    }
    return {};
}

// A decimal number without sign, as a value when it has at most maxDigits significant digits;
// -1 when it has more. Empty text or another character: the refusal is set.
std::int64_t decimalValue(MediaForm form, std::string_view text, std::size_t maxDigits,
                          MediaConversion& refusal) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!isDecimal(text[i])) {
            refusal = refusedText(form, Reason::DecimalDigit, characterAt(text, i));
            return -1;
        }
    std::size_t first = 0;
    while (first + 1 < text.size() && text[first] == '0')
        ++first;
    if (text.size() - first > maxDigits)
        return -1;
    std::int64_t value = 0;
    for (std::size_t i = first; i < text.size(); ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

MediaConversion fromHex(std::string_view printed, int mediaType) {
    if (std::optional<std::string> id = NormalizeMediaId(printed, mediaType))
        return accepted(std::move(*id));
    if (printed.size() != 16)
        return refusedLength(MediaForm::Hex, printed.size());
    std::string id;
    for (const char c : printed)
        id += upperAscii(c);
    return withCheckByte(MediaForm::Hex, id);
}

MediaConversion fromIButton(std::string_view printed) {
    std::string digits;
    if (MediaConversion bad = hexDigits(MediaForm::IButton, printed, digits); !bad.accepted())
        return bad;
    if (digits.size() != 14 && digits.size() != 16)
        return refusedLength(MediaForm::IButton, digits.size());
    return withCheckByte(MediaForm::IButton, digits);
}

MediaConversion fromRfHex(std::string_view printed) {
    std::string digits;
    if (MediaConversion bad = hexDigits(MediaForm::RfHex, printed, digits); !bad.accepted())
        return bad;
    if (digits.size() != 8)
        return refusedLength(MediaForm::RfHex, digits.size());
    std::uint32_t number = 0;
    for (const char c : digits)
        number = number << 4 | std::uint32_t(isDecimal(c) ? c - '0' : c - 'A' + 10);
    return rfCard(number);
}

MediaConversion fromDecimal(std::string_view printed) {
    const std::string_view text = trimmed(printed);
    if (text.empty())
        return refusedLength(MediaForm::RfDecimal, 0);
    MediaConversion bad;
    const std::int64_t value = decimalValue(MediaForm::RfDecimal, text, 10, bad);
    if (!bad.accepted())
        return bad;
    // A printed number has at most ten digits, leading zeros included.
    if (text.size() > 10)
        return refusedLength(MediaForm::RfDecimal, text.size());
    if (value < 0 || value > 0xFFFFFFFFLL)
        return refusedText(MediaForm::RfDecimal, Reason::TooLarge, std::string(text));
    return rfCard(std::uint32_t(value));
}

MediaConversion fromWiegand26(std::string_view printed) {
    const std::string_view text = trimmed(printed);
    const std::size_t separator = text.find_first_of(",:/");
    if (separator == std::string_view::npos ||
        text.find_first_of(",:/", separator + 1) != std::string_view::npos)
        return refused(MediaForm::Wiegand26, Reason::NotAPair);
    const std::string_view facilityText = trimmed(text.substr(0, separator));
    const std::string_view cardText = trimmed(text.substr(separator + 1));
    if (facilityText.empty() || cardText.empty())
        return refused(MediaForm::Wiegand26, Reason::NotAPair);
    MediaConversion bad;
    const std::int64_t facility = decimalValue(MediaForm::Wiegand26, facilityText, 3, bad);
    if (!bad.accepted())
        return bad;
    const std::int64_t card = decimalValue(MediaForm::Wiegand26, cardText, 5, bad);
    if (!bad.accepted())
        return bad;
    if (facility < 0 || facility > 255)
        return refusedText(MediaForm::Wiegand26, Reason::Facility, std::string(facilityText));
    if (card < 0 || card > 65535)
        return refusedText(MediaForm::Wiegand26, Reason::Card, std::string(cardText));
    return rfCard(std::uint32_t(facility) << 16 | std::uint32_t(card));
}

} // namespace

MediaConversion ConvertPrintedMediaId(MediaForm form, std::string_view printed, int mediaType) {
    switch (form) {
    case MediaForm::Hex:
        return fromHex(printed, mediaType);
    case MediaForm::IButton:
        return fromIButton(printed);
    case MediaForm::RfHex:
        return fromRfHex(printed);
    case MediaForm::RfDecimal:
        return fromDecimal(printed);
    case MediaForm::Wiegand26:
        return fromWiegand26(printed);
    }
    return refused(form, Reason::NotAPair);
}

std::optional<std::string> NormalizeMediaIdAs(MediaForm form, std::string_view field,
                                              int mediaType) {
    if (form == MediaForm::Hex)
        return NormalizeMediaId(field, mediaType);
    MediaConversion converted = ConvertPrintedMediaId(form, field, mediaType);
    if (!converted.accepted())
        return std::nullopt;
    return std::move(converted.mediaId);
}

MediaIdParts DescribeMediaId(std::string_view mediaId) {
    MediaIdParts parts;
    parts.length = mediaId.size();
    if (mediaId.empty())
        return parts;
    if (mediaId.size() != 16) {
        parts.shape = MediaIdParts::Shape::Partial;
        return parts;
    }
    std::string id;
    for (std::size_t i = 0; i < mediaId.size(); ++i) {
        if (!isHex(mediaId[i])) {
            parts.shape = MediaIdParts::Shape::NotHex;
            parts.badChar = characterAt(mediaId, i);
            return parts;
        }
        id += upperAscii(mediaId[i]);
    }
    parts.shape = MediaIdParts::Shape::Whole;
    parts.checkByte = id.substr(0, 2);
    parts.serial = id.substr(2, 12);
    parts.family = id.substr(14, 2);
    parts.expected = hexByte(MediaIdCheckByte(std::string_view(id).substr(2)));
    return parts;
}

int MediaTypeOfFamily(std::string_view family) {
    for (const int type : {MediaIButton, MediaRfCard, MediaMagneticCard})
        if (family == MediaTypeFamilyCode(type))
            return type;
    return -1;
}
