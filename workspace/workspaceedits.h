#pragma once

#include "emprecord.h"

#include <string>
#include <vector>

class CTarvexDoc;

// The workspace side of the employee and controller commands: each changes the maps, marks
// the workspace modified when something changed and asks the affected lists to refill.
namespace WorkspaceEdits {

// Inserts the employee; false (nothing changed) when the MediaID is already there.
bool AddEmployee(CTarvexDoc& doc, const std::string& mediaId, const CEmpRecord& employee);
// Replaces the names of the employee with that MediaID; false when there is none.
bool EditEmployee(CTarvexDoc& doc, const std::string& mediaId, const CEmpRecord& names);
// Removes the employees with these MediaIDs (unknown ones are skipped); no controller's ID
// table changes. Returns how many went.
int DeleteEmployees(CTarvexDoc& doc, const std::vector<std::string>& mediaIds);
// Inserts an employee with the given names for each MediaID not yet in the workspace. Returns
// how many were added.
int CopyToDatabase(CTarvexDoc& doc, const std::vector<std::string>& mediaIds,
                   const CEmpRecord& names);

// A new controller with empty master, firmware and ID table: the controller pane shows the
// empty form, then its panel is created (which opens its port). False when the COM port is
// taken.
bool AddController(CTarvexDoc& doc, int comPort, const std::string& name, int id, int code);
// New name, ID and code; the panel is destroyed (port closed) and created again from the
// record (port opened). False when no controller has that COM port.
bool EditController(CTarvexDoc& doc, int comPort, const std::string& name, int id, int code);
// Destroys the controller's panel (port closed) and removes it. False when there is none.
bool DeleteController(CTarvexDoc& doc, int comPort);

// The controller whose panel the controller pane shows; 0 when it shows the empty form.
int CurrentComPort(const CTarvexDoc& doc);

} // namespace WorkspaceEdits
