#pragma once

#include "historyfilter.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <vector>

class CHistoryJoin;
class CHistoryStore;
struct HistoryRecord;

// The registrations that pass a filter, one row each, for a table view. It sorts itself (a
// year of registrations is too many for a proxy model) and takes new registrations as the
// follower reports them.
class CHistoryModel : public QAbstractTableModel {
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

    // The header texts, one per column (the window takes them from the string table).
    void setColumnTitles(const QStringList& titles);
    // Shows the registrations that pass `filter`, in the current order.
    void setFilter(const HistoryFilter& filter);
    const HistoryFilter& filter() const { return m_filter; }
    const HistoryRecord& record(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Date in ascending order is the order the registrations were written.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

public slots:
    // The store's records from `first` on are new (CHistoryFollower::recordsAdded).
    void takeNewRecords(qulonglong first);
    // The store was read again, or the workspace of the join changed.
    void refill();

private:
    // Orders record numbers by the sort column; built for one sort or one insertion.
    struct Order;
    Order order() const;
    void sortRows(const Order& o);

    const CHistoryStore& m_store;
    CHistoryJoin& m_join;
    HistoryFilter m_filter;
    QStringList m_titles;
    std::vector<std::uint32_t> m_rows;
    int m_sortColumn = Date;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
