#pragma once

#include "statuschange.h"

#include <functional>
#include <string>
#include <vector>

class IControllerLine;

// The most employees one Write to ID table takes.
inline constexpr int kMaxIdsPerWrite = 62;
// AddID's result when the confirmation carried the status letter "d": worth one more try.
inline constexpr int kAddIdRetry = 10;

struct IdTableWrite {
    // 0 when every MediaID went in.
    int code = 0;
    // MediaIDs taken by the controller.
    int written = 0;
    // Index of the MediaID that failed, -1 when none did.
    int failedAt = -1;
    StatusChange status;
    // `between` asked to stop.
    bool abandoned = false;
    // The table should be read back: every MediaID went in.
    bool readBack() const { return code == 0 && !abandoned; }
};

// AddID for each MediaID (the stored bytes) in order. A result of 10 gets exactly one more AddID of
// the same MediaID; that second result counts like a first one, so a second failure stops the run
// and is shown as every other failure is. The run stops at the first failure with its code
// as the status. `between` runs after each MediaID; false abandons the run.
IdTableWrite writeIdTable(IControllerLine& line, const std::vector<std::string>& mediaIds,
                          const std::function<bool()>& between = {});
