#include "enrolment.h"

#include "resourceids.h"
#include "unknownmedium.h"
#include "workspaceedits.h"

#include <algorithm>

bool CEnrolment::Offer(const CTarvexDoc::EmployeeMap& employees, const QString& mediaId,
                       const QString& controller, const QString& time) {
    // Media IDs from a controller are plain ASCII hexadecimal.
    if (!IsUnknownMedium(employees, mediaId.toStdString()))
        return false;
    if (std::any_of(m_rows.begin(), m_rows.end(),
                    [&](const Row& row) { return row.mediaId == mediaId; }))
        return false;
    m_rows.push_back({mediaId, controller, time, {}, {}});
    return true;
}

void CEnrolment::SetNames(int row, const QString& lastName, const QString& firstName) {
    if (row < 0 || size_t(row) >= m_rows.size())
        return;
    m_rows[size_t(row)].lastName = lastName;
    m_rows[size_t(row)].firstName = firstName;
}

int CEnrolment::StartedRows() const {
    return int(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.started(); }));
}

CEnrolment::Outcome CEnrolment::AddNamed(CTarvexDoc& doc) {
    Outcome outcome;
    std::vector<Row> kept;
    for (Row& row : m_rows) {
        if (!row.named()) {
            kept.push_back(std::move(row));
            continue;
        }
        EditInput::EmployeeEntry entry =
            EditInput::CheckEmployeeTexts(&doc, true, row.mediaId, row.lastName, row.firstName);
        if (entry.refusal.accepted()) {
            WorkspaceEdits::AddEmployee(doc, entry.mediaId, {entry.lastName, entry.firstName});
            outcome.unmapped.Merge(entry.unmapped);
            outcome.added.push_back(entry.mediaId);
            continue;
        }
        // Known now (added meanwhile): nothing is left to enrol for it.
        const bool gone = entry.refusal.stringId == res::IDS_MEDIAID_EXISTS;
        if (outcome.refusal.accepted()) {
            outcome.refusal = entry.refusal;
            outcome.refusedRow = gone ? -1 : int(kept.size());
        }
        if (!gone)
            kept.push_back(std::move(row));
    }
    m_rows = std::move(kept);
    return outcome;
}
