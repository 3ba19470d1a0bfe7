#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <string>
#include <vector>

// The texts of a list's rows, kept in one character pool: building 100,000
// rows then costs a few allocations instead of one per cell.
class CRowSet {
public:
    explicit CRowSet(int columns = 1) : m_columns(columns < 1 ? 1 : columns) {}

    void reserve(int rows, int charsPerRow);
    // Cells are added left to right; a row is complete after `columns` cells.
    void add(QStringView text);
    void addLatin1(const char* data, qsizetype size);
    // A byte text of the workspace: plain ASCII goes straight in, anything else
    // through the program's code page.
    void addBytes(const std::string& bytes);
    void addNumber(int n);
    // The bytes that name the next row without a key, as the workspace stores them (an
    // employee's MediaID): commands act on these, never on the shown text converted back.
    // Given once per row, in row order.
    void addKey(const std::string& bytes);
    // Replaces a cell's text. A text no longer than the old one takes its place in the pool, so
    // a cell that keeps changing to texts of one length does not grow it.
    void setText(int row, int column, QStringView text);

    int columns() const { return m_columns; }
    int rowCount() const { return int(m_cells.size() / size_t(m_columns)); }
    QStringView text(int row, int column) const;
    // Empty for a row that was given no key.
    std::string key(int row) const;

    // Puts the rows in ascending order of column 0, compared case-insensitively;
    // rows with equal texts keep their order.
    void sortByFirstColumn();
    void removeFirstRows(int count);
    void clear();

private:
    struct Span {
        qsizetype offset;
        qsizetype length;
    };
    void compact();

    int m_columns;
    QString m_pool;
    std::vector<Span> m_cells;
    std::string m_keyPool;
    std::vector<Span> m_keys; // by row
};

// Model of a report list over a CRowSet. Refills replace the whole content in
// one reset.
class CReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // data() of any cell in this role: the row's key bytes (QByteArray), see CRowSet::addKey.
    static constexpr int KeyRole = Qt::UserRole + 1;

    // A cell's further roles (a mark and its description), asked before the model's own; a null
    // answer leaves the cell as it is. Never asked for the text or the key.
    using CellRoles = std::function<QVariant(int row, int column, int role)>;

    explicit CReportModel(const QStringList& headers, QObject* parent = nullptr);

    void setCellRoles(CellRoles roles) { m_cellRoles = std::move(roles); }
    // The further roles of a column may have changed: its cells are drawn again.
    void cellRolesChanged(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList& headers);
    // An empty row set with this model's column count.
    CRowSet makeRowSet() const { return CRowSet(int(m_headers.size())); }

    void setRows(CRowSet rows, bool sortByFirstColumn);
    void clear();
    void appendRow(const QStringList& cells);
    void removeFirstRows(int count);
    void setText(int row, int column, QStringView text);

    QString text(int row, int column) const;
    std::string key(int row) const { return m_rows.key(row); }

private:
    QStringList m_headers;
    CRowSet m_rows;
    CellRoles m_cellRoles;
};
