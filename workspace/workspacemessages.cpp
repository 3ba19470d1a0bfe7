#include "workspacemessages.h"

#include "catalogue.h"
#include "resourceids.h"

using namespace res;

QString WorkspaceLoadMessage(const QString& path, const WorkspaceLoadResult& result) {
    switch (result.status) {
    case WorkspaceLoadResult::Status::NotWorkspace:
        return S(IDS_NOT_A_WORKSPACE).arg(path);
    case WorkspaceLoadResult::Status::OtherVersion:
        return S(IDS_WORKSPACE_VERSION).arg(path, QString::number(result.version));
    case WorkspaceLoadResult::Status::Ok:
    case WorkspaceLoadResult::Status::Failed:
        break;
    }
    return result.reason;
}

QString WorkspaceSaveMessage(const QString& path, const WorkspaceSaveResult& result) {
    if (result.notRegularFile)
        return S(IDS_NOT_A_REGULAR_FILE).arg(path);
    return result.reason;
}
