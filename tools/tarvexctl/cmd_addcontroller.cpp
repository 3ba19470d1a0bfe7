#include "codepage.h"
#include "commands.h"
#include "ctlcommon.h"
#include "tarvexdoc.h"

#include <QString>

#include <optional>

namespace {

const char kUsage[] = "usage: tarvexctl add-controller FILE.VR-12 --port N [--name TEXT] [--id N] "
                      "[--code N] [--relay1 0-7] [--relay2 0-7] [--codepage CP]";

std::optional<int> parseInRange(const std::string& text, int low, int high) {
    const std::optional<int> value = parseColumn(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

} // namespace

// Adds one controller to a workspace file (created when missing): the way an installer, a
// script or the demo sets up a site without the program's dialogs.
int runAddControllerCommand(const Args& args) {
    std::optional<std::string> file;
    std::optional<int> port;
    int id = 0, code = 0, relay1 = 0, relay2 = 0;
    QString name;
    QString codePageName;
    struct Numeric {
        const char* flag;
        int* target;
        int high;
    };
    const Numeric numerics[] = {{"--id", &id, 65535},
                                {"--code", &code, 65535},
                                {"--relay1", &relay1, 7},
                                {"--relay2", &relay2, 7}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const Numeric* numeric = nullptr;
        for (const Numeric& n : numerics)
            if (arg == n.flag)
                numeric = &n;
        if (numeric && hasValue) {
            const std::optional<int> value = parseInRange(args[++i], 0, numeric->high);
            if (!value)
                return fail(kExitUsage, QStringLiteral("%1 needs a number from 0 to %2")
                                            .arg(QString::fromLatin1(numeric->flag))
                                            .arg(numeric->high));
            *numeric->target = *value;
        } else if (arg == "--port" && hasValue) {
            port = parseInRange(args[++i], 1, 255);
            if (!port)
                return fail(kExitUsage,
                            QStringLiteral("--port needs a COM port number from 1 to 255"));
        } else if (arg == "--name" && hasValue) {
            name = QString::fromLocal8Bit(args[++i].c_str());
        } else if (arg == "--codepage" && hasValue) {
            codePageName = QString::fromStdString(args[++i]);
        } else if (arg.rfind("--", 0) != 0 && !file) {
            file = arg;
        } else {
            return badArgument(
                arg, {"--id", "--code", "--relay1", "--relay2", "--port", "--name", "--codepage"},
                QString::fromLatin1(kUsage));
        }
    }
    if (!file || !port)
        return fail(kExitUsage, QString::fromLatin1(kUsage));
    if (codePageName.isEmpty())
        codePageName = codePageSetting();
    const CCodePage codePage(codePageName);
    if (!codePage.IsValid())
        return fail(kExitUsage, QStringLiteral("unknown code page: %1").arg(codePageName));

    const QString path = fileArg(*file);
    CTarvexDoc doc;
    if (const int status = loadWorkspaceForChange(path, doc))
        return status;
    CTermRecord record;
    CUnmappedText unmapped;
    record.Name = codePage.FromUnicode(name, unmapped);
    if (!unmapped.IsEmpty())
        fail(kExitOk, QStringLiteral("warning: ") + unmapped.Warning(codePage.Name()));
    record.ID = id;
    record.Code = code;
    record.Relay1Time = relay1;
    record.Relay2Time = relay2;
    if (!doc.InsertController(*port, record))
        return fail(kExitFailure,
                    QStringLiteral("COM%1 already has a controller in %2; not changed")
                        .arg(*port)
                        .arg(path));
    return saveWorkspace(doc, path);
}
