#pragma once

#include "controllerreplies.h"
#include "idtablereader.h"
#include "idtablewriter.h"
#include "statuschange.h"

#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class CTarvexDoc;
class IControllerLine;

// The controller form's values an operation reads and changes; the form shows them after.
struct FormValues {
    std::string master;
    std::string masterName;
    std::string firmware;
    RelayTimes relays;
    StatusChange status;
};

// Each operation runs its exchanges on `line` and leaves its outcome in `form`.
void readFirmware(IControllerLine& line, FormValues& form);
// The master's name comes from the workspace's employees: last name, a blank, first name.
void readMaster(IControllerLine& line, const CTarvexDoc& doc, FormValues& form);
// NewMaster of the MediaID's stored bytes, then Read master when the controller took it.
// Returns NewMaster's code.
int writeMaster(IControllerLine& line, const CTarvexDoc& doc, const std::string& mediaId,
                FormValues& form);
void readParams(IControllerLine& line, FormValues& form);
// Returns WriteParams' code, which is also the status. Relay times outside the list are not
// sent (the controller would take some other time): kRelayTimesNotSent, and the status says so.
inline constexpr int kRelayTimesNotSent = -1;
int writeParams(IControllerLine& line, FormValues& form);

// Read ID table into the mirror of the controller on comPort (when the workspace has it):
// emptied first, the listing's table afterwards. The caller marks the workspace modified and
// refills its list.
IdTableRead readIdTableInto(IControllerLine& line, CTarvexDoc& doc, int comPort, FormValues& form,
                            const std::function<bool()>& between = {});

// EraseID's results when the controller said nothing: to the command letter (or the command
// lock could not be had), or to the slot number.
inline constexpr int kEraseNoReply = 1;
inline constexpr int kEraseNoSlotReply = 2;
// Unanswered EraseIDs in a row after which the controller counts as gone. One can be a byte
// lost on the line; three in a row (about 3.5 s of silence) are a controller switched off or
// unplugged, and trying the rest would only add 1.1 s per entry.
inline constexpr int kSilentErasesToStop = 3;

struct IdTableRemoval {
    // The first EraseID that failed, 0 when none did.
    int code = 0;
    int erased = 0;
    // MediaIDs the mirror does not hold: no slot to erase, nothing sent.
    int unknown = 0;
    // MediaIDs with a slot, the ones to erase.
    int toErase = 0;
    // The controller stopped answering: the run ended there.
    bool controllerGone = false;
    // `between` asked to stop.
    bool abandoned = false;
};

// EraseID of each MediaID's slot in the controller's mirror, the slots taken from the mirror
// before the first exchange. Every MediaID is tried unless the controller stops answering
// (kSilentErasesToStop unanswered EraseIDs in a row). `between` runs after each EraseID;
// false abandons the run.
IdTableRemoval eraseFromIdTable(IControllerLine& line, const CTarvexDoc& doc, int comPort,
                                const std::vector<std::string>& mediaIds,
                                const std::function<bool()>& between = {});
