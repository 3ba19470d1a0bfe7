#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemModel;

struct HistoryExportResult {
    bool ok = false;
    bool notRegularFile = false; // the target exists and is no regular file: left alone
    QString reason;              // why it failed otherwise
};

// Writes a header line and `rows` records to `path` as comma-separated text (UTF-8, RFC 4180).
// The file is written beside the target and renamed over it, so a failed export leaves what
// was there; a symbolic link is followed to the file it names, and a target that exists but is
// no regular file (a folder, a device, a pipe) is refused.
HistoryExportResult exportCsv(const QString& path, const QStringList& header, int rows,
                              const std::function<QStringList(int row)>& fields);
// The display texts of a table model, its header titles first, rows in the model's order.
HistoryExportResult exportCsv(const QString& path, const QAbstractItemModel& model);
