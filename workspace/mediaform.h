#pragma once

#include "mediaid.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The ways a medium's number is written where a person can read it. Each turns into the
// program's 16-character MediaID.
enum class MediaForm {
    // The imports' rule: 8, 14 or 16 characters; the media type gives 8's family code.
    Hex,
    // An iButton's engraved serial number and family code, 14 hexadecimal digits, or 16 with
    // the check byte in front. Blanks and dashes are ignored.
    IButton,
    // An RF card's 8 hexadecimal digits (blanks and dashes ignored).
    RfHex,
    // An RF card's printed decimal number: up to 10 digits, at most 4294967295.
    RfDecimal,
    // An RF card's Wiegand-26 pair "facility,card" (or with ':' or '/'): facility 0-255, card
    // 0-65535, the 24-bit number facility * 65536 + card.
    Wiegand26,
};

// Why a printed number does not convert.
struct MediaFormRefusal {
    enum class Reason {
        None,
        Length,       // count: the digits given, for the form's lengths
        HexDigit,     // text: the first character that is not a hexadecimal digit
        DecimalDigit, // text: the first character that is not a decimal digit
        TooLarge,     // text: the number as written
        NotAPair,     // a Wiegand-26 text without exactly one separator and two numbers
        Facility,     // text: the facility code as written
        Card,         // text: the card number as written
        CheckByte,    // checkByte as given, expected the right one
    };
    Reason reason = Reason::None;
    MediaForm form = MediaForm::Hex;
    std::size_t count = 0;
    std::string text;
    std::string checkByte;
    std::string expected;
};

struct MediaConversion {
    std::string mediaId; // the 16-character form; empty when refused
    MediaFormRefusal refusal;
    bool accepted() const { return refusal.reason == MediaFormRefusal::Reason::None; }
};

// Turns what is printed on a medium into its MediaID. mediaType only matters to the Hex
// form, whose results are exactly those of NormalizeMediaId.
MediaConversion ConvertPrintedMediaId(MediaForm form, std::string_view printed,
                                      int mediaType = MediaIButton);

// The imports' look at a field: the MediaID, or nullopt when the form refuses it. The Hex form
// is NormalizeMediaId itself, without the cost of a reason nobody reads.
std::optional<std::string> NormalizeMediaIdAs(MediaForm form, std::string_view field,
                                              int mediaType);

// A MediaID taken apart: check byte, serial number, family code, and the check byte the
// other fourteen characters call for.
struct MediaIdParts {
    enum class Shape {
        Empty,
        Partial, // not 16 characters; length tells how many
        NotHex,  // 16 characters, badChar is the first that is not a hexadecimal digit
        Whole,
    };
    Shape shape = Shape::Empty;
    std::size_t length = 0;
    std::string badChar;
    // Upper-case hexadecimal; set for Whole only.
    std::string checkByte;
    std::string serial;
    std::string family;
    std::string expected;
    bool checkByteCorrect() const { return shape == Shape::Whole && checkByte == expected; }
};

MediaIdParts DescribeMediaId(std::string_view mediaId);

// The media type a family code stands for (01 iButton, 44 RF card, 02 magnetic card), or -1.
int MediaTypeOfFamily(std::string_view family);
