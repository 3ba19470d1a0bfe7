#pragma once

#include "attendancetable.h"
#include "historytablemodel.h"

#include <cstdint>
#include <vector>

class CHistoryJoin;
class CHistoryStore;

// The attendance of the registrations that pass a filter, one row per person and day, for a
// table view. SortRole gives each cell a number that sorts as the column means, names by the
// locale's collation (a proxy model sorts the few thousand rows of a year well enough); new
// registrations are counted in as the follower reports them.
class CAttendanceModel : public CHistoryTableModel {
    Q_OBJECT
public:
    enum Column { Date, LastName, FirstName, MediaId, First, Last, Span, Count, ColumnCount };
    enum Role {
        SortRole = Qt::UserRole + 1,
        PortsRole, // the controllers' COM ports used that day (QList<int>)
        UnknownMediumRole
    };

    CAttendanceModel(const CHistoryStore& store, CHistoryJoin& join, QObject* parent = nullptr);

    const AttendanceRow& attendance(int row) const { return m_table.rows()[std::size_t(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

public slots:
    void takeNewRecords(qulonglong first) override;
    void refill() override;

private:
    std::uint32_t rank(int column, std::uint32_t media) const;

    CAttendanceTable m_table;
    // The join's ranks by last name, first name and media ID, taken when first asked for.
    mutable std::vector<std::uint32_t> m_ranks[3];
};
