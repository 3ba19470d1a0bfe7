#include "commands.h"
#include "ctlcommon.h"
#include "tarvexdoc.h"
#include "workspacefile.h"

int runResaveCommand(const Args& args) {
    if (args.size() != 2)
        return fail(kExitUsage, QStringLiteral("usage: tarvexctl resave IN.VR-12 OUT.VR-12"));
    CTarvexDoc doc;
    const WorkspaceLoadResult loaded = CWorkspaceFile::Load(fileArg(args[0]), doc);
    if (loaded.failed())
        return fail(kExitFailure, loaded.reason);
    const WorkspaceSaveResult saved = CWorkspaceFile::Save(doc, fileArg(args[1]));
    if (!saved.ok)
        return fail(kExitFailure, saved.reason);
    return kExitOk;
}
