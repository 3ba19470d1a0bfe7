#pragma once

#include "alert.h"

#include <QAbstractTableModel>

#include <deque>

// The alerts so far, newest first, as the Alerts window lists them: time, controller, text.
// The reason behind an alert is its tooltip. Bounded: a site that runs for months keeps the
// latest kMaxAlerts.
class CAlertListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, ControllerColumn, TextColumn, ColumnCount };
    static constexpr int kMaxAlerts = 1000;

    explicit CAlertListModel(QObject* parent = nullptr);

    void add(const Alert& alert);
    const Alert& at(int row) const { return m_alerts.at(size_t(row)); }
    // Every alert added since the start, including those no longer kept.
    qint64 total() const { return m_total; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::deque<Alert> m_alerts;
    qint64 m_total = 0;
};
