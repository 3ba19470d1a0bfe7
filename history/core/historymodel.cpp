#include "historymodel.h"

#include "historyjoin.h"
#include "historystore.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace {
// More new registrations than this at once are sorted in whole rather than row by row.
constexpr std::size_t kInsertOneByOne = 256;

std::vector<std::uint32_t> ranksOfTexts(const CHistoryJoin& join, std::size_t count,
                                        const auto& textOf) {
    std::vector<std::uint32_t> sorted(count);
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::sort(sorted.begin(), sorted.end(), [&join, &textOf](std::uint32_t a, std::uint32_t b) {
        return join.compareNames(textOf(a), textOf(b)) < 0;
    });
    std::vector<std::uint32_t> rank(count);
    for (std::uint32_t i = 0; i < sorted.size(); ++i)
        rank[sorted[i]] = i;
    return rank;
}
} // namespace

struct CHistoryModel::Order {
    const std::vector<HistoryRecord>* records = nullptr;
    int column = Date;
    bool descending = false;
    std::vector<std::uint32_t> rank; // per medium, action or port, as the column needs

    // The sort key before the write order, which settles ties.
    std::uint32_t key(std::uint32_t i) const {
        const HistoryRecord& r = (*records)[i];
        switch (column) {
        case Time:
            return std::uint32_t(regSecondOfDay(r.when));
        case Controller:
            return rank[r.port];
        case MediaId:
        case LastName:
        case FirstName:
            return rank[r.media];
        case Action:
            return rank[r.action];
        default:
            return 0;
        }
    }
    bool operator()(std::uint32_t a, std::uint32_t b) const {
        const std::uint32_t ka = key(a);
        const std::uint32_t kb = key(b);
        if (ka != kb)
            return descending ? ka > kb : ka < kb;
        return descending ? a > b : a < b;
    }
};

CHistoryModel::CHistoryModel(const CHistoryStore& store, CHistoryJoin& join, QObject* parent)
    : CHistoryTableModel(store, join, ColumnCount, parent) {}

void CHistoryModel::refill() {
    beginResetModel();
    m_join.update(m_store);
    m_rows = filterHistory(m_store, m_join, m_filter);
    if (m_sortColumn != Date || m_sortOrder != Qt::AscendingOrder)
        sortRows(order());
    endResetModel();
}

const HistoryRecord& CHistoryModel::record(int row) const {
    return m_store.records()[m_rows[std::size_t(row)]];
}

int CHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CHistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const HistoryRecord& r = record(index.row());
    const CHistoryJoin::Medium& m = m_join.medium(r.media);
    if (index.column() == MediaId && m.unknown && role != Qt::DisplayRole) {
        if (QVariant mark = unknownMark(role); mark.isValid())
            return mark;
    }
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Date:
            return regDateText(regDay(r.when));
        case Time:
            return regTimeText(regSecondOfDay(r.when));
        case Controller:
            return m_join.controllerText(r.port);
        case MediaId:
            return m.mediaId;
        case LastName:
            return m.lastName;
        case FirstName:
            return m.firstName;
        case Action:
            return m_join.action(r.action);
        default:
            return {};
        }
    case RecordRole:
        return qulonglong(m_rows[std::size_t(index.row())]);
    case MessageRole:
    case Qt::ToolTipRole:
        return m_join.message(m_store, r);
    case PortRole:
        return int(r.port);
    case UnknownMediumRole:
        return m.unknown;
    default:
        return {};
    }
}

CHistoryModel::Order CHistoryModel::order() const {
    Order o;
    o.records = &m_store.records();
    o.column = m_sortColumn;
    o.descending = m_sortOrder == Qt::DescendingOrder;
    switch (m_sortColumn) {
    case Controller:
        o.rank = ranksOfTexts(
            m_join, 256, [this](std::uint32_t port) { return m_join.controllerText(int(port)); });
        break;
    case MediaId:
        o.rank = m_join.ranks(CHistoryJoin::MediaOrder::ByMediaId);
        break;
    case LastName:
        o.rank = m_join.ranks(CHistoryJoin::MediaOrder::ByLastName);
        break;
    case FirstName:
        o.rank = m_join.ranks(CHistoryJoin::MediaOrder::ByFirstName);
        break;
    case Action:
        o.rank = ranksOfTexts(m_join, m_store.actionCount(),
                              [this](std::uint32_t action) { return m_join.action(action); });
        break;
    default:
        break;
    }
    return o;
}

void CHistoryModel::sortRows(const Order& o) {
    // Key and record number in one word: a plain sort of numbers, ties in the order written.
    std::vector<std::uint64_t> keyed(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keyed[i] = (std::uint64_t(o.key(m_rows[i])) << 32) | m_rows[i];
    if (o.descending)
        std::sort(keyed.begin(), keyed.end(), std::greater<>());
    else
        std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i] = std::uint32_t(keyed[i]);
}

void CHistoryModel::sort(int column, Qt::SortOrder sortOrder) {
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> records;
    records.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before)
        records.push_back(m_rows[std::size_t(index.row())]);

    m_sortColumn = column;
    m_sortOrder = sortOrder;
    const Order o = order();
    sortRows(o);

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), records[std::size_t(i)], o);
        after.append(index(int(at - m_rows.begin()), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CHistoryModel::takeNewRecords(qulonglong first) {
    m_join.update(m_store);
    const std::vector<std::uint32_t> added = filterHistory(m_store, m_join, m_filter, first);
    if (added.empty())
        return;
    const bool writeOrder = m_sortColumn == Date && m_sortOrder == Qt::AscendingOrder;
    if (writeOrder) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + added.size()) - 1);
        m_rows.insert(m_rows.end(), added.begin(), added.end());
        endInsertRows();
        return;
    }
    if (added.size() > kInsertOneByOne) {
        refill();
        return;
    }
    // Ranks taken now place new media too; the others keep their order among themselves, so
    // the rows stay sorted under them.
    const Order o = order();
    for (const std::uint32_t record : added) {
        const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), record, o);
        const int row = int(at - m_rows.begin());
        beginInsertRows({}, row, row);
        m_rows.insert(at, record);
        endInsertRows();
    }
}
