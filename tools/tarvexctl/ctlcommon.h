#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// One line on stderr, prefixed with the program's name. Returns status.
int fail(int status, const QString& message);

void writeOut(std::string_view bytes);

// The "CodePage" setting of the desktop program, windows-1252 when unset.
QString codePageSetting();

// A file name given on the command line, as the bytes it was given.
inline QString fileArg(const std::string& arg) {
    return QString::fromLocal8Bit(arg.data(), qsizetype(arg.size()));
}

// --media-type ibutton|rf|magnetic; nullopt for anything else.
std::optional<int> parseMediaType(std::string_view name);

class CTarvexDoc;
// Loads the workspace that a command changes, or leaves doc empty when the file does not exist
// yet. Returns 0, or the exit status after reporting why the file must not be changed.
int loadWorkspaceForChange(const QString& path, CTarvexDoc& doc);

// A non-negative decimal number, nullopt otherwise.
std::optional<int> parseColumn(std::string_view text);
