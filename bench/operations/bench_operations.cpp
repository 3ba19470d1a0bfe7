// Figures of the ID table commands in the program, offscreen, against a simulated controller
// paced at 2400 baud: Read ID table of 255 entries and Write to ID table of 62 employees with
// its read-back, each from the command to the refilled list of the controller's employees,
// against the time the line itself needs; and the longest pause of the program's timers
// while the command runs.
#include "benchfigures.h"
#include "operationsworld.h"

#include "idtablereader.h"
#include "idtablewriter.h"
#include "progressdlg.h"
#include "vr12comm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {
using Clock = std::chrono::steady_clock;

// One byte at 2400 baud, 8N1.
constexpr double kByteMs = 10 * 1000.0 / 2400;
// The control's own waits: the silence it checks for after every complete reply, and its
// pause between sending a MediaID and reading the confirmation.
constexpr double kQuietMs = 50;
constexpr double kConfirmWaitMs = 500;

// The moment the controller's employees list first holds `rows` rows.
struct ListClock {
    std::optional<Clock::time_point> at;
    int rows;
    ListClock(CTermEmpView* list, int wanted) : rows(wanted) {
        auto check = [this, list] {
            if (!at && list->rowCount() == rows)
                at = Clock::now();
        };
        QObject::connect(list->model(), &QAbstractItemModel::modelReset, list, check);
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, check);
    }
};

// The longest time between two timer ticks while a progress window is shown.
struct PauseWatch {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    PauseWatch() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            bool shown = false;
            for (QWidget* top : QApplication::topLevelWidgets())
                shown = shown || (qobject_cast<CProgressDlg*>(top) && top->isVisible());
            if (!shown) {
                last = -1;
                return;
            }
            const qint64 now = clock.elapsed();
            if (last >= 0)
                longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        timer.start();
    }
};

// The same exchanges straight on the form's control, without the program around them: what
// the control itself needs, its waits for its receiver's read slices included.
double controlOnly(CTermFormView* form, const QList<QByteArray>& ids) {
    IControllerLine& line = form->Comm();
    const auto start = Clock::now();
    std::vector<std::string> stored;
    for (const QByteArray& id : ids)
        stored.push_back(id.toStdString());
    if (!stored.empty())
        writeIdTable(line, stored);
    readIdTable(line);
    return msBetween(start, Clock::now());
}

int report(const char* what, double wire, double control, Clock::time_point start,
           const std::optional<Clock::time_point>& listed, Clock::time_point returned,
           qint64 longestPause) {
    if (!listed) {
        std::printf("%s: the list was never refilled\n", what);
        return 1;
    }
    const double toList = msBetween(start, *listed);
    const double total = msBetween(start, returned);
    const double overLine = 100 * (toList - wire) / wire;
    const double overControl = 100 * (toList - control) / control;
    std::printf("%s:\n  line time %.0f ms; the control alone %.0f ms (%+.2f %% over the line)\n"
                "  command to refilled list %.0f ms: %+.2f %% over the line, %+.2f %% over the "
                "control alone; command returned after %.0f ms\n"
                "  longest pause of the program's timers while the window shows %lld ms\n",
                what, wire, control, 100 * (control - wire) / wire, toList, overLine, overControl,
                total, static_cast<long long>(longestPause));
    const bool pass = overControl <= 3;
    std::printf("  target within 3 %% of the exchanges: %s\n", verdict(pass));
    return pass ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    QApplication app(argc, argv);
    QDir::setCurrent(world.root());

    Vr12Simulator sim;
    sim.setPaced(true);
    if (!sim.start(world.deviceDir(), 1)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    std::map<std::string, CEmpRecord> staff;
    QList<QByteArray> ids;
    for (int n = 300; n < 362; ++n) {
        ids << Vr12Simulator::mediaIdFor(n);
        staff.emplace(ids.last().toStdString(), employee("Staff", std::to_string(n)));
    }
    OperationsWorld w;
    if (!w.startWith(QStringLiteral("bench"), staff, {{1, controller("Front", 1, 0)}}) ||
        !w.selectController(1)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    std::printf("offscreen platform, one simulated controller paced at 2400 baud (its replies "
                "paced, the program's bytes over the pseudo-terminal at once)\n");
    int failed = 0;

    {
        sim.fillTable(255);
        const double control = controlOnly(w.form(1), {});
        ListClock listed(CTermEmpView::Instance(), 255);
        PauseWatch pauses;
        const auto start = Clock::now();
        w.run(res::ID_TERM_READIDTABLE);
        const auto returned = Clock::now();
        // "S", 255 records of 22 bytes and the end mark, then the control's check for silence.
        const double wire = (1 + 255 * 22 + 1) * kByteMs + kQuietMs;
        failed |= report("Read ID table, 255 entries", wire, control, start, listed.at, returned,
                         pauses.longest);
        if (w.mirror(1) != tableOf(sim))
            failed |= 1, std::printf("  the mirror differs from the controller's table: %zu "
                                     "entries, status %s\n",
                                     w.mirror(1).size(), qPrintable(w.form(1)->Status()));
    }
    {
        sim.fillTable(0);
        const double control = controlOnly(w.form(1), ids);
        sim.fillTable(0);
        OperationsWorld::select(CEmpView::Instance(), ids);
        ListClock listed(CTermEmpView::Instance(), 62);
        PauseWatch pauses;
        const auto start = Clock::now();
        w.run(res::ID_TERM_WRITEIDTABLE);
        const auto returned = Clock::now();
        // Each AddID: "A", the 3-byte prompt, the control's wait before the confirmation (which
        // arrives inside it) and its check for silence; then the listing of 62 entries.
        const double addId = kByteMs + 3 * kByteMs + kConfirmWaitMs + kQuietMs;
        const double wire = 62 * addId + (1 + 62 * 22 + 1) * kByteMs + kQuietMs;
        failed |= report("Write to ID table, 62 employees with read-back", wire, control, start,
                         listed.at, returned, pauses.longest);
        std::printf("  on a real line the 16 bytes of each MediaID add %.0f ms to every figure\n",
                    62 * 16 * kByteMs);
        if (w.mirror(1) != tableOf(sim) || sim.usedSlots() != 62)
            failed |= 1, std::printf("  the mirror differs from the controller's table\n");
    }
    return failed;
}
