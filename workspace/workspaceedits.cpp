#include "workspaceedits.h"

#include "tarvexdoc.h"
#include "termpanel.h"

namespace WorkspaceEdits {
namespace {
void employeesChanged(CTarvexDoc& doc) {
    doc.SetModifiedFlag();
    doc.FillList(WorkspaceList::Employees);
    doc.FillList(WorkspaceList::ControllerEmployees);
}

void controllersChanged(CTarvexDoc& doc) {
    doc.SetModifiedFlag();
    doc.FillList(WorkspaceList::Controllers);
    doc.FillList(WorkspaceList::ControllerEmployees);
}

void showEmptyForm(CTarvexDoc& doc) {
    if (doc.PanelInControllerPane() != nullptr)
        doc.ShowInControllerPane(nullptr);
}
} // namespace

bool AddEmployee(CTarvexDoc& doc, const std::string& mediaId, const CEmpRecord& employee) {
    if (!doc.InsertEmployee(mediaId, employee))
        return false;
    employeesChanged(doc);
    return true;
}

bool EditEmployee(CTarvexDoc& doc, const std::string& mediaId, const CEmpRecord& names) {
    CEmpRecord* employee = doc.FindEmployee(mediaId);
    if (!employee)
        return false;
    employee->LastName = names.LastName;
    employee->FirstName = names.FirstName;
    employeesChanged(doc);
    return true;
}

int DeleteEmployees(CTarvexDoc& doc, const std::vector<std::string>& mediaIds) {
    int removed = 0;
    for (const std::string& id : mediaIds)
        removed += doc.RemoveEmployee(id) ? 1 : 0;
    if (removed > 0)
        employeesChanged(doc);
    return removed;
}

int CopyToDatabase(CTarvexDoc& doc, const std::vector<std::string>& mediaIds,
                   const CEmpRecord& names) {
    int added = 0;
    for (const std::string& id : mediaIds) {
        if (!doc.FindEmployee(id))
            added += doc.InsertEmployee(id, names) ? 1 : 0;
    }
    if (added > 0)
        employeesChanged(doc);
    return added;
}

bool AddController(CTarvexDoc& doc, int comPort, const std::string& name, int id, int code) {
    CTermRecord record;
    record.Name = name;
    record.ID = id;
    record.Code = code;
    if (!doc.InsertController(comPort, std::move(record)))
        return false;
    showEmptyForm(doc);
    doc.CreatePanel(comPort);
    controllersChanged(doc);
    return true;
}

bool EditController(CTarvexDoc& doc, int comPort, const std::string& name, int id, int code) {
    CTermRecord* record = doc.FindController(comPort);
    if (!record)
        return false;
    record->ID = id;
    record->Code = code;
    record->Name = name;
    doc.ShowInControllerPane(nullptr);
    // The old panel gives its port back before the new one asks for it.
    doc.DestroyPanel(comPort);
    doc.CreatePanel(comPort);
    controllersChanged(doc);
    return true;
}

bool DeleteController(CTarvexDoc& doc, int comPort) {
    if (!doc.FindController(comPort))
        return false;
    showEmptyForm(doc);
    doc.DestroyPanel(comPort);
    doc.RemoveController(comPort);
    controllersChanged(doc);
    return true;
}

int CurrentComPort(const CTarvexDoc& doc) {
    const ITermPanel* shown = doc.PanelInControllerPane();
    if (!shown)
        return 0;
    for (const auto& [port, record] : doc.Controllers())
        if (record.Panel == shown)
            return port;
    return 0;
}

} // namespace WorkspaceEdits
