#include "commands.h"
#include "ctlcommon.h"
#include "mediaid.h"

#include <string>

int runNormalizeCommand(const Args& args) {
    const QString usage =
        QStringLiteral("usage: tarvexctl normalize [--media-type ibutton|rf|magnetic] FIELD...");
    int mediaType = MediaIButton;
    std::size_t i = 0;
    // Options come first, so that any field, even one starting with "--", can follow "--".
    for (; i < args.size(); ++i) {
        if (args[i] == "--media-type" && i + 1 < args.size()) {
            const std::optional<int> type = parseMediaType(args[++i]);
            if (!type)
                return fail(kExitUsage, QStringLiteral("unknown media type: %1\n%2")
                                            .arg(QString::fromStdString(args[i]), usage));
            mediaType = *type;
        } else if (args[i] == "--") {
            ++i;
            break;
        } else if (args[i].rfind("--", 0) == 0) {
            return badArgument(args[i], {"--media-type"}, usage);
        } else {
            break;
        }
    }
    if (i >= args.size())
        return fail(kExitUsage, usage);
    std::string out;
    for (; i < args.size(); ++i) {
        const std::optional<std::string> id = NormalizeMediaId(args[i], mediaType);
        out += id ? *id : std::string("rejected");
        out += '\n';
    }
    writeOut(out);
    return kExitOk;
}
