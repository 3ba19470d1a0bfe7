#include "csvtext.h"

void appendCsvField(std::string& out, std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(utf8);
        return;
    }
    out.push_back('"');
    for (const char c : utf8) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void appendCsvRecord(std::string& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        const QByteArray utf8 = fields[i].toUtf8();
        appendCsvField(out, std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
    out.append("\r\n");
}
