// Figures of reporting through the queue, against a PostgreSQL server the benchmark starts in
// a temporary folder and simulated controllers paced at 2400 baud:
//   1. the queue's cost per registration on the caller's thread, its write included;
//   2. registration to row through tarvexctl collect, after the 340 ms of silence;
//   3. the next registration's line while the database is stopped;
//   4. eight collectors of 32 controllers each into one database: every registration once,
//      and the slowest one's time to its row.
#include "adodatabase.h"
#include "adorecordset.h"
#include "benchfigures.h"
#include "dbserver.h"
#include "reportqueue.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "vr12simulator.h"
#include "workspacefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kSilenceMs = 340;
constexpr int kCollectors = 8;
constexpr int kPerCollector = 32;

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

void printFigure(const char* what, double value, const char* target, bool pass) {
    std::printf("%-60s %9.3f ms   target %-24s %s\n", what, value, target, verdict(pass));
}

void printInfo(const char* what, double value) {
    std::printf("%-60s %9.3f ms   (for information)\n", what, value);
}

// Notes when each row of regs appears, keyed by media part and controller ID, from a thread
// of its own polling its own connection every 2 ms.
class RowWatch {
public:
    explicit RowWatch(const QString& connection) {
        m_thread = std::thread([this, connection] { run(connection); });
    }
    ~RowWatch() {
        m_stop = true;
        m_thread.join();
    }
    bool seen(const QString& key, Clock::time_point* at = nullptr) {
        std::lock_guard hold(m_mutex);
        const auto it = m_seen.find(key);
        if (it == m_seen.end())
            return false;
        if (at)
            *at = it->second;
        return true;
    }
    int rows() {
        std::lock_guard hold(m_mutex);
        return m_rows;
    }
    int repeats() {
        std::lock_guard hold(m_mutex);
        return m_repeats;
    }

private:
    void run(const QString& connection) {
        CADODataBase db;
        // Rows of concurrent connections commit out of their numbers' order: the poll starts
        // below the first number not seen yet and skips the numbers it has.
        qint64 low = 0;
        std::set<qint64> numbers;
        while (!m_stop) {
            if (!db.IsOpen() && !db.Open(connection)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                continue;
            }
            CADORecordset rs(&db);
            if (rs.Open(QStringLiteral("SELECT n, media, controller_id FROM regs WHERE n > %1 "
                                       "ORDER BY n")
                            .arg(low))) {
                const auto now = Clock::now();
                std::lock_guard hold(m_mutex);
                for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
                    QString n, media, id;
                    rs.GetFieldValue(0, n);
                    rs.GetFieldValue(1, media);
                    rs.GetFieldValue(2, id);
                    if (!numbers.insert(n.toLongLong()).second)
                        continue;
                    ++m_rows;
                    if (!m_seen.emplace(media + u'/' + id, now).second)
                        ++m_repeats;
                }
                while (numbers.count(low + 1))
                    ++low;
            } else {
                db.Close();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::map<QString, Clock::time_point> m_seen;
    int m_rows = 0;
    int m_repeats = 0;
};

QString keyOf(const QByteArray& mediaId, int controllerId) {
    return QString::fromLatin1(mediaId.mid(6, 8)) + u'/' + QString::number(controllerId);
}

// One tarvexctl collect with a world of its own: settings, device folder, data folder.
struct Collector {
    QString root;
    QProcess process;
    QByteArray err;
    QByteArray out;

    bool prepare(const QString& name, const QString& connection, int firstId, int controllers) {
        root = TestWorld::instance()->path(name);
        QDir(root).removeRecursively();
        for (const char* sub : {"config/Brindlo", "data", "devices", "regs"})
            QDir(root).mkpath(QLatin1String(sub));
        {
            QSettings s(root + QStringLiteral("/config/Brindlo/Tarvex.conf"), QSettings::IniFormat);
            s.setValue(QStringLiteral("Settings/UseMRDB"), 1);
            s.setValue(QStringLiteral("Settings/MRDB"), connection);
            s.setValue(QStringLiteral("Settings/MRDBCall"), QStringLiteral("call"));
            s.setValue(QStringLiteral("Settings/RegFilePath"), root + QStringLiteral("/regs"));
        }
        CTarvexDoc doc;
        for (int port = 1; port <= controllers; ++port) {
            CTermRecord record;
            record.Name = "Door " + std::to_string(port);
            record.ID = firstId + port - 1;
            record.Code = 4000 + port;
            doc.InsertController(port, record);
        }
        return CWorkspaceFile::Save(doc, workspace()).ok;
    }
    QString workspace() const { return root + QStringLiteral("/site.VR-12"); }
    // Once the simulated controllers' links are there.
    bool launch() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
        env.insert(QStringLiteral("VR12COMM_DEVICES"), devices());
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvexctl"),
                      {QStringLiteral("collect"), workspace()});
        return process.waitForStarted(10000);
    }
    QString devices() const { return root + QStringLiteral("/devices"); }
    bool collecting() {
        QElapsedTimer t;
        t.start();
        while (!err.contains("collecting from") && t.elapsed() < 60000 &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        return err.contains("collecting from");
    }
    void end() {
        if (process.state() != QProcess::Running)
            return;
        process.terminate();
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
        }
        err += process.readAllStandardError();
    }
    ~Collector() { end(); }
};

void pause(int ms) {
    QThread::msleep(ulong(ms));
}

int queueCost(TestDbServer& db) {
    constexpr int kEntries = 5000;
    const QString folder = TestWorld::instance()->path(QStringLiteral("cost"));
    ReportQueueOptions options;
    options.folder = folder;
    options.connection = db.connectionString();
    ReportQueue queue(options);
    if (!queue.start()) {
        std::fprintf(stderr, "queue: %s\n", qPrintable(queue.error()));
        return 1;
    }
    // The time each enqueue takes, with the pause after the i-th one.
    const auto timed = [&queue](int count, int firstId, const auto& pauseAfter) {
        std::vector<double> cost;
        for (int i = 0; i < count; ++i) {
            const ReportEntry e{ReportForm::Call,
                                QString::fromLatin1(Vr12Simulator::mediaIdFor(firstId + i)),
                                QStringLiteral("2026-03-14"),
                                QStringLiteral("08:00:00"),
                                1,
                                2};
            const auto start = Clock::now();
            queue.enqueue(e);
            cost.push_back(msBetween(start, Clock::now()));
            std::this_thread::sleep_for(pauseAfter(i));
        }
        return cost;
    };
    // Registrations in a burst: the worker sends while the next ones come.
    const std::vector<double> cost = timed(
        kEntries, 100000, [](int i) { return std::chrono::microseconds(i % 10 == 0 ? 500 : 0); });
    // One at a time, the queue empty before each: the worker cuts the file and syncs its
    // marker between them.
    const std::vector<double> spaced =
        timed(400, 200000, [](int i) { return std::chrono::milliseconds(1 + i % 7); });
    const bool emptied = queue.finish(60000);

    // What putting each line on the disk itself would cost the caller.
    std::vector<double> synced;
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/sync-probe"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const QByteArray line(90, 'x');
    for (int i = 0; fd >= 0 && i < 200; ++i) {
        const auto start = Clock::now();
        if (::write(fd, line.constData(), size_t(line.size())) != line.size() ||
            ::fdatasync(fd) != 0)
            break;
        synced.push_back(msBetween(start, Clock::now()));
    }
    if (fd >= 0)
        ::close(fd);

    std::printf("1. the queue on the caller's thread, %d registrations (write(2) of the line, "
                "no fdatasync)\n",
                kEntries);
    printFigure("   per registration, median", percentile(cost, 0.5), "under 1 ms",
                percentile(cost, 0.5) < 1);
    printFigure("   per registration, 99th percentile", percentile(cost, 0.99), "under 1 ms",
                percentile(cost, 0.99) < 1);
    printInfo("   per registration, maximum", percentile(cost, 1.0));
    std::printf(
        "   400 more, 1 to 7 ms apart (the worker sending and cutting the file meanwhile)\n");
    printFigure("   per registration, median", percentile(spaced, 0.5), "under 1 ms",
                percentile(spaced, 0.5) < 1);
    printFigure("   per registration, 99th percentile", percentile(spaced, 0.99), "under 1 ms",
                percentile(spaced, 0.99) < 1);
    printInfo("   per registration, maximum", percentile(spaced, 1.0));
    printInfo("   write(2) + fdatasync(2) of one line, median", percentile(synced, 0.5));
    printInfo("   write(2) + fdatasync(2) of one line, maximum", percentile(synced, 1.0));
    std::printf("   all %d accepted by the database: %s\n", kEntries + 400, emptied ? "yes" : "no");
    return emptied ? 0 : 1;
}

int toRow(TestDbServer& db, int rounds) {
    if (!db.installReportProcedure().isEmpty())
        return 1;
    Collector collector;
    if (!collector.prepare(QStringLiteral("single"), db.connectionString(), 7, 1))
        return 1;
    Vr12Simulator sim;
    sim.setPaced(true);
    if (!sim.start(collector.devices(), 1) || !collector.launch() || !collector.collecting()) {
        std::fprintf(stderr, "collector: %s\n", collector.err.constData());
        return 1;
    }
    RowWatch watch(db.connectionString());
    std::vector<double> after;
    for (int i = 0; i < rounds; ++i) {
        const QByteArray id = Vr12Simulator::mediaIdFor(2000 + i);
        sim.sendMessage(Vr12Simulator::registrationFor(id));
        Clock::time_point at{};
        QElapsedTimer t;
        t.start();
        while (!watch.seen(keyOf(id, 7), &at) && t.elapsed() < 10000)
            pause(1);
        if (!watch.seen(keyOf(id, 7))) {
            std::fprintf(stderr, "registration %d never reached the table\n", i);
            return 1;
        }
        after.push_back(msBetween(sim.lastSent(), at) - kSilenceMs);
        pause(100 + (i * 37) % 300);
    }
    std::printf("2. one controller, %d registrations through tarvexctl collect into PostgreSQL "
                "(rows polled every 2 ms)\n",
                rounds);
    printFigure("   last byte to row, beyond the 340 ms silence, median", percentile(after, 0.5),
                "under 50 ms", percentile(after, 0.5) < 50);
    printInfo("   last byte to row, beyond the 340 ms silence, maximum", percentile(after, 1.0));

    // The database stopped: the registration's line does not wait for it.
    if (!db.stop())
        return 1;
    collector.out += collector.process.readAllStandardOutput();
    std::vector<double> toLine;
    for (int i = 0; i < 10; ++i) {
        const QByteArray id = Vr12Simulator::mediaIdFor(3000 + i);
        sim.sendMessage(Vr12Simulator::registrationFor(id));
        QElapsedTimer t;
        t.start();
        while (!collector.out.contains(id) && t.elapsed() < 10000) {
            collector.process.waitForReadyRead(1);
            collector.out += collector.process.readAllStandardOutput();
        }
        if (!collector.out.contains(id))
            return 1;
        toLine.push_back(msBetween(sim.lastSent(), Clock::now()));
        pause(300);
    }
    std::printf("3. the database stopped, 10 registrations\n");
    printFigure("   last byte to the collector's line, median", percentile(toLine, 0.5),
                "within 340 ms + 20 ms", percentile(toLine, 0.5) <= kSilenceMs + 20);
    printInfo("   last byte to the collector's line, maximum", percentile(toLine, 1.0));
    if (!db.start())
        return 1;
    QElapsedTimer t;
    t.start();
    while (watch.rows() < rounds + 10 && t.elapsed() < 90000)
        pause(50);
    std::printf("   after the database came back: %d of %d rows, in %.1f s\n", watch.rows(),
                rounds + 10, double(t.elapsed()) / 1000);
    return watch.rows() == rounds + 10 ? 0 : 1;
}

int manySites(TestDbServer& db, int rounds) {
    if (!db.installReportProcedure().isEmpty())
        return 1;
    std::vector<std::unique_ptr<Collector>> collectors;
    std::vector<std::unique_ptr<Vr12Simulator>> sims; // collector k's controllers at k*32
    for (int k = 0; k < kCollectors; ++k) {
        auto c = std::make_unique<Collector>();
        if (!c->prepare(QStringLiteral("site-%1").arg(k), db.connectionString(),
                        1 + k * kPerCollector, kPerCollector))
            return 1;
        for (int port = 1; port <= kPerCollector; ++port) {
            auto sim = std::make_unique<Vr12Simulator>();
            sim->setPaced(true);
            if (!sim->start(c->devices(), port)) {
                std::fprintf(stderr, "simulator: %s\n", qPrintable(sim->errorString()));
                return 1;
            }
            sims.push_back(std::move(sim));
        }
        if (!c->launch())
            return 1;
        collectors.push_back(std::move(c));
    }
    for (auto& c : collectors)
        if (!c->collecting() || !c->err.contains("collecting from 32 of 32")) {
            std::fprintf(stderr, "collector: %s\n", c->err.constData());
            return 1;
        }
    RowWatch watch(db.connectionString());
    const int controllers = kCollectors * kPerCollector;
    std::vector<double> times;
    int sent = 0;
    std::map<QString, Clock::time_point> lastBytes;
    for (int round = 0; round < rounds; ++round) {
        // Every controller once within a second, in a shuffled order.
        std::vector<int> order(static_cast<size_t>(controllers));
        for (int i = 0; i < controllers; ++i)
            order[size_t(i)] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(round));
        const auto start = Clock::now();
        for (int n = 0; n < controllers; ++n) {
            const int i = order[size_t(n)];
            const QByteArray id = Vr12Simulator::mediaIdFor(10000 + round * controllers + i);
            std::this_thread::sleep_until(start +
                                          std::chrono::microseconds(n * 1000000 / controllers));
            sims[size_t(i)]->sendMessage(Vr12Simulator::registrationFor(id));
            ++sent;
        }
        // Every message out (19 bytes at 2400 baud) before reading when each went.
        pause(1500);
        for (int i = 0; i < controllers; ++i) {
            const QByteArray id = Vr12Simulator::mediaIdFor(10000 + round * controllers + i);
            lastBytes[keyOf(id, i + 1)] = sims[size_t(i)]->lastSent();
        }
        pause(500);
    }
    QElapsedTimer t;
    t.start();
    while (watch.rows() < sent && t.elapsed() < 120000)
        pause(50);
    pause(1000); // a repeat would show up now
    int found = 0;
    for (const auto& [key, last] : lastBytes) {
        Clock::time_point at{};
        if (watch.seen(key, &at)) {
            ++found;
            times.push_back(msBetween(last, at));
        }
    }
    for (auto& c : collectors)
        c->end();
    if (found != sent) {
        for (const auto& [key, last] : lastBytes)
            if (!watch.seen(key))
                std::printf("   missing: %s\n", qPrintable(key));
        for (auto& c : collectors) {
            const QString data = c->root + QStringLiteral("/data/Tarvex");
            int lines = 0;
            for (const QString& f :
                 QDir(c->root + QStringLiteral("/regs")).entryList(QDir::Files)) {
                QFile file(c->root + QStringLiteral("/regs/") + f);
                file.open(QIODevice::ReadOnly);
                lines += int(file.readAll().count('\n'));
            }
            std::printf("   %s: %d lines filed, %d waiting, %d refused; %s\n", qPrintable(c->root),
                        lines, int(ReportQueueFiles::peek(data, 1).size()),
                        int(ReportRefusedFile::read(data).size()),
                        c->err.simplified().right(300).constData());
        }
    }
    const bool every = found == sent && watch.rows() == sent && watch.repeats() == 0;
    std::printf("4. %d collectors of %d controllers each into one PostgreSQL, %d rounds of every "
                "controller within 1 s\n",
                kCollectors, kPerCollector, rounds);
    std::printf("%-60s %5d of %d, %d rows, %d repeated   %s\n", "   registrations in the table",
                found, sent, watch.rows(), watch.repeats(), verdict(every));
    printInfo("   last byte to row, median", percentile(times, 0.5));
    printInfo("   last byte to row, slowest", percentile(times, 1.0));
    return every ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(QByteArray(argv[1]).toInt(), 1) : 30;
    TestDbServer db(TestDbServer::PostgreSQL);
    if (!db.start() || !db.installReportProcedure().isEmpty()) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(db.error()));
        return 1;
    }
    std::printf("PostgreSQL in a temporary folder, simulated controllers paced at 2400 baud\n");
    int failed = 0;
    // BENCH_ONLY_SITES=1: only the eight collectors.
    if (qEnvironmentVariableIsEmpty("BENCH_ONLY_SITES")) {
        failed |= queueCost(db);
        failed |= toRow(db, rounds);
    }
    failed |= manySites(db, 4);
    return failed;
}
