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
        json.key("mediaId");
        json.value(text(mediaId));
        json.key("lastName");
        json.value(text(employee.LastName));
        json.key("firstName");
        json.value(text(employee.FirstName));
        json.endObject();
    }
    json.endArray();
    json.key("controllers");
    json.beginArray();
    for (const auto& [comPort, record] : doc.Controllers()) {
        json.beginObject();
        json.key("comPort");
        json.value(comPort);
        json.key("id");
        json.value(record.ID);
        json.key("code");
        json.value(record.Code);
        json.key("name");
        json.value(text(record.Name));
        json.key("relay1Time");
        json.value(record.Relay1Time);
        json.key("relay2Time");
        json.value(record.Relay2Time);
        json.key("master");
        json.value(text(record.Master));
        json.key("masterName");
        json.value(text(record.MasterName));
        json.key("firmware");
        json.value(text(record.Firmware));
        json.key("idTable");
        json.beginArray();
        for (const auto& [entryId, slot] : record.IdTable) {
            json.beginObject();
            json.key("mediaId");
            json.value(text(entryId));
            json.key("slot");
            json.value(text(slot));
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
