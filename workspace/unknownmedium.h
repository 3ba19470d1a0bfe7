#pragma once

#include "tarvexdoc.h"

#include <string>

// A medium that registered but belongs to nobody: a 16-character media ID that no employee of
// the workspace has. Status messages (no media ID) are never unknown media.
bool IsUnknownMedium(const CTarvexDoc::EmployeeMap& employees, const std::string& mediaId);
