#pragma once

#include "reportrecord.h"

#include <QList>
#include <QString>

#include <functional>

// One slot of the report queue on disk, in the program's data folder: the entries
// (ReportQueue.txt, ReportQueue-2.txt, ...), the marker of the last one the database accepted
// (.sent) and a lock file (.lock) that makes the slot one process's while it runs. A second
// program of the same user (the desktop program beside a collector, or several collectors on
// one PC) takes the next free slot; whatever a slot holds when its process ends waits there
// for the next process that takes it, or that adopts it while it is free.
//
// Entries are appended with one write(2) of a whole line and no buffer of the program's own:
// once append() returns, the line is the kernel's and survives the process being killed
// (SIGKILL included). sync() puts it on the disk itself (against a power cut); the queue's
// worker does that for entries that wait, never the caller's thread.
class ReportQueueFiles {
public:
    static constexpr int kMaxSlots = 64;

    ReportQueueFiles() = default;
    ~ReportQueueFiles();
    ReportQueueFiles(const ReportQueueFiles&) = delete;
    ReportQueueFiles& operator=(const ReportQueueFiles&) = delete;

    static QString queuePath(const QString& folder, int slot);
    static QString markerPath(const QString& folder, int slot);
    // The slots that have a queue file in the folder, in order.
    static QList<int> slotsIn(const QString& folder);

    // Takes the slot when no other process holds it, then reads it: the entries after the
    // marker, a line cut short at the end removed so that the next append starts a line of
    // its own. False with error() when held or unreadable.
    bool open(const QString& folder, int slot);
    // Takes the first free slot.
    bool openFirstFree(const QString& folder);
    void close();
    bool isOpen() const { return m_queueFd >= 0; }
    int slot() const { return m_slot; }
    QString error() const { return m_error; }

    // What waits, as read by open(), in order; and the last sequence number in use.
    const QList<QueuedReport>& loaded() const { return m_loaded; }
    quint64 lastSeq() const { return m_lastSeq; }
    // Lines that open() found damaged or cut short and left out.
    int skipped() const { return m_skipped; }

    // One whole line in one write. Not thread-safe: the caller serialises appends and
    // rewrites.
    bool append(const QueuedReport& report);
    // The entries' bytes on the disk.
    bool sync();
    // The queue file's length in bytes.
    qint64 size() const { return m_size; }
    // Every entry up to seq was accepted.
    bool markSent(quint64 seq, bool durable);
    // The marker's bytes on the disk.
    bool syncMarker();
    // Replaces the entries with these (the ones still waiting): a new file written, synced and
    // renamed over the old one, so that a crash leaves either file whole.
    bool rewrite(const QList<QueuedReport>& waiting);

    // Reads a slot without taking it (a listing beside a running program).
    static QList<QueuedReport> peek(const QString& folder, int slot, int* skipped = nullptr);

private:
    bool fail(const QString& what);

    QString m_folder;
    int m_slot = 0;
    int m_lockFd = -1;
    int m_queueFd = -1;
    int m_markerFd = -1;
    QList<QueuedReport> m_loaded;
    quint64 m_lastSeq = 0;
    qint64 m_size = 0;
    int m_skipped = 0;
    QString m_error;
};

// The entries the database refused, with its answer, in one file beside the queue
// (ReportRefused.txt) that every slot shares; each change holds the file's lock.
namespace ReportRefusedFile {
QString path(const QString& folder);
bool append(const QString& folder, const RefusedReport& report, QString* error = nullptr);
QList<RefusedReport> read(const QString& folder, int* skipped = nullptr);
// Hands every refused entry to `put` while holding the file's lock, and empties the file only
// when `put` has kept them somewhere else.
bool take(const QString& folder, const std::function<bool(const QList<RefusedReport>&)>& put,
          QString* error = nullptr);
} // namespace ReportRefusedFile
