#pragma once

#include "reportentry.h"
#include "reportqueuefiles.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class CADODataBase;

struct ReportQueueOptions {
    QString folder;          // the program's data folder ($XDG_DATA_HOME/Tarvex)
    QString connection;      // the reporting database's connection string (MRDB)
    int maxEntries = 100000; // ReportQueueMax: beyond it new entries are turned away
    // One command may take this long before the database counts as not answering; the end of
    // the program may wait for one command this long beyond its grace.
    int commandTimeoutSeconds = 3;
    int connectionTimeoutSeconds = 5;
    // How often an idle queue looks for slots that no running program holds.
    int adoptEveryMs = 10000;
};

// What the site-health alert shows of the queue.
struct ReportQueueStatus {
    int waiting = 0;       // entries the database has not accepted yet
    int refused = 0;       // entries refused since the start
    qint64 turnedAway = 0; // entries not queued since the start because the queue was full
    bool full = false;     // the queue holds maxEntries: the alert condition
    bool answering = true; // the last try reached the database
    QString problem;       // why not, when it did not
};

// The reporting database's queue: entries appended on the caller's thread, sent in order by a
// worker thread on a connection of its own. An entry leaves the queue only when the database
// accepted it, or refused it (an SQL error: then it is kept in the refused file with the
// error and reported once through refused()). A database that does not answer is tried again
// after a pause that grows from 1 s to 60 s while the queue grows on disk.
//
// An entry the database accepted is marked before the next is sent, so a program killed at
// any moment sends again at most the one entry that was in flight.
class ReportQueue : public QObject {
    Q_OBJECT
public:
    explicit ReportQueue(ReportQueueOptions options, QObject* parent = nullptr);
    ~ReportQueue() override;
    ReportQueue(const ReportQueue&) = delete;
    ReportQueue& operator=(const ReportQueue&) = delete;

    // Takes a free slot of the folder, reads what waits there and starts sending. False with
    // error() when no slot can be had.
    bool start();
    QString error() const { return m_error; }
    int slot() const { return m_files.slot(); }
    // Damaged or cut-short lines the start found in its slot and left out.
    int skippedLines() const { return m_skipped; }

    // Appends the entry to the slot's file with one write before it returns; the worker takes
    // it from there. False when the queue is full (the entry is counted and the alert raised)
    // or cannot be written.
    bool enqueue(const ReportEntry& entry);

    ReportQueueStatus status() const;

    // The reporting settings changed while the queue runs: what waits and what comes goes to
    // the new connection from the next command on (the one in flight ends on the old one), a
    // retry pause is cut short, and the limit holds for the next append. The slot and the
    // order stay as they are.
    void reconfigure(const QString& connection, int maxEntries);

    // Gives the worker up to graceMs to send what waits, then stops it (after the command in
    // flight, if any). True when nothing waits. What remains is sent after the next start;
    // status() still counts it.
    bool finish(int graceMs);

signals:
    // Emitted on the worker thread; connect with Qt::DirectConnection to act at once.
    void refused(const ReportEntry& entry, const QString& command, const QString& error);
    // The first try's outcome, then each time the database stops or starts answering (problem:
    // the error of the failed try).
    void answeringChanged(bool answering, const QString& problem);
    // An entry could not be queued because the queue was full; the count since the start.
    void turnedAway(qint64 count);

private:
    struct Pending {
        quint64 seq;
        ReportEntry entry;
    };
    enum class Step { Sent, Stop, NoAnswer };

    void run();
    // Sends one entry of `files` (the own slot or an adopted one) and settles it there.
    Step sendOne(CADODataBase& db, ReportQueueFiles& files, const QueuedReport& report, bool own);
    bool openConnection(CADODataBase& db);
    void noAnswer(const QString& problem);
    void answered();
    void adoptFreeSlots(CADODataBase& db);
    bool waitFor(int ms); // false when told to stop

    ReportQueueOptions m_options;
    ReportQueueFiles m_files;
    QString m_error;
    int m_skipped = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Pending> m_pending;
    quint64 m_nextSeq = 1;
    bool m_unsynced = false;
    int m_sentSinceRewrite = 0;
    int m_adoptedWaiting = 0;
    int m_refused = 0;
    qint64 m_turnedAway = 0;
    bool m_answering = true;
    bool m_tried = false;
    QString m_problem;
    int m_failures = 0;
    bool m_finishing = false;
    bool m_reconnect = false; // the worker's connection belongs to the old settings
    bool m_stop = false;
    bool m_running = false;
    std::thread m_worker;
};
