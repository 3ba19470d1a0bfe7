#include "formoperations.h"

#include "controllerline.h"
#include "tarvexdoc.h"

void readFirmware(IControllerLine& line, FormValues& form) {
    form.firmware.clear();
    const int code = line.GetStatus();
    if (code != 0) {
        form.status = StatusChange::failed(code);
        return;
    }
    form.firmware = lineBytes(line.GetFirmWare());
    form.status = StatusChange::ok();
}

void readMaster(IControllerLine& line, const CTarvexDoc& doc, FormValues& form) {
    form.masterName.clear();
    const QString reply = line.ShowMaster();
    if (!isMediaIdReply(reply)) {
        form.status = StatusChange::reply(reply);
        form.master.clear();
        return;
    }
    form.master = lineBytes(reply);
    form.status = StatusChange::ok();
    if (const CEmpRecord* employee = doc.FindEmployee(form.master))
        form.masterName = employee->LastName + ' ' + employee->FirstName;
}

int writeMaster(IControllerLine& line, const CTarvexDoc& doc, const std::string& mediaId,
                FormValues& form) {
    const int code = line.NewMaster(lineText(mediaId));
    form.status = StatusChange::fromCode(code);
    if (code == 0)
        readMaster(line, doc, form);
    return code;
}

void readParams(IControllerLine& line, FormValues& form) {
    const QString reply = line.ReadParams();
    if (const std::optional<RelayTimes> times = parseRelayTimes(reply)) {
        form.relays = *times;
        form.status = StatusChange::ok();
        return;
    }
    form.status = StatusChange::reply(reply);
}

int writeParams(IControllerLine& line, FormValues& form) {
    if (!form.relays.listed()) {
        form.status = StatusChange::relayTimesUnknown();
        return kRelayTimesNotSent;
    }
    const int code = line.WriteParams(relayTimesRecord(form.relays));
    form.status = StatusChange::fromCode(code);
    return code;
}

IdTableRead readIdTableInto(IControllerLine& line, CTarvexDoc& doc, int comPort, FormValues& form,
                            const std::function<bool()>& between) {
    if (CTermRecord* record = doc.FindController(comPort))
        record->IdTable.clear();
    IdTableRead read = readIdTable(line, between);
    if (read.abandoned)
        return read;
    // Looked up again: `between` may have let the workspace change.
    if (CTermRecord* record = doc.FindController(comPort))
        record->IdTable = read.table;
    if (read.status.kind != StatusChange::Unchanged)
        form.status = read.status;
    return read;
}

IdTableRemoval eraseFromIdTable(IControllerLine& line, const CTarvexDoc& doc, int comPort,
                                const std::vector<std::string>& mediaIds,
                                const std::function<bool()>& between) {
    IdTableRemoval out;
    // Taken before any exchange: `between` may let the workspace change under the run.
    std::vector<int> slotNumbers;
    const CTermRecord* record = doc.FindController(comPort);
    for (const std::string& mediaId : mediaIds) {
        std::optional<int> slot;
        if (record) {
            const auto it = record->IdTable.find(mediaId);
            if (it != record->IdTable.end())
                slot = slotNumber(it->second);
        }
        if (slot)
            slotNumbers.push_back(*slot);
        else
            ++out.unknown;
    }
    out.toErase = int(slotNumbers.size());
    int silentInARow = 0;
    for (const int slot : slotNumbers) {
        const int code = line.EraseID(short(slot));
        if (code == 0)
            ++out.erased;
        else if (out.code == 0)
            out.code = code;
        silentInARow = code == kEraseNoReply || code == kEraseNoSlotReply ? silentInARow + 1 : 0;
        if (silentInARow >= kSilentErasesToStop) {
            out.controllerGone = true;
            return out;
        }
        if (between && !between()) {
            out.abandoned = true;
            return out;
        }
    }
    return out;
}
