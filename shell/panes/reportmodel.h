#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// Rows of plain texts behind a report list. Refills replace the whole content
// in one reset, so even a list of 100,000 rows is rebuilt quickly.
class CReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxColumns = 5;
    using Row = std::array<QString, kMaxColumns>;

    explicit CReportModel(const QStringList& headers, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList& headers);

    // Replaces all rows. With sortByFirstColumn the rows are ordered by column 0
    // (case-insensitive, equal texts keep the given order).
    void setRows(std::vector<Row> rows, bool sortByFirstColumn);
    void clear();
    void appendRow(Row row);
    void removeFirstRows(int count);

    const QString& text(int row, int column) const { return m_rows[size_t(row)][size_t(column)]; }

    static bool lessByFirstColumn(const Row& a, const Row& b);

private:
    QStringList m_headers;
    std::vector<Row> m_rows;
};
