#pragma once

#include "workspacefile.h"

#include <QString>

// What the user is told when a workspace file is refused or cannot be read or written. The
// refusals come from the string table, so a language module replaces them too; the desktop
// program and tarvexctl say the same words.
QString WorkspaceLoadMessage(const QString& path, const WorkspaceLoadResult& result);
QString WorkspaceSaveMessage(const QString& path, const WorkspaceSaveResult& result);
