#include "commands.h"
#include "ctlcommon.h"
#include "tarvexdoc.h"

int runResaveCommand(const Args& args) {
    if (args.size() != 2)
        return fail(kExitUsage, QStringLiteral("usage: tarvexctl resave IN.VR-12 OUT.VR-12"));
    CTarvexDoc doc;
    if (const int status = loadWorkspace(fileArg(args[0]), doc))
        return status;
    return saveWorkspace(doc, fileArg(args[1]));
}
