#include "reportmodel.h"

#include "panetext.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

void CRowSet::reserve(int rows, int charsPerRow) {
    m_cells.reserve(size_t(rows) * size_t(m_columns));
    m_pool.reserve(qsizetype(rows) * charsPerRow);
}

void CRowSet::add(QStringView text) {
    m_cells.push_back({m_pool.size(), text.size()});
    m_pool.append(text);
}

void CRowSet::addLatin1(const char* data, qsizetype size) {
    m_cells.push_back({m_pool.size(), size});
    m_pool.append(QLatin1StringView(data, size));
}

void CRowSet::addBytes(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            add(PaneText::toUnicode(bytes));
            return;
        }
    }
    addLatin1(bytes.data(), qsizetype(bytes.size()));
}

void CRowSet::addNumber(int n) {
    char buf[16];
    const int len = std::snprintf(buf, sizeof buf, "%d", n);
    addLatin1(buf, len);
}

void CRowSet::addKey(const std::string& bytes) {
    m_keys.push_back({qsizetype(m_keyPool.size()), qsizetype(bytes.size())});
    m_keyPool += bytes;
}

void CRowSet::setText(int row, int column, QStringView text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return;
    Span& cell = m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    if (text.size() <= cell.length) {
        m_pool.replace(cell.offset, text.size(), text.data(), text.size());
        cell.length = text.size();
        return;
    }
    cell = {m_pool.size(), text.size()};
    m_pool.append(text);
}

std::string CRowSet::key(int row) const {
    if (row < 0 || size_t(row) >= m_keys.size())
        return {};
    const Span& s = m_keys[size_t(row)];
    return m_keyPool.substr(size_t(s.offset), size_t(s.length));
}

QStringView CRowSet::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return {};
    const Span& s = m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    return QStringView(m_pool).mid(s.offset, s.length);
}

void CRowSet::sortByFirstColumn() {
    const int n = rowCount();
    if (n < 2)
        return;
    // Fold every key once into a pool of its own; comparing folded texts orders
    // exactly as a case-insensitive compare does, only much faster.
    QString keys;
    keys.reserve(m_pool.size() / m_columns + n);
    std::vector<Span> keySpans(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        const QStringView t = text(r, 0);
        const qsizetype at = keys.size();
        bool ascii = true;
        for (QChar c : t) {
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (ascii) {
            keys.append(t);
            for (qsizetype i = at; i < keys.size(); ++i) {
                const char16_t c = keys.at(i).unicode();
                if (c >= u'A' && c <= u'Z')
                    keys[i] = QChar(char16_t(c + 32));
            }
        } else {
            keys.append(t.toString().toCaseFolded());
        }
        keySpans[size_t(r)] = {at, keys.size() - at};
    }
    const QStringView kv(keys);
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Span& x = keySpans[size_t(a)];
        const Span& y = keySpans[size_t(b)];
        return kv.mid(x.offset, x.length) < kv.mid(y.offset, y.length);
    });
    std::vector<Span> sorted;
    sorted.reserve(m_cells.size());
    for (int r : order) {
        const auto first = m_cells.begin() + ptrdiff_t(size_t(r) * size_t(m_columns));
        sorted.insert(sorted.end(), first, first + m_columns);
    }
    m_cells = std::move(sorted);
    if (m_keys.size() == size_t(n)) {
        std::vector<Span> keys;
        keys.reserve(m_keys.size());
        for (int r : order)
            keys.push_back(m_keys[size_t(r)]);
        m_keys = std::move(keys);
    }
}

void CRowSet::removeFirstRows(int count) {
    count = std::min(count, rowCount());
    if (count <= 0)
        return;
    m_cells.erase(m_cells.begin(), m_cells.begin() + ptrdiff_t(size_t(count) * size_t(m_columns)));
    m_keys.erase(m_keys.begin(),
                 m_keys.begin() + ptrdiff_t(std::min(size_t(count), m_keys.size())));
    if (m_keys.empty())
        m_keyPool.clear();
    // A list that keeps only its newest rows must not keep every text it ever held.
    if (m_pool.size() > 4096 && m_cells.empty())
        m_pool.clear();
    else if (m_pool.size() > 4096 && !m_cells.empty() && m_cells.front().offset > m_pool.size() / 2)
        compact();
}

void CRowSet::compact() {
    QString pool;
    pool.reserve(m_pool.size() - m_cells.front().offset);
    for (Span& s : m_cells) {
        const qsizetype at = pool.size();
        pool.append(QStringView(m_pool).mid(s.offset, s.length));
        s.offset = at;
    }
    m_pool = std::move(pool);
}

void CRowSet::clear() {
    m_cells.clear();
    m_pool.clear();
    m_keys.clear();
    m_keyPool.clear();
}

CReportModel::CReportModel(const QStringList& headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(headers), m_rows(int(headers.size())) {}

int CReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int CReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant CReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (m_cellRoles && role != Qt::DisplayRole && role != KeyRole) {
        QVariant v = m_cellRoles(index.row(), index.column(), role);
        if (v.isValid())
            return v;
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows.text(index.row(), index.column()).toString();
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == KeyRole) {
        const std::string key = m_rows.key(index.row());
        return QByteArray(key.data(), qsizetype(key.size()));
    }
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

void CReportModel::cellRolesChanged(int column) {
    if (rowCount() > 0 && column >= 0 && column < columnCount())
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void CReportModel::setHeaders(const QStringList& headers) {
    if (headers.size() != m_headers.size())
        return;
    m_headers = headers;
    emit headerDataChanged(Qt::Horizontal, 0, int(m_headers.size()) - 1);
}

void CReportModel::setRows(CRowSet rows, bool sortByFirstColumn) {
    if (rows.columns() != m_rows.columns())
        return;
    if (sortByFirstColumn)
        rows.sortByFirstColumn();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CReportModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CReportModel::appendRow(const QStringList& cells) {
    const int at = m_rows.rowCount();
    beginInsertRows({}, at, at);
    for (int c = 0; c < m_rows.columns(); ++c)
        m_rows.add(c < cells.size() ? QStringView(cells.at(c)) : QStringView());
    endInsertRows();
}

void CReportModel::setText(int row, int column, QStringView text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    m_rows.setText(row, column, text);
    emit dataChanged(index(row, column), index(row, column));
}

void CReportModel::removeFirstRows(int count) {
    count = std::min(count, m_rows.rowCount());
    if (count <= 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    m_rows.removeFirstRows(count);
    endRemoveRows();
}

QString CReportModel::text(int row, int column) const {
    return m_rows.text(row, column).toString();
}
