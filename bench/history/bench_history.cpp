// Figures of the registrations history, on monthly files the control's own line builder wrote:
//
//   bench_history [WORKDIR]
//
// - a year: twelve files of 100,000 lines each; tarvexctl history --count with a filter as a
//   whole process (start to exit) and its peak resident memory against the files' size;
// - a filter change on the loaded year, the library call and the window's model;
// - attendance for a month of 100,000 registrations of 500 employees: the library call and
//   tarvexctl attendance as a whole process;
// - a line appended to the current month's file until the follower reports it;
// - the window on the year (offscreen): opened and painted, a filter changed in its fields
//   until the result is painted, and a line appended until its row is there.
//
// In-process figures run in a child process each, so that memory is not blurred by the
// generator.

#include "attendancetable.h"
#include "childphases.h"
#include "historyfilter.h"
#include "historyfollower.h"
#include "historyjoin.h"
#include "historymodel.h"
#include "historystore.h"
#include "historywindow.h"
#include "messagedecoder.h"
#include "tarvexdoc.h"
#include "workspacefile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kMonths = 12;
constexpr int kLinesPerMonth = 100000;
constexpr int kEmployees = 500;
constexpr int kControllers = 4;

QByteArray mediaId(int employee) {
    return QByteArray::number(0xA000000000000000ull + quint64(employee) * 7919, 16).toUpper();
}

QByteArray lastName(int employee) {
    return "Lastname" + QByteArray::number(employee).rightJustified(3, '0');
}

void writeWorkspace(const QString& path) {
    CTarvexDoc doc;
    for (int e = 0; e < kEmployees; ++e)
        doc.InsertEmployee(mediaId(e).toStdString(),
                           {lastName(e).toStdString(), "First" + std::to_string(e)});
    for (int port = 1; port <= kControllers; ++port) {
        CTermRecord r;
        r.Name = "Door " + std::to_string(port);
        r.ID = port;
        doc.InsertController(port, r);
    }
    if (!CWorkspaceFile::Save(doc, path).ok)
        std::fprintf(stderr, "workspace not saved\n");
}

// One month's file as the control writes it, through its own line builder. Every twentieth
// line is a status message (some with commas), every tenth person leaves with "O".
void writeMonth(const QString& path, int year, int month, bool personsOnly) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const QDateTime start(QDate(year, month, 1), QTime(0, 0));
    const qint64 monthSeconds = start.secsTo(start.addMonths(1));
    QByteArray block;
    for (int i = 0; i < kLinesPerMonth; ++i) {
        const QDateTime when = start.addSecs(qint64(i) * monthSeconds / kLinesPerMonth);
        const int employee = int((quint64(i) * 2654435761u) % kEmployees);
        QByteArray message;
        if (!personsOnly && i % 20 == 0)
            message = i % 40 == 0 ? "+Door, open" : "+OK";
        else
            message = 'X' + mediaId(employee) + (i % 10 == 0 ? " O" : "");
        block +=
            vr12comm::decodeMessage(message, when, "COM" + QByteArray::number(1 + i % kControllers))
                .logLine;
        if (block.size() > (1 << 20)) {
            out.write(block);
            block.clear();
        }
    }
    out.write(block);
}

qint64 folderBytes(const QString& folder) {
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        bytes += f.size();
    return bytes;
}

struct Measured {
    double seconds = 0;
    long peakKb = 0;
    int exitCode = -1;
    QByteArray out;
};

// Runs a program of the build as a process of its own, timing it from start to exit and taking
// its peak resident memory from the kernel's account of it.
Measured runMeasured(const QString& program, const QStringList& args, const QString& outFile) {
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& a : args)
        words.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray outPath = QFile::encodeName(outFile);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    Measured m;
    pid_t pid = 0;
    const auto t = std::chrono::steady_clock::now();
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return m;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    m.seconds = seconds(t);
    posix_spawn_file_actions_destroy(&actions);
    m.peakKb = usage.ru_maxrss;
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile f(outFile);
    if (f.open(QIODevice::ReadOnly))
        m.out = f.readAll().trimmed();
    return m;
}

QString tarvexctl() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tarvexctl");
}

// Three runs of tarvexctl, quickest first.
std::vector<Measured> threeRuns(const QStringList& args, const QString& outFile) {
    std::vector<Measured> ms;
    for (int i = 0; i < 3; ++i)
        ms.push_back(runMeasured(tarvexctl(), args, outFile));
    std::sort(ms.begin(), ms.end(),
              [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
    return ms;
}

int childGenerate(const QString& dir) {
    const auto t = std::chrono::steady_clock::now();
    QDir().mkpath(dir + "/year");
    QDir().mkpath(dir + "/month");
    for (int m = 1; m <= kMonths; ++m)
        writeMonth(QStringLiteral("%1/year/TarvexRegs-2025-%2.txt")
                       .arg(dir)
                       .arg(m, 2, 10, QLatin1Char('0')),
                   2025, m, false);
    writeMonth(dir + "/month/TarvexRegs-2026-03.txt", 2026, 3, true);
    writeWorkspace(dir + "/site.VR-12");
    std::printf("generated: %d files of %d lines (%.1f MB) and a month of %d registrations of %d "
                "employees in %.1f s\n",
                kMonths, kLinesPerMonth, double(folderBytes(dir + "/year")) / 1e6, kLinesPerMonth,
                kEmployees, seconds(t));
    return 0;
}

// The year loaded once, then one filter after another as a window would change them.
int childFilters(const QString& dir) {
    const long base = statusKb("VmRSS");
    CTarvexDoc doc;
    CWorkspaceFile::Load(dir + "/site.VR-12", doc);
    CHistoryStore store;
    const auto tl = std::chrono::steady_clock::now();
    store.load(dir + "/year");
    CHistoryJoin join;
    join.setWorkspace(&doc);
    join.update(store);
    const double loadSeconds = seconds(tl);
    const long loadedKb = statusKb("VmRSS") - base;
    const qint64 bytes = folderBytes(dir + "/year");
    std::printf("load of the year in process: %.3f s, %zu registrations, %d damaged; resident "
                "%ld KiB for %.1f MB of files (%.2f of their size), peak %ld KiB\n",
                loadSeconds, store.size(), store.damagedLines(), loadedKb, double(bytes) / 1e6,
                double(loadedKb) * 1024.0 / double(bytes), statusKb("VmHWM"));

    std::vector<HistoryFilter> filters(6);
    filters[1].match = QStringLiteral("lastname042");
    filters[2].personsOnly = true;
    filters[2].ports = {2, 3};
    filters[3].from = *regTimeOf(QDate(2025, 6, 1), 0);
    filters[3].to = *regTimeOf(QDate(2025, 6, 30), 86399);
    filters[4].match = QStringLiteral("A0000000000");
    filters[4].personsOnly = true;
    filters[5].unknownOnly = true;
    double worstCall = 0;
    double worstModel = 0;
    CHistoryModel model(store, join);
    for (int round = 0; round < 3; ++round) {
        for (const HistoryFilter& f : filters) {
            auto t = std::chrono::steady_clock::now();
            const std::size_t n = filterHistory(store, join, f).size();
            worstCall = std::max(worstCall, seconds(t));
            t = std::chrono::steady_clock::now();
            model.setFilter(f);
            worstModel = std::max(worstModel, seconds(t));
            if (round == 0)
                std::printf("  filter %zu: %zu registrations\n", std::size_t(&f - filters.data()),
                            n);
        }
    }
    std::printf("filter change on %zu registrations, slowest of %zu: library call %.1f ms, the "
                "model's setFilter %.1f ms [target < 100 ms]\n",
                store.size(), filters.size() * 3, worstCall * 1000, worstModel * 1000);
    model.setFilter(HistoryFilter());
    for (const int column : {int(CHistoryModel::LastName), int(CHistoryModel::Time)}) {
        const auto t = std::chrono::steady_clock::now();
        model.sort(column);
        std::printf("sort of %d rows by column %d: %.1f ms\n", model.rowCount(), column,
                    seconds(t) * 1000);
    }
    return 0;
}

int childAttendance(const QString& dir) {
    CTarvexDoc doc;
    CWorkspaceFile::Load(dir + "/site.VR-12", doc);
    CHistoryStore store;
    store.load(dir + "/month");
    CHistoryJoin join;
    join.setWorkspace(&doc);
    join.update(store);
    double worst = 0;
    std::size_t rows = 0;
    for (int round = 0; round < 5; ++round) {
        const auto t = std::chrono::steady_clock::now();
        CAttendanceTable table;
        table.rebuild(store, join, filterHistory(store, join, HistoryFilter()));
        worst = std::max(worst, seconds(t));
        rows = table.rows().size();
    }
    std::printf("attendance of %zu registrations of %d employees (library, filter and count, "
                "slowest of 5): %.1f ms, %zu rows [target < 300 ms]\n",
                store.size(), kEmployees, worst * 1000, rows);
    return 0;
}

// Appends a line to the newest file from another thread and waits for the follower's report.
int childFollow(const QString& dir) {
    const QString folder = dir + "/follow";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const QFileInfo& f : QDir(dir + "/year").entryInfoList(QDir::Files))
        QFile::copy(f.filePath(), folder + "/" + f.fileName());
    const QString current = folder + "/TarvexRegs-2025-12.txt";
    CHistoryStore store;
    store.load(folder);
    CHistoryFollower follower(store);
    follower.start();
    std::vector<double> delays;
    std::chrono::steady_clock::time_point written;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    QObject::connect(&follower, &CHistoryFollower::recordsAdded, [&](qulonglong) {
        delays.push_back(seconds(written));
        QCoreApplication::exit(0);
    });
    for (int i = 0; i < 10; ++i) {
        // Each at a different point of the follower's cycle.
        QTimer::singleShot(100 + 37 * i, [&] {
            const QByteArray line =
                vr12comm::decodeMessage('X' + mediaId(i), QDateTime::currentDateTime(), "COM1")
                    .logLine;
            written = std::chrono::steady_clock::now();
            const int fd =
                ::open(QFile::encodeName(current).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
            if (fd >= 0) {
                if (::write(fd, line.constData(), size_t(line.size())) != line.size())
                    std::fprintf(stderr, "short write\n");
                ::close(fd);
            }
        });
        giveUp.start(3000);
        if (QCoreApplication::exec() != 0) {
            std::printf("follower: a line was not reported within 3 s\n");
            return 1;
        }
    }
    double sum = 0;
    for (const double d : delays)
        sum += d;
    std::printf("line appended to the current file until the follower reported it, over %zu "
                "lines: mean %.0f ms, slowest %.0f ms [target < 1000 ms]\n",
                delays.size(), sum / double(delays.size()) * 1000,
                *std::max_element(delays.begin(), delays.end()) * 1000);
    QDir(folder).removeRecursively();
    return 0;
}

// Appends a line at the end of a file, the file open only for the write, as the control does.
void appendLine(const QString& path, const QByteArray& line) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::write(fd, line.constData(), size_t(line.size())) != line.size())
        std::fprintf(stderr, "short write\n");
    ::close(fd);
}

// Runs the event loop until `done` holds, at most `limitMs`; false when it did not.
bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The window as a user meets it, on a copy of the year (the copy takes the appended lines).
int childWindow(const QString& dir) {
    const QString folder = dir + "/window";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const QFileInfo& f : QDir(dir + "/year").entryInfoList(QDir::Files))
        QFile::copy(f.filePath(), folder + "/" + f.fileName());
    CTarvexDoc doc;
    CWorkspaceFile::Load(dir + "/site.VR-12", doc);
    const long base = statusKb("VmRSS");

    // Opened: the files read and joined, the first tab filled, shown and painted once.
    auto t = std::chrono::steady_clock::now();
    auto window = std::make_unique<CHistoryWindow>(
        CHistoryWindow::Context{[folder] { return folder; }, [] { return QString(); }, &doc});
    window->show();
    QCoreApplication::processEvents();
    window->repaint();
    const double openSeconds = seconds(t);
    std::printf("window opened on %zu registrations of %d files, shown and painted: %.3f s "
                "[target < 1.5 s]; resident %ld KiB more, %.2f of the files' size\n",
                window->store().size(), window->store().fileCount(), openSeconds,
                statusKb("VmRSS") - base,
                double(statusKb("VmRSS") - base) * 1024.0 / double(folderBytes(folder)));

    auto* match = window->findChild<QLineEdit*>(QStringLiteral("Match"));
    auto* from = window->findChild<QLineEdit*>(QStringLiteral("From"));
    auto* to = window->findChild<QLineEdit*>(QStringLiteral("To"));
    auto* persons = window->findChild<QCheckBox*>(QStringLiteral("PersonsOnly"));
    auto* unknown = window->findChild<QCheckBox*>(QStringLiteral("UnknownOnly"));
    auto* controller = window->findChild<QComboBox*>(QStringLiteral("Controller"));
    if (!match || !from || !to || !persons || !unknown || !controller)
        return 1;
    // One field changed at a time, each change undone by the next, as a user goes.
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"match a name", [&] { match->setText(QStringLiteral("lastname042")); }},
        {"match cleared", [&] { match->clear(); }},
        {"persons only", [&] { persons->setChecked(true); }},
        {"one controller", [&] { controller->setCurrentIndex(2); }},
        {"June",
         [&] {
             from->setText(QStringLiteral("2025-06-01"));
             to->setText(QStringLiteral("2025-06-30"));
         }},
        {"part of a media ID", [&] { match->setText(QStringLiteral("A0000000000")); }},
        {"everything again",
         [&] {
             match->clear();
             from->clear();
             to->clear();
             controller->setCurrentIndex(0);
             persons->setChecked(false);
         }},
        {"unknown media only", [&] { unknown->setChecked(true); }},
        {"unknown cleared", [&] { unknown->setChecked(false); }},
    };
    double worst = 0;
    const char* worstName = "";
    for (int round = 0; round < 3; ++round) {
        for (const auto& [name, change] : changes) {
            bool filled = false;
            const QMetaObject::Connection c = QObject::connect(
                window.get(), &CHistoryWindow::shownChanged, [&filled] { filled = true; });
            t = std::chrono::steady_clock::now();
            change();
            // The result is there once the rows are filled and painted.
            waitFor([&filled] { return filled; }, 2000);
            QObject::disconnect(c);
            window->repaint();
            const double took = seconds(t);
            if (took > worst) {
                worst = took;
                worstName = name;
            }
            if (round == 0)
                std::printf("  %s: %s\n", name, qPrintable(window->countText()));
        }
    }
    std::printf("filter change in the window's fields until the result is painted, slowest of "
                "%zu: %.1f ms (%s) [target < 100 ms]\n",
                changes.size() * 3, worst * 1000, worstName);

    std::vector<double> delays;
    const QString current = folder + "/TarvexRegs-2025-12.txt";
    for (int i = 0; i < 10; ++i) {
        // Each at a different point of the follower's cycle.
        waitFor([] { return false; }, 90 + 37 * i);
        const int rows = window->historyModel()->rowCount();
        const QByteArray line =
            vr12comm::decodeMessage('X' + mediaId(i), QDateTime::currentDateTime(), "COM1").logLine;
        t = std::chrono::steady_clock::now();
        appendLine(current, line);
        if (!waitFor([&] { return window->historyModel()->rowCount() > rows; }, 3000)) {
            std::printf("window: an appended line did not appear within 3 s\n");
            return 1;
        }
        window->repaint();
        delays.push_back(seconds(t));
    }
    double sum = 0;
    for (const double d : delays)
        sum += d;
    std::printf("line appended to the current file until its row is in the open window, over "
                "%zu lines: mean %.0f ms, slowest %.0f ms [target < 1000 ms]\n",
                delays.size(), sum / double(delays.size()) * 1000,
                *std::max_element(delays.begin(), delays.end()) * 1000);
    window.reset();
    QDir(folder).removeRecursively();
    return 0;
}

int runProcesses(const QString& dir) {
    if (!QFileInfo::exists(tarvexctl())) {
        std::printf("tarvexctl: not measured (%s not built)\n", qPrintable(tarvexctl()));
        return 0;
    }
    const qint64 bytes = folderBytes(dir + "/year");
    const QString out = dir + "/out.txt";
    const QStringList year = {"--folder", dir + "/year", "--workspace", dir + "/site.VR-12"};
    const QList<QStringList> runs = {{"history", "--count", "--match", "lastname042"},
                                     {"history", "--count", "--persons", "--port", "2", "--from",
                                      "2025-03-01", "--to", "2025-09-30"},
                                     {"history", "--count"}};
    for (const QStringList& run : runs) {
        const std::vector<Measured> ms =
            threeRuns(QStringList{run.first()} + year + run.mid(1), out);
        std::printf("tarvexctl %s: %s registrations; process start to exit, best/median/worst of "
                    "3: %.3f/%.3f/%.3f s [target < 1 s]; peak resident %ld KiB, %.2f of the "
                    "files' %.1f MB [target < 2]\n",
                    qPrintable(run.join(' ')), ms[1].out.constData(), ms[0].seconds, ms[1].seconds,
                    ms[2].seconds, ms[1].peakKb, double(ms[1].peakKb) * 1024.0 / double(bytes),
                    double(bytes) / 1e6);
    }
    const QStringList month = {"attendance",  "--folder",          dir + "/month",
                               "--workspace", dir + "/site.VR-12", "--csv"};
    const std::vector<Measured> ms = threeRuns(month, out);
    std::printf("tarvexctl attendance --csv on a month of %d registrations of %d employees, "
                "process start to exit, best/median/worst of 3: %.3f/%.3f/%.3f s; %lld output "
                "lines\n",
                kLinesPerMonth, kEmployees, ms[0].seconds, ms[1].seconds, ms[2].seconds,
                ms[1].out.count('\n') + 1LL);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The window's phase needs widgets; the offscreen platform draws them unseen.
    const bool window = argc == 4 && std::string(argv[2]) == "window";
    if (window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        window ? std::make_unique<QApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = app->arguments();
    if (const int status = runChildPhase(args, {{"generate", childGenerate},
                                                {"filters", childFilters},
                                                {"attendance", childAttendance},
                                                {"follow", childFollow},
                                                {"window", childWindow}});
        status >= 0)
        return status;
    QTemporaryDir temp;
    const QString dir = args.size() > 1 ? args[1] : temp.path();
    QDir().mkpath(dir);
    int rc = QFileInfo::exists(dir + "/site.VR-12") ? 0 : runChild("generate", dir);
    std::fflush(stdout);
    if (rc == 0) {
        rc |= runProcesses(dir);
        std::fflush(stdout);
        rc |= runChild("filters", dir);
        rc |= runChild("attendance", dir);
        rc |= runChild("follow", dir);
        rc |= runChild("window", dir);
    }
    return rc;
}
