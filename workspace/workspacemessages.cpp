#include "workspacemessages.h"

#include "resourceids.h"
#include "textformat.h"

using namespace res;

QString WorkspaceLoadMessage(const QString& path, const WorkspaceLoadResult& result) {
    switch (result.status) {
    case WorkspaceLoadResult::Status::NotWorkspace:
        return FormatString(IDS_NOT_A_WORKSPACE, path);
    case WorkspaceLoadResult::Status::OtherVersion:
        return FormatString(IDS_WORKSPACE_VERSION, path, result.version);
    case WorkspaceLoadResult::Status::Ok:
    case WorkspaceLoadResult::Status::Failed:
        break;
    }
    return result.reason;
}

QString WorkspaceSaveMessage(const QString& path, const WorkspaceSaveResult& result) {
    if (result.notRegularFile)
        return FormatString(IDS_NOT_A_REGULAR_FILE, path);
    return result.reason;
}
