#include "jsonwriter.h"

#include <cstdio>

void CJsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_empty.empty()) {
        if (!m_empty.back())
            m_out.push_back(',');
        m_empty.back() = false;
    }
}

void CJsonWriter::begin(char bracket) {
    beforeValue();
    m_out.push_back(bracket);
    m_empty.push_back(true);
}

void CJsonWriter::end(char bracket) {
    m_out.push_back(bracket);
    m_empty.pop_back();
}

void CJsonWriter::beginObject() {
    begin('{');
}

void CJsonWriter::endObject() {
    end('}');
}

void CJsonWriter::beginArray() {
    begin('[');
}

void CJsonWriter::endArray() {
    end(']');
}

void CJsonWriter::key(std::string_view name) {
    beforeValue();
    m_out += quoted(name);
    m_out.push_back(':');
    m_afterKey = true;
}

void CJsonWriter::value(const QString& text) {
    beforeValue();
    const QByteArray utf8 = text.toUtf8();
    m_out += quoted(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

void CJsonWriter::value(std::int64_t number) {
    beforeValue();
    m_out += std::to_string(number);
}

std::string CJsonWriter::quoted(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    out.push_back('"');
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            // Bytes of multi-byte characters are 0x80 and up and pass as they are.
            if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(byte));
                out += escape;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
    return out;
}
