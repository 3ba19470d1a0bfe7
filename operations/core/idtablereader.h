#pragma once

#include "statuschange.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>

class IControllerLine;

// A controller's ID table as the workspace mirrors it: MediaID -> slot (two hex digits).
using IdTableMirror = std::map<std::string, std::string>;

// One listing record: "ID", the slot in two hex digits, ": ", the 16-character MediaID.
struct IdRecord {
    std::string slot;
    std::string mediaId;
};

inline constexpr int kIdRecordLength = 22;

// The slot (characters 2 and 3) and the MediaID (the last 16) of a 22-character reply;
// nothing for a reply of any other length.
std::optional<IdRecord> parseIdRecord(const QString& reply);

struct IdTableRead {
    IdTableMirror table;
    StatusChange status;
    int records = 0;
    // The listing broke off or never started: the table is empty.
    bool failed = false;
    // `between` asked to stop: nothing more was asked of the line.
    bool abandoned = false;
};

// Lists the whole table: ReadFirstID, then ReadNextID while records come. A MediaID listed
// twice keeps its first slot. Only the end mark "*" closes a listing well: any other reply
// ends it as failed, with that reply as the status and an empty table, since half a listing
// is not what the controller holds. An empty table ("*" at once) leaves the status as it was.
// `between` runs after every record; false abandons the listing.
IdTableRead readIdTable(IControllerLine& line, const std::function<bool()>& between = {});
