#include "alertlistmodel.h"

#include "resourceids.h"
#include "textformat.h"

using namespace res;

CAlertListModel::CAlertListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CAlertListModel::add(const Alert& alert) {
    ++m_total;
    if (int(m_alerts.size()) >= kMaxAlerts) {
        const int last = int(m_alerts.size()) - 1;
        beginRemoveRows({}, last, last);
        m_alerts.pop_back();
        endRemoveRows();
    }
    beginInsertRows({}, 0, 0);
    m_alerts.push_front(alert);
    endInsertRows();
}

int CAlertListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_alerts.size());
}

int CAlertListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CAlertListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Alert& alert = at(index.row());
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
        return alert.reason.isEmpty() ? QVariant() : QVariant(alert.reason);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case TimeColumn:
        return alert.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case ControllerColumn:
        if (alert.comPort <= 0)
            return QString();
        return FormatString(IDS_ALERT_CONTROLLER_CELL, alert.comPort, alert.controllerId);
    case TextColumn:
        return alert.text;
    default:
        return {};
    }
}

QVariant CAlertListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return S(IDS_TIME);
    case ControllerColumn:
        return S(IDS_ALERTS_CONTROLLER);
    case TextColumn:
        return S(IDS_ALERTS_TEXT);
    default:
        return {};
    }
}
