#pragma once

#include <QString>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// One line on stderr, prefixed with the program's name. Returns status.
int fail(int status, const QString& message);

// A word the command did not take: one of its valued options given last without a value, an
// unknown option, or one word too many. Names it, then the usage; returns kExitUsage.
int badArgument(const std::string& word, std::initializer_list<std::string_view> valueOptions,
                const QString& usage);
// True for "-x" and "--x", not for "-" (standard input) or "".
bool isOption(std::string_view word);

void writeOut(std::string_view bytes);

// Keeps one output row on one line: tab, line ends and the backslash itself are written as
// escapes.
QString escapeField(const QString& text);

// The desktop program's "CodePage" setting, read as the program reads it.
QString codePageSetting();

// A file name given on the command line, as the bytes it was given.
inline QString fileArg(const std::string& arg) {
    return QString::fromLocal8Bit(arg.data(), qsizetype(arg.size()));
}

// --media-type ibutton|rf|magnetic; nullopt for anything else.
std::optional<int> parseMediaType(std::string_view name);

enum class MediaForm;
// --form / --media-form hex|decimal|w26; nullopt for anything else.
std::optional<MediaForm> parseMediaForm(std::string_view name);
// decimal and w26 are RF card numbers: with another media type given they make no sense. The
// refusal for wrong usage, or empty when the two go together.
QString mediaFormConflict(MediaForm form, std::optional<int> mediaType);

class CTarvexDoc;
// Loads a workspace. Returns 0, or the exit status after reporting why it was refused.
int loadWorkspace(const QString& path, CTarvexDoc& doc);
// Loads the workspace that a command changes, or leaves doc empty when the file does not exist
// yet. Returns 0, or the exit status after reporting why the file must not be changed.
int loadWorkspaceForChange(const QString& path, CTarvexDoc& doc);
// Saves a workspace. Returns 0, or the exit status after reporting why it was not saved.
int saveWorkspace(const CTarvexDoc& doc, const QString& path);

// A non-negative decimal number, nullopt otherwise.
std::optional<int> parseColumn(std::string_view text);
