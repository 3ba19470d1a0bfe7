#include "attendancemodel.h"

#include "historyjoin.h"
#include "historystore.h"

CAttendanceModel::CAttendanceModel(const CHistoryStore& store, CHistoryJoin& join, QObject* parent)
    : CHistoryTableModel(store, join, ColumnCount, parent) {}

void CAttendanceModel::refill() {
    beginResetModel();
    for (std::vector<std::uint32_t>& ranks : m_ranks)
        ranks.clear();
    m_join.update(m_store);
    m_table.rebuild(m_store, m_join, filterHistory(m_store, m_join, m_filter));
    endResetModel();
}

std::uint32_t CAttendanceModel::rank(int column, std::uint32_t media) const {
    const int which = column == LastName ? 0 : column == FirstName ? 1 : 2;
    std::vector<std::uint32_t>& ranks = m_ranks[which];
    if (ranks.size() != m_store.mediaCount())
        ranks = m_join.ranks(which == 0   ? CHistoryJoin::MediaOrder::ByLastName
                             : which == 1 ? CHistoryJoin::MediaOrder::ByFirstName
                                          : CHistoryJoin::MediaOrder::ByMediaId);
    return ranks[media];
}

void CAttendanceModel::takeNewRecords(qulonglong first) {
    m_join.update(m_store);
    for (const std::uint32_t i : filterHistory(m_store, m_join, m_filter, first)) {
        const HistoryRecord& r = m_store.records()[i];
        if (!r.person)
            continue;
        const CAttendanceTable::Place place = m_table.placeOf(m_join, r);
        const int row = int(place.row);
        if (place.existing) {
            m_table.add(place, r);
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        } else {
            beginInsertRows({}, row, row);
            m_table.add(place, r);
            endInsertRows();
        }
    }
}

int CAttendanceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_table.rows().size());
}

QVariant CAttendanceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const AttendanceRow& a = attendance(index.row());
    const CHistoryJoin::Medium& m = m_join.medium(a.media);
    if (index.column() == MediaId && m.unknown && role != Qt::DisplayRole) {
        if (QVariant mark = unknownMark(role); mark.isValid())
            return mark;
    }
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Date:
            return regDateText(a.day);
        case LastName:
            return m.lastName;
        case FirstName:
            return m.firstName;
        case MediaId:
            return m.mediaId;
        case First:
            return regTimeText(regSecondOfDay(a.first));
        case Last:
            return regTimeText(regSecondOfDay(a.last));
        case Span:
            return regSpanText(a.span());
        case Count:
            return qulonglong(a.count);
        default:
            return {};
        }
    }
    if (role == SortRole) {
        switch (index.column()) {
        case Date:
            return qulonglong(a.day);
        case First:
            return qulonglong(a.first);
        case Last:
            return qulonglong(a.last);
        case Span:
            return qulonglong(a.span());
        case Count:
            return qulonglong(a.count);
        default:
            return qulonglong(rank(index.column(), a.media));
        }
    }
    if (role == PortsRole) {
        QList<int> ports;
        for (int port = 1; port < 256; ++port) {
            if (a.ports.test(std::size_t(port)))
                ports.append(port);
        }
        return QVariant::fromValue(ports);
    }
    if (role == UnknownMediumRole)
        return m.unknown;
    return {};
}
