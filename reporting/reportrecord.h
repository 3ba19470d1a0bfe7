#pragma once

#include "reportentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>

// The lines of the queue's files. Each is one line of tab-separated fields ending in the
// CRC-32 of everything before it, so that a line cut short by a killed process or a damaged
// disk is recognised and left out instead of being sent half.
//
//   queue:   "R1" seq form mediaId date time controllerId controllerCode crc
//   refused: "F1" seq form mediaId date time controllerId controllerCode refusedAt error crc
//   marker:  "S1" seq crc          (the last sequence number the database accepted)
//
// Texts are UTF-8 with "%", tab, line ends and other control bytes as "%XX".

struct QueuedReport {
    quint64 seq = 0;
    ReportEntry entry;

    bool operator==(const QueuedReport&) const = default;
};

struct RefusedReport {
    quint64 seq = 0;
    ReportEntry entry;
    QDateTime refusedAt; // UTC
    QString error;
};

QByteArray encodeQueued(const QueuedReport& report);
QByteArray encodeRefused(const RefusedReport& report);
QByteArray encodeMarker(quint64 sentUpTo);

// One line without its line end; nothing when it is damaged or of another kind.
std::optional<QueuedReport> decodeQueued(const QByteArray& line);
std::optional<RefusedReport> decodeRefused(const QByteArray& line);
std::optional<quint64> decodeMarker(const QByteArray& line);

// The complete lines of a file's bytes, decoded; a last line without its line end (a write
// cut short) and damaged lines are counted in `skipped` and left out.
QList<QueuedReport> decodeQueuedLines(const QByteArray& bytes, int* skipped = nullptr);
QList<RefusedReport> decodeRefusedLines(const QByteArray& bytes, int* skipped = nullptr);

quint32 crc32Of(const QByteArray& bytes);
