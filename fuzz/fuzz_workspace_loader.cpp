// Feeds arbitrary bytes to the workspace reader. Whatever it accepts must survive a write and
// a second read unchanged, and writing that again must give the same bytes.
#include "tarvexdoc.h"
#include "workspacefile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CTarvexDoc::EmployeeMap employees;
    CTarvexDoc::ControllerMap controllers;
    const WorkspaceLoadResult result =
        CWorkspaceFile::Parse(reinterpret_cast<const char*>(data), size, employees, controllers);
    if (result.status != WorkspaceLoadResult::Status::Ok)
        return 0;

    CTarvexDoc doc;
    doc.AdoptContent(std::move(employees), std::move(controllers));
    const std::string bytes = CWorkspaceFile::Serialize(doc);

    CTarvexDoc::EmployeeMap employees2;
    CTarvexDoc::ControllerMap controllers2;
    if (CWorkspaceFile::Parse(bytes.data(), bytes.size(), employees2, controllers2).status !=
        WorkspaceLoadResult::Status::Ok)
        std::abort();
    if (employees2 != doc.Employees() || controllers2.size() != doc.Controllers().size())
        std::abort();
    auto it = doc.Controllers().begin();
    for (const auto& [port, record] : controllers2) {
        const CTermRecord& a = it->second;
        if (port != it->first || record.Name != a.Name || record.ID != a.ID ||
            record.Code != a.Code || record.Relay1Time != a.Relay1Time ||
            record.Relay2Time != a.Relay2Time || record.Master != a.Master ||
            record.MasterName != a.MasterName || record.Firmware != a.Firmware ||
            record.IdTable != a.IdTable)
            std::abort();
        ++it;
    }
    CTarvexDoc doc2;
    doc2.AdoptContent(std::move(employees2), std::move(controllers2));
    if (CWorkspaceFile::Serialize(doc2) != bytes)
        std::abort();
    return 0;
}
