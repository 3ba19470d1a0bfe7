#include "reportmodel.h"

#include <algorithm>

CReportModel::CReportModel(const QStringList& headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(headers.mid(0, kMaxColumns)) {}

int CReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant CReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()) || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows[size_t(index.row())][size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_headers.size()) {
        if (role == Qt::DisplayRole)
            return m_headers.at(section);
        if (role == Qt::TextAlignmentRole)
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void CReportModel::setHeaders(const QStringList& headers) {
    m_headers = headers.mid(0, kMaxColumns);
    emit headerDataChanged(Qt::Horizontal, 0, int(m_headers.size()) - 1);
}

bool CReportModel::lessByFirstColumn(const Row& a, const Row& b) {
    return QString::compare(a[0], b[0], Qt::CaseInsensitive) < 0;
}

void CReportModel::setRows(std::vector<Row> rows, bool sortByFirstColumn) {
    if (sortByFirstColumn)
        std::stable_sort(rows.begin(), rows.end(), lessByFirstColumn);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CReportModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CReportModel::appendRow(Row row) {
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.push_back(std::move(row));
    endInsertRows();
}

void CReportModel::removeFirstRows(int count) {
    count = std::min(count, int(m_rows.size()));
    if (count <= 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    endRemoveRows();
}
