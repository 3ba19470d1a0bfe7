#include "historytablemodel.h"

CHistoryTableModel::CHistoryTableModel(const CHistoryStore& store, CHistoryJoin& join, int columns,
                                       QObject* parent)
    : QAbstractTableModel(parent), m_store(store), m_join(join), m_columns(columns) {}

void CHistoryTableModel::setColumnTitles(const QStringList& titles) {
    m_titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

void CHistoryTableModel::setFilter(const HistoryFilter& filter) {
    m_filter = filter;
    refill();
}

int CHistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant CHistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_titles.at(section);
}
