#pragma once

#include "historytablemodel.h"

#include <cstdint>
#include <vector>

class CHistoryJoin;
class CHistoryStore;
struct HistoryRecord;

// The registrations that pass a filter, one row each, for a table view. It sorts itself (a
// year of registrations is too many for a proxy model) and takes new registrations as the
// follower reports them.
class CHistoryModel : public CHistoryTableModel {
    Q_OBJECT
public:
    enum Column { Date, Time, Controller, MediaId, LastName, FirstName, Action, ColumnCount };
    enum Role {
        RecordRole = Qt::UserRole + 1, // the record's number in the store (qulonglong)
        MessageRole,                   // the message as the controller sent it
        PortRole,                      // the COM port (int)
        UnknownMediumRole              // bool: a medium no employee has
    };

    CHistoryModel(const CHistoryStore& store, CHistoryJoin& join, QObject* parent = nullptr);

    const HistoryRecord& record(int row) const;
    // The store's numbers of the records shown, in the order shown.
    const std::vector<std::uint32_t>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Date in ascending order is the order the registrations were written.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

public slots:
    // In their sorted places (the order written: at the end).
    void takeNewRecords(qulonglong first) override;
    void refill() override;

private:
    // Orders record numbers by the sort column; built for one sort or one insertion.
    struct Order;
    Order order() const;
    void sortRows(const Order& o);

    std::vector<std::uint32_t> m_rows;
    int m_sortColumn = Date;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
