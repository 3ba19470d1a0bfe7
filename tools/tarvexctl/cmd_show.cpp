#include "codepage.h"
#include "commands.h"
#include "ctlcommon.h"
#include "tarvexdoc.h"

#include <string>

namespace {

// A JSON string literal of a workspace text, decoded through the code page.
void putString(std::string& out, const std::string& bytes, const CCodePage& codePage) {
    const QByteArray utf8 = codePage.ToUnicode(bytes).toUtf8();
    out.push_back('"');
    for (char c : utf8) {
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
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
                out += escape;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
}

void putKey(std::string& out, const char* key) {
    out.push_back('"');
    out += key;
    out += "\":";
}

} // namespace

int runShowCommand(const Args& args) {
    const QString usage = QStringLiteral("usage: tarvexctl show [--codepage CP] FILE.VR-12");
    QString codePageName;
    const std::string* file = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--codepage" && i + 1 < args.size()) {
            codePageName = QString::fromStdString(args[++i]);
        } else if (!file && (args[i].empty() || args[i][0] != '-' || args[i] == "-")) {
            file = &args[i];
        } else {
            return badArgument(args[i], {"--codepage"}, usage);
        }
    }
    if (!file)
        return fail(kExitUsage, usage);
    if (codePageName.isEmpty())
        codePageName = codePageSetting();
    const CCodePage codePage(codePageName);
    if (!codePage.IsValid())
        return fail(kExitUsage, QStringLiteral("unknown code page: %1").arg(codePageName));

    CTarvexDoc doc;
    if (const int status = loadWorkspace(fileArg(*file), doc))
        return status;

    std::string out;
    out += "{\"employees\":[";
    bool first = true;
    for (const auto& [mediaId, employee] : doc.Employees()) {
        if (!first)
            out.push_back(',');
        first = false;
        out += '{';
        putKey(out, "mediaId");
        putString(out, mediaId, codePage);
        out += ',';
        putKey(out, "lastName");
        putString(out, employee.LastName, codePage);
        out += ',';
        putKey(out, "firstName");
        putString(out, employee.FirstName, codePage);
        out += '}';
    }
    out += "],\"controllers\":[";
    first = true;
    for (const auto& [comPort, record] : doc.Controllers()) {
        if (!first)
            out.push_back(',');
        first = false;
        out += '{';
        putKey(out, "comPort");
        out += std::to_string(comPort);
        out += ',';
        putKey(out, "id");
        out += std::to_string(record.ID);
        out += ',';
        putKey(out, "code");
        out += std::to_string(record.Code);
        out += ',';
        putKey(out, "name");
        putString(out, record.Name, codePage);
        out += ',';
        putKey(out, "relay1Time");
        out += std::to_string(record.Relay1Time);
        out += ',';
        putKey(out, "relay2Time");
        out += std::to_string(record.Relay2Time);
        out += ',';
        putKey(out, "master");
        putString(out, record.Master, codePage);
        out += ',';
        putKey(out, "masterName");
        putString(out, record.MasterName, codePage);
        out += ',';
        putKey(out, "firmware");
        putString(out, record.Firmware, codePage);
        out += ',';
        putKey(out, "idTable");
        out += '[';
        bool firstEntry = true;
        for (const auto& [entryId, slot] : record.IdTable) {
            if (!firstEntry)
                out.push_back(',');
            firstEntry = false;
            out += '{';
            putKey(out, "mediaId");
            putString(out, entryId, codePage);
            out += ',';
            putKey(out, "slot");
            putString(out, slot, codePage);
            out += '}';
        }
        out += "]}";
    }
    out += "]}\n";
    writeOut(out);
    return kExitOk;
}
