#pragma once

#include "historyfilter.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>

#include <functional>

class CHistoryJoin;
class CHistoryStore;

// What the history's table models share: the store and the join they show, the filter, and
// the header texts (the window takes them from the string table).
class CHistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    void setColumnTitles(const QStringList& titles);
    // Shows what passes `filter`.
    void setFilter(const HistoryFilter& filter);
    const HistoryFilter& filter() const { return m_filter; }
    // What the MediaID cell of an unknown medium shows in other roles than its text (the
    // window's mark: a picture and an accessible description); an invalid value: nothing.
    using UnknownMark = std::function<QVariant(int role)>;
    void setUnknownMark(UnknownMark mark) { m_unknownMark = std::move(mark); }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

public slots:
    // The store's records from `first` on are new (CHistoryFollower::recordsAdded).
    virtual void takeNewRecords(qulonglong first) = 0;
    // The store was read again, or the workspace of the join changed.
    virtual void refill() = 0;

protected:
    CHistoryTableModel(const CHistoryStore& store, CHistoryJoin& join, int columns,
                       QObject* parent);

    const CHistoryStore& m_store;
    CHistoryJoin& m_join;
    HistoryFilter m_filter;

    QVariant unknownMark(int role) const {
        return m_unknownMark ? m_unknownMark(role) : QVariant();
    }

private:
    UnknownMark m_unknownMark;
    QStringList m_titles;
    int m_columns;
};
