// Figures of registration intake in the program, offscreen, against simulated controllers
// paced at 2400 baud: the latency from a registration's last byte to its row in the
// registrations list and to its line in the monthly file; 32 controllers registering at once;
// and registrations while the reporting database (a PostgreSQL the benchmark starts) is locked
// and then stopped, their reports waiting in the queue.
#include "benchfigures.h"
#include "intakeworld.h"
#include "support/pacedsimulators.h"

#include "datafolder.h"
#include "dbserver.h"
#include "reportqueuefiles.h"
#include "reportsender.h"
#include "vr12simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kControllers = 32;
constexpr double kSilenceMs = 340;

// Notes the moment each registration's row appears, by its media ID, as the list adds it.
class RowClock : public QObject {
public:
    std::map<QByteArray, Clock::time_point> seen;
    std::function<void(const QByteArray&)> onRow;

    explicit RowClock(CRegView* list) : m_list(list) {
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, &RowClock::scan);
        connect(list->model(), &QAbstractItemModel::dataChanged, this, &RowClock::scan);
    }

private:
    void scan() {
        const auto now = Clock::now();
        while (m_next < m_list->rowCount()) {
            const QByteArray id = m_list->text(m_next, CRegView::kMediaIdColumn).toLatin1();
            if (id.isEmpty())
                return; // the row's texts come right after it
            ++m_next;
            seen.emplace(id, now);
            if (onRow)
                onRow(id);
        }
    }
    CRegView* m_list;
    int m_next = 0;
};

// Notes the moment each media ID's line is written to a file, from a thread of its own that
// the kernel wakes on every write: polling from the program's own event loop would add its
// polling interval and wait for the very thread that writes the line.
class LineClock {
public:
    explicit LineClock(const QString& file) : m_file(file) {
        m_fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (m_fd >= 0 &&
            inotify_add_watch(m_fd, QFile::encodeName(file).constData(), IN_MODIFY) >= 0)
            m_thread = std::thread([this] { run(); });
    }
    ~LineClock() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool watching() const { return m_thread.joinable(); }
    bool seen(const QByteArray& id, Clock::time_point* at = nullptr) {
        std::lock_guard<std::mutex> hold(m_mutex);
        const auto it = m_seen.find(id);
        if (it == m_seen.end())
            return false;
        if (at)
            *at = it->second;
        return true;
    }

private:
    void run() {
        QFile f(m_file);
        if (!f.open(QIODevice::ReadOnly))
            return;
        f.seek(f.size());
        QByteArray pending;
        char events[4096];
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const auto now = Clock::now();
            while (::read(m_fd, events, sizeof events) > 0) {
            }
            pending += f.readAll();
            for (qsizetype nl; (nl = pending.indexOf('\n')) >= 0; pending.remove(0, nl + 1)) {
                const QList<QByteArray> fields = pending.left(nl).split(',');
                if (fields.size() >= 4) {
                    std::lock_guard<std::mutex> hold(m_mutex);
                    m_seen.emplace(fields[3], now);
                }
            }
        }
    }

    QString m_file;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::map<QByteArray, Clock::time_point> m_seen;
};

// Runs the event loop until `done` holds or `timeoutMs` passes, checking every millisecond.
bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void printFigure(const char* what, double value, const char* target, bool pass) {
    std::printf("%-58s %9.1f ms   target %-28s %s\n", what, value, target, verdict(pass));
}

std::map<int, CTermRecord> controllers(int count) {
    std::map<int, CTermRecord> out;
    for (int port = 1; port <= count; ++port)
        out.emplace(port, controller("Door " + std::to_string(port), port, 100 + port));
    return out;
}

int endToEnd(std::vector<std::unique_ptr<Vr12Simulator>>& sims, int rounds) {
    IntakeWorld::setStored(QStringLiteral("UseMRDB"), 0);
    IntakeWorld::setStored(QStringLiteral("UsePhoto"), 0);
    IntakeWorld w;
    if (!w.start(QStringLiteral("single"), controllers(1))) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    RowClock rows(w.list());
    Vr12Simulator& sim = *sims[0];
    LineClock lines(w.monthlyFile());
    if (!lines.watching()) {
        std::fprintf(stderr, "cannot watch %s\n", qPrintable(w.monthlyFile()));
        return 1;
    }
    std::vector<double> toRow, toDisk;
    for (int i = 0; i < rounds; ++i) {
        const QByteArray id = Vr12Simulator::mediaIdFor(i + 1);
        Clock::time_point onDisk{};
        sim.sendMessage(Vr12Simulator::registrationFor(id));
        const bool arrived =
            waitUntil([&] { return lines.seen(id, &onDisk) && rows.seen.count(id); }, 5000);
        if (!arrived) {
            std::fprintf(stderr, "registration %d: %s\n", i,
                         rows.seen.count(id) ? "no line in the monthly file" : "no row");
            return 1;
        }
        toRow.push_back(msBetween(sim.lastSent(), rows.seen[id]));
        toDisk.push_back(msBetween(sim.lastSent(), onDisk));
        // Vary where in the receiver's cycle the next one lands.
        pause(100 + (i * 37) % 300);
    }
    std::sort(toRow.begin(), toRow.end());
    std::sort(toDisk.begin(), toDisk.end());
    const double limit = kSilenceMs + 20;
    std::printf("1. one controller, %d registrations, from the last byte\n", rounds);
    printFigure("   to the row in the list, median", toRow[toRow.size() / 2],
                "340 ms + under 20 ms", toRow[toRow.size() / 2] < limit);
    std::printf("%-58s %9.1f ms   (for information)\n", "   to the row in the list, maximum",
                toRow.back());
    printFigure("   to the line in the monthly file, median", toDisk[toDisk.size() / 2],
                "340 ms + under 20 ms", toDisk[toDisk.size() / 2] < limit);
    std::printf("%-58s %9.1f ms   (for information)\n",
                "   to the line in the monthly file, maximum", toDisk.back());
    return 0;
}

int allAtOnce(std::vector<std::unique_ptr<Vr12Simulator>>& sims) {
    IntakeWorld w;
    if (!w.start(QStringLiteral("many"), controllers(kControllers))) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    int bound = 0;
    for (int port = 1; port <= kControllers; ++port)
        bound += w.form(port) && w.form(port)->Status() == QStringLiteral("OK");
    RowClock rows(w.list());
    pause(500);
    std::vector<QByteArray> ids;
    for (int i = 0; i < kControllers; ++i)
        ids.push_back(Vr12Simulator::mediaIdFor(1000 + i));
    const auto sent = Clock::now();
    for (int i = 0; i < kControllers; ++i)
        sims[i]->sendMessage(Vr12Simulator::registrationFor(ids[i]));
    waitUntil([&] { return int(rows.seen.size()) == kControllers; }, 10000);
    int arrived = 0;
    double worst = 0, worstFromCall = 0;
    for (int i = 0; i < kControllers; ++i) {
        const auto it = rows.seen.find(ids[i]);
        if (it == rows.seen.end())
            continue;
        ++arrived;
        worst = std::max(worst, msBetween(sims[i]->lastSent(), it->second));
        worstFromCall = std::max(worstFromCall, msBetween(sent, it->second));
    }
    const double limit = kSilenceMs + 100;
    std::printf("2. %d controllers (%d bound) registering at the same moment\n", kControllers,
                bound);
    std::printf("%-58s %6d of %d   target %-28s %s\n", "   rows arrived", arrived, kControllers,
                "all, none lost", verdict(arrived == kControllers));
    printFigure("   worst, from a controller's last byte to its row", worst,
                "within 340 ms + 100 ms", arrived == kControllers && worst <= limit);
    std::printf("%-58s %9.1f ms   (for information: 19 bytes take 79 ms at 2400 baud)\n",
                "   worst, from the send call to the row", worstFromCall);
    return arrived == kControllers ? 0 : 1;
}

// Registrations of both controllers, one every `gapMs`, each measured from its last byte to its
// row; false when one did not arrive.
bool stream(std::vector<std::unique_ptr<Vr12Simulator>>& sims, RowClock& rows, int first, int count,
            int gapMs, std::vector<double>& toRow) {
    for (int i = 0; i < count; ++i) {
        Vr12Simulator& sim = *sims[size_t(i % 2)];
        const QByteArray id = Vr12Simulator::mediaIdFor(first + i);
        sim.sendMessage(Vr12Simulator::registrationFor(id));
        if (!waitUntil([&] { return rows.seen.count(id) > 0; }, 5000))
            return false;
        toRow.push_back(msBetween(sim.lastSent(), rows.seen[id]));
        pause(gapMs);
    }
    return true;
}

void printRows(const char* what, std::vector<double> toRow) {
    std::sort(toRow.begin(), toRow.end());
    const double limit = kSilenceMs + 20;
    std::printf("%s, %zu registrations of two controllers\n", what, toRow.size());
    printFigure("   last byte to row, median", toRow[toRow.size() / 2], "340 ms + under 20 ms",
                toRow[toRow.size() / 2] < limit);
    printFigure("   last byte to row, maximum", toRow.back(), "340 ms + under 20 ms",
                toRow.back() < limit);
}

// The program reports into a PostgreSQL through its queue. The table is locked by another
// session (each report waits out its command time-out on the queue's thread), then the server
// is stopped; the registrations keep coming to the list meanwhile, and every one reaches the
// table once the database is back.
int lockedDatabase(std::vector<std::unique_ptr<Vr12Simulator>>& sims) {
    TestDbServer db(TestDbServer::PostgreSQL);
    if (!db.start() || !db.installReportProcedure().isEmpty()) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(db.error()));
        return 1;
    }
    IntakeWorld::setStored(QStringLiteral("UseMRDB"), 1);
    IntakeWorld::setStored(QStringLiteral("MRDB"), db.connectionString());
    IntakeWorld::setStored(QStringLiteral("MRDBCall"), QStringLiteral("call"));
    IntakeWorld w;
    if (!w.start(QStringLiteral("locked"), controllers(2)) || !w.app->reporting()->running()) {
        std::fprintf(stderr, "the program did not start with its report queue\n");
        return 1;
    }
    RowClock rows(w.list());
    pause(500);
    std::vector<double> warm;
    if (!stream(sims, rows, 2000, 2, 200, warm) ||
        !waitUntil([&] { return db.reportRows().size() == 2; }, 10000)) {
        std::fprintf(stderr, "the first reports did not reach the table\n");
        return 1;
    }
    constexpr int kCount = 12;
    constexpr int kHoldSeconds = 8;
    std::printf("3. reporting database locked, then stopped (command time-out %d s)\n",
                kReportCommandTimeoutSeconds);
    // Another session holds the table while the registrations come.
    std::atomic<bool> lockTaken{false};
    std::thread holder([&] {
        lockTaken = true;
        db.execute(QStringLiteral("BEGIN; LOCK TABLE regs IN ACCESS EXCLUSIVE MODE; "
                                  "SELECT pg_sleep(%1); COMMIT;")
                       .arg(kHoldSeconds));
    });
    waitUntil([&] { return lockTaken.load(); }, 2000);
    pause(300);
    std::vector<double> locked;
    const bool lockedArrived = stream(sims, rows, 2100, kCount, 300, locked);
    holder.join();
    if (!lockedArrived) {
        std::printf("   a registration did not reach the list while the table was locked   MISS\n");
        return 1;
    }
    printRows("   table locked", locked);

    db.stop();
    std::vector<double> stopped;
    const bool stoppedArrived = stream(sims, rows, 2200, kCount, 300, stopped);
    const int waiting = w.app->reporting()->waiting();
    if (!db.start()) {
        std::fprintf(stderr, "PostgreSQL did not start again: %s\n", qPrintable(db.error()));
        return 1;
    }
    if (!stoppedArrived) {
        std::printf("   a registration did not reach the list while the server was down   MISS\n");
        return 1;
    }
    printRows("   server stopped", stopped);
    std::printf("%-58s %9d      (for information)\n", "   reports waiting when it came back",
                waiting);
    const int expected = 2 + 2 * kCount;
    const bool all = waitUntil([&] { return int(db.reportRows().size()) >= expected; }, 90000);
    const int inTable = int(db.reportRows().size());
    std::printf("%-58s %6d of %d   target %-28s %s\n", "   rows in the table afterwards", inTable,
                expected, "all, once", verdict(all && inTable == expected));
    if (inTable != expected) {
        for (const RefusedReport& r : ReportRefusedFile::read(tarvexDataFolder()))
            std::printf("   refused: %s %s\n", qPrintable(r.entry.mediaId),
                        qPrintable(r.error.simplified().left(200)));
        std::printf("   still waiting: %d\n", w.app->reporting()->waiting());
    }
    return all && inTable == expected ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    QApplication app(argc, argv);
    QDir::setCurrent(world.root());
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 50;

    std::vector<std::unique_ptr<Vr12Simulator>> sims =
        startPacedSimulators(world.deviceDir(), kControllers);
    if (sims.empty())
        return 1;
    std::printf("offscreen platform, simulated controllers paced at 2400 baud\n");
    int failed = endToEnd(sims, std::max(rounds, 1));
    failed |= allAtOnce(sims);
    failed |= lockedDatabase(sims);
    return failed;
}
