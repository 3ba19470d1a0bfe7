#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Compact JSON text written in the order it is given, so that keys keep the order the caller
// chose (QJsonObject would sort them). Commas are placed by the writer; strings are escaped.
class CJsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // The name of the next member of the open object.
    void key(std::string_view name);

    void value(const QString& text);
    void value(std::int64_t number);

    // key() and value() in one.
    template <typename T> void member(std::string_view name, const T& v) {
        key(name);
        value(v);
    }

    // The UTF-8 text so far.
    const std::string& text() const { return m_out; }

    // A JSON string literal of UTF-8 text: quote, backslash and control characters escaped,
    // everything else as it is.
    static std::string quoted(std::string_view utf8);

private:
    // A comma before every element of a container but the first, none after a key.
    void beforeValue();
    void begin(char bracket);
    void end(char bracket);

    std::string m_out;
    std::vector<bool> m_empty; // one per open container: nothing in it yet
    bool m_afterKey = false;
};
