#pragma once

#include "regtime.h"

#include <cstddef>
#include <optional>
#include <string_view>

// One line of a monthly registrations file, as the control writes it:
// "YYYY-MM-DD HH:MM:SS,message,action,media ID,COMn". The message is written as it came and
// may hold commas, so the moment is read from the left and the port and media ID from the
// right; the action follows the message. The views point into the line.
struct RegLine {
    RegTime when = 0;
    std::string_view message;
    std::string_view action;
    std::string_view mediaId;
    int port = 0; // 1-255
};

// Longer lines are damage (the control's messages are at most 99 characters).
constexpr std::size_t kLongestRegLine = 4096;

// A line without its line end. Nullopt for a damaged line: no valid moment, fewer fields,
// control or binary bytes, a media ID that is neither empty nor 16 characters, a port that is
// not COM1-COM255, or longer than kLongestRegLine.
std::optional<RegLine> parseRegLine(std::string_view line);
