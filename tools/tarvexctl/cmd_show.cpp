#include "codepage.h"
#include "commands.h"
#include "ctlcommon.h"
#include "jsonwriter.h"
#include "tarvexdoc.h"

#include <string>

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

    // A workspace text, decoded through the code page.
    auto text = [&codePage](const std::string& bytes) { return codePage.ToUnicode(bytes); };
    CJsonWriter json;
    json.beginObject();
    json.key("employees");
    json.beginArray();
    for (const auto& [mediaId, employee] : doc.Employees()) {
        json.beginObject();
        json.member("mediaId", text(mediaId));
        json.member("lastName", text(employee.LastName));
        json.member("firstName", text(employee.FirstName));
        json.endObject();
    }
    json.endArray();
    json.key("controllers");
    json.beginArray();
    for (const auto& [comPort, record] : doc.Controllers()) {
        json.beginObject();
        json.member("comPort", comPort);
        json.member("id", record.ID);
        json.member("code", record.Code);
        json.member("name", text(record.Name));
        json.member("relay1Time", record.Relay1Time);
        json.member("relay2Time", record.Relay2Time);
        json.member("master", text(record.Master));
        json.member("masterName", text(record.MasterName));
        json.member("firmware", text(record.Firmware));
        json.key("idTable");
        json.beginArray();
        for (const auto& [entryId, slot] : record.IdTable) {
            json.beginObject();
            json.member("mediaId", text(entryId));
            json.member("slot", text(slot));
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    writeOut(json.text() + '\n');
    return kExitOk;
}
