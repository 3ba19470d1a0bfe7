#pragma once

#include <QString>

// What an operation does to the controller form's status line: nothing, "OK", "Error %d"
// with the control's code, the control's own reply text, or that the relay times to write
// are not ones the lists offer.
struct StatusChange {
    enum Kind { Unchanged, Ok, Code, Text, RelayTimesUnknown };

    Kind kind = Unchanged;
    int code = 0;
    QString text;

    static StatusChange ok() { return {Ok, 0, {}}; }
    static StatusChange failed(int code) { return {Code, code, {}}; }
    static StatusChange reply(const QString& text) { return {Text, 0, text}; }
    static StatusChange relayTimesUnknown() { return {RelayTimesUnknown, 0, {}}; }
    // "OK" for a zero code, else the code.
    static StatusChange fromCode(int code) { return code == 0 ? ok() : failed(code); }

    bool operator==(const StatusChange&) const = default;
};
