#include "historyexport.h"

#include "csvtext.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/stat.h>

HistoryExportResult exportCsv(const QString& path, const QStringList& header, int rows,
                              const std::function<QStringList(int row)>& fields) {
    HistoryExportResult result;
    // Renaming over a device, pipe or folder would put a plain file in its place.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        result.notRegularFile = true;
        return result;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.reason = file.errorString();
        return result;
    }
    std::string out;
    appendCsvRecord(out, header);
    for (int row = 0; row < rows; ++row) {
        appendCsvRecord(out, fields(row));
        if (out.size() > (1u << 20)) {
            file.write(out.data(), qint64(out.size()));
            out.clear();
        }
    }
    file.write(out.data(), qint64(out.size()));
    if (!file.commit()) {
        result.reason = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

HistoryExportResult exportCsv(const QString& path, const QAbstractItemModel& model) {
    const int columns = model.columnCount();
    QStringList header;
    for (int c = 0; c < columns; ++c)
        header << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return exportCsv(path, header, model.rowCount(), [&model, columns](int row) {
        QStringList fields;
        fields.reserve(columns);
        for (int c = 0; c < columns; ++c)
            fields << model.data(model.index(row, c), Qt::DisplayRole).toString();
        return fields;
    });
}
