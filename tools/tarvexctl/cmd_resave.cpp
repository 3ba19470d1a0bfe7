#include "commands.h"
#include "ctlcommon.h"
#include "tarvexdoc.h"

int runResaveCommand(const Args& args) {
    const QString usage = QStringLiteral("usage: tarvexctl resave IN.VR-12 OUT.VR-12");
    for (std::size_t i = 0; i < args.size(); ++i)
        if (isOption(args[i]) || i >= 2)
            return badArgument(args[i], {}, usage);
    if (args.size() != 2)
        return fail(kExitUsage, usage);
    CTarvexDoc doc;
    if (const int status = loadWorkspace(fileArg(args[0]), doc))
        return status;
    return saveWorkspace(doc, fileArg(args[1]));
}
