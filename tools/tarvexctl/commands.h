#pragma once

#include <string>
#include <vector>

// Each command gets the words after its name as the bytes they were given and returns the
// exit status: 0 success, 1 failure, 2 wrong usage.
using Args = std::vector<std::string>;

int runShowCommand(const Args& args);
int runResaveCommand(const Args& args);
int runNormalizeCommand(const Args& args);
int runImportCsvCommand(const Args& args);
int runAddControllerCommand(const Args& args);
