#pragma once

#include "tarvexdoc.h"

#include <QString>

#include <cstddef>
#include <string>

// Outcome of reading a workspace file.
struct WorkspaceLoadResult {
    enum class Status {
        Ok,           // read completely (a file of length 0 is an empty workspace)
        NotWorkspace, // the file does not begin with the workspace magic: nothing read
        OtherVersion, // the magic is there, the version is not ours (version says which)
        Failed,       // unreadable or damaged; reason says why
    };
    Status status = Status::Ok;
    QString reason;
    int version = 0;

    // Any refusal leaves the workspace empty, and saving it would replace the file.
    bool failed() const { return status != Status::Ok; }
};

struct WorkspaceSaveResult {
    bool ok = true;
    // The name is taken by a folder, device, pipe or socket, which is left alone.
    bool notRegularFile = false;
    QString reason;
};

// Reading and writing of the ".VR-12" workspace file: length-prefixed byte texts and
// little-endian 32-bit integers.
class CWorkspaceFile {
public:
    static constexpr int kVersion = 2;

    // Parses the bytes of a file into fresh maps. On failure the maps hold what was read so
    // far; no allocation is ever larger than the bytes left in the input.
    static WorkspaceLoadResult Parse(const char* data, std::size_t size,
                                     CTarvexDoc::EmployeeMap& employees,
                                     CTarvexDoc::ControllerMap& controllers);
    // The file's bytes for the document. Relay times, master, master's name and firmware come
    // from each controller's live panel when it has one.
    static std::string Serialize(const CTarvexDoc& doc);

    // Open: empties the document, reads the file, creates a panel for every controller and
    // refills the lists. The document ends unmodified; on failure it is left empty.
    static WorkspaceLoadResult Load(const QString& path, CTarvexDoc& doc);
    // Save: writes a temporary file in the same folder, flushes it to disk and renames it over
    // the old one, so a failed save leaves the previous file as it was. A symbolic link is
    // followed to the file it names; an existing name that is not a regular file is refused.
    // The old file's mode, and its owner and group where the process may set them, carry
    // over. The document is not changed (the caller clears the modified flag on success).
    static WorkspaceSaveResult Save(const CTarvexDoc& doc, const QString& path);
};
