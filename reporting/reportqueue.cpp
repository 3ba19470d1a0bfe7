#include "reportqueue.h"

#include "adodatabase.h"
#include "reportdelivery.h"

#include <QDateTime>

#include <chrono>
#include <utility>

namespace {
// An emptied queue file is cut back once it holds this many bytes; one that never empties is
// rewritten with what still waits once this many entries were sent, when what waits is small
// enough to write while appends wait.
constexpr int kRewriteAfterSent = 10000;
constexpr qint64 kCutAtBytes = 64 * 1024;
constexpr int kRewriteAtMostWaiting = 1000;
} // namespace

ReportQueue::ReportQueue(ReportQueueOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)) {}

ReportQueue::~ReportQueue() {
    finish(0);
}

bool ReportQueue::start() {
    if (m_running)
        return true;
    if (!m_files.openFirstFree(m_options.folder)) {
        m_error = m_files.error();
        return false;
    }
    m_skipped = m_files.skipped();
    m_pending.clear();
    for (const QueuedReport& r : m_files.loaded())
        m_pending.push_back({r.seq, r.entry});
    m_nextSeq = m_files.lastSeq() + 1;
    m_finishing = m_stop = false;
    m_running = true;
    m_worker = std::thread([this] { run(); });
    return true;
}

bool ReportQueue::enqueue(const ReportEntry& entry) {
    qint64 turned = 0;
    {
        std::lock_guard hold(m_mutex);
        if (!m_running)
            return false;
        if (int(m_pending.size()) < m_options.maxEntries) {
            const QueuedReport report{m_nextSeq, entry};
            if (!m_files.append(report))
                return false;
            m_pending.push_back({m_nextSeq++, entry});
            m_unsynced = true;
            m_wake.notify_one();
            return true;
        }
        turned = ++m_turnedAway;
    }
    emit turnedAway(turned);
    return false;
}

ReportQueueStatus ReportQueue::status() const {
    std::lock_guard hold(m_mutex);
    ReportQueueStatus s;
    s.waiting = int(m_pending.size()) + m_adoptedWaiting;
    s.refused = m_refused;
    s.turnedAway = m_turnedAway;
    s.full = int(m_pending.size()) >= m_options.maxEntries;
    s.answering = m_answering;
    s.problem = m_problem;
    return s;
}

void ReportQueue::reconfigure(const QString& connection, int maxEntries) {
    std::lock_guard hold(m_mutex);
    if (maxEntries > 0)
        m_options.maxEntries = maxEntries;
    if (connection == m_options.connection)
        return;
    m_options.connection = connection;
    m_reconnect = true;
    // A pause meant for the old database is not the new one's.
    m_failures = 0;
    m_wake.notify_all();
}

bool ReportQueue::finish(int graceMs) {
    std::unique_lock lock(m_mutex);
    if (!m_running)
        return m_pending.empty();
    m_finishing = true;
    m_wake.notify_all();
    m_idle.wait_for(lock, std::chrono::milliseconds(std::max(graceMs, 0)),
                    [this] { return m_pending.empty(); });
    m_stop = true;
    m_wake.notify_all();
    lock.unlock();
    m_worker.join();
    lock.lock();
    m_running = false;
    // What is left waits for the next start: on the disk before the program ends.
    if (!m_pending.empty())
        m_files.sync();
    m_files.close();
    return m_pending.empty();
}

bool ReportQueue::waitFor(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    // Entries that wait for the database go to the disk, once a second at most: an append into
    // the page the disk is writing waits for the write, and the appends must not wait often.
    constexpr auto kSyncEvery = std::chrono::seconds(1);
    auto nextSync = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        const auto now = Clock::now();
        if (now >= until)
            return true;
        if (m_unsynced && now >= nextSync) {
            m_unsynced = false;
            lock.unlock();
            m_files.sync();
            lock.lock();
            nextSync = Clock::now() + kSyncEvery;
        } else if (m_unsynced) {
            m_wake.wait_until(lock, std::min(until, nextSync),
                              [this] { return m_stop || m_reconnect; });
        } else {
            m_wake.wait_until(lock, until, [this] { return m_stop || m_unsynced || m_reconnect; });
        }
        if (m_reconnect)
            return true;
    }
    return false;
}

bool ReportQueue::openConnection(CADODataBase& db) {
    QString connection;
    {
        std::lock_guard hold(m_mutex);
        if (std::exchange(m_reconnect, false))
            db.Close();
        connection = m_options.connection;
    }
    if (db.IsOpen())
        return true;
    db.SetConnectionTimeout(m_options.connectionTimeoutSeconds);
    // The SQLite driver takes its lock wait only when connecting.
    db.SetCommandTimeout(m_options.commandTimeoutSeconds);
    if (db.Open(connection, QString(), QString()))
        return true;
    noAnswer(db.GetErrorDescription());
    return false;
}

void ReportQueue::noAnswer(const QString& problem) {
    bool changed = false;
    {
        std::lock_guard hold(m_mutex);
        ++m_failures;
        changed = m_answering || !m_tried;
        m_tried = true;
        m_answering = false;
        m_problem = problem;
    }
    if (changed)
        emit answeringChanged(false, problem);
}

void ReportQueue::answered() {
    bool changed = false;
    {
        std::lock_guard hold(m_mutex);
        m_failures = 0;
        changed = !m_answering || !m_tried;
        m_tried = true;
        m_answering = true;
        m_problem.clear();
    }
    if (changed)
        emit answeringChanged(true, QString());
}

ReportQueue::Step ReportQueue::sendOne(CADODataBase& db, ReportQueueFiles& files,
                                       const QueuedReport& report, bool own) {
    if (!openConnection(db))
        return Step::NoAnswer;
    const Delivery d = deliverReport(&db, report.entry);
    if (d.outcome == DeliveryOutcome::NoAnswer) {
        db.Close(); // a connection that lost its server is opened afresh
        noAnswer(d.error);
        return Step::NoAnswer;
    }
    answered();
    if (d.outcome == DeliveryOutcome::Refused) {
        // Kept aside before it leaves the queue: a crash in between refuses it twice rather
        // than lose it. Where it cannot be kept, it stays in the queue for a later try.
        QString why;
        if (!ReportRefusedFile::append(
                m_options.folder,
                {report.seq, report.entry, QDateTime::currentDateTimeUtc(), d.error}, &why)) {
            noAnswer(why);
            return Step::NoAnswer;
        }
        {
            std::lock_guard hold(m_mutex);
            ++m_refused;
        }
        emit refused(report.entry, d.command, d.error);
    }
    if (!own) {
        files.markSent(report.seq, false);
        return Step::Sent;
    }
    // The marker is the worker's alone: written without holding up the appends.
    files.markSent(report.seq, false);
    bool drained = false;
    {
        std::lock_guard hold(m_mutex);
        m_pending.pop_front();
        drained = m_pending.empty();
        ++m_sentSinceRewrite;
        // Appends wait meanwhile, and a cut or a write can wait for the disk: an emptied file
        // is cut once it has grown, and a rewrite is kept small.
        if ((drained && files.size() >= kCutAtBytes) ||
            (m_sentSinceRewrite >= kRewriteAfterSent &&
             int(m_pending.size()) <= kRewriteAtMostWaiting)) {
            QList<QueuedReport> waiting;
            for (const Pending& p : m_pending)
                waiting.append({p.seq, p.entry});
            if (files.rewrite(waiting))
                m_sentSinceRewrite = 0;
        }
    }
    if (drained) {
        // Against a power cut.
        files.syncMarker();
        m_idle.notify_all();
    }
    return Step::Sent;
}

void ReportQueue::adoptFreeSlots(CADODataBase& db) {
    for (const int slot : ReportQueueFiles::slotsIn(m_options.folder)) {
        if (slot == m_files.slot())
            continue;
        ReportQueueFiles other;
        if (!other.open(m_options.folder, slot) || other.loaded().isEmpty())
            continue;
        const QList<QueuedReport> waiting = other.loaded();
        int left = int(waiting.size());
        {
            std::lock_guard hold(m_mutex);
            m_adoptedWaiting = left;
        }
        for (const QueuedReport& r : waiting) {
            {
                std::lock_guard hold(m_mutex);
                // The program's own registrations go first; the rest waits for the next look.
                if (m_stop || m_finishing || !m_pending.empty())
                    break;
            }
            if (sendOne(db, other, r, false) != Step::Sent)
                break;
            std::lock_guard hold(m_mutex);
            m_adoptedWaiting = --left;
        }
        if (left == 0)
            other.rewrite({});
        std::lock_guard hold(m_mutex);
        m_adoptedWaiting = 0;
        if (left > 0)
            return;
    }
}

void ReportQueue::run() {
    CADODataBase db;
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextLook = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_pending.empty()) {
            if (m_finishing)
                break;
            if (Clock::now() >= nextLook) {
                lock.unlock();
                adoptFreeSlots(db);
                const int failures = [this] {
                    std::lock_guard hold(m_mutex);
                    return m_failures;
                }();
                nextLook = Clock::now() +
                           std::chrono::milliseconds(failures > 0 ? reportRetryPauseMs(failures)
                                                                  : m_options.adoptEveryMs);
                lock.lock();
                continue;
            }
            m_wake.wait_until(lock, nextLook, [this] {
                return m_stop || m_finishing || !m_pending.empty() || m_reconnect;
            });
            if (std::exchange(m_reconnect, false)) {
                lock.unlock();
                db.Close();
                lock.lock();
                nextLook = Clock::now(); // the new database gets the free slots' entries now
            }
            continue;
        }
        const QueuedReport front{m_pending.front().seq, m_pending.front().entry};
        lock.unlock();
        // While the database answers, an entry stays in the queue for milliseconds and is not
        // forced to the disk: the disk's writing would hold up the next append.
        if (sendOne(db, m_files, front, true) == Step::NoAnswer) {
            const int failures = [this] {
                std::lock_guard hold(m_mutex);
                return m_failures;
            }();
            waitFor(reportRetryPauseMs(failures));
        }
        lock.lock();
    }
    lock.unlock();
    db.Close();
}
