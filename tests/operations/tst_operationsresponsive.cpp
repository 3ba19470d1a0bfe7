// A long ID table command keeps the program alive: the please-wait window is on screen before
// the first byte goes out, and between the exchanges the program repaints, runs its timers and
// takes the registrations of the other controllers.
#include "operationsworld.h"

#include "progressdlg.h"
#include "regview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

using namespace res;
using Clock = std::chrono::steady_clock;

namespace {
// Paced erases take about 110 ms each: these take about twice the 3 s between two passes over
// the events, and more than the 5 s after which desktops call a window not responding.
constexpr int kRemovedEntries = 60;

QByteArray id(int n) {
    return Vr12Simulator::mediaIdFor(n);
}

bool progressShown() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<CProgressDlg*>(top) && top->isVisible())
            return true;
    return false;
}

// The first time a progress window was painted.
class PaintWatch : public QObject {
public:
    std::optional<Clock::time_point> firstPaint;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !firstPaint && qobject_cast<CProgressDlg*>(watched))
            firstPaint = Clock::now();
        return false;
    }
};

// Timer ticks while a progress window is shown: the longest gap between two of them and
// the registrations list's length at each.
struct TickWatch {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longestGap = 0;
    int ticks = 0;
    int firstRows = -1;
    int lastRows = -1;
    // When each tick came and the list's length then.
    std::vector<std::pair<Clock::time_point, int>> rowsAt;
    TickWatch() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (!progressShown())
                return;
            const qint64 now = clock.elapsed();
            if (last >= 0)
                longestGap = std::max(longestGap, now - last);
            last = now;
            ++ticks;
            const int rows = CRegView::Instance()->rowCount();
            if (firstRows < 0)
                firstRows = rows;
            lastRows = rows;
            rowsAt.emplace_back(Clock::now(), rows);
        });
        clock.start();
        timer.start();
    }
    // The longest stretch of [from, to] without a tick.
    qint64 longestStretch(Clock::time_point from, Clock::time_point to) const {
        Clock::time_point since = from;
        qint64 longest = 0;
        auto stretch = [&](Clock::time_point until) {
            longest = std::max<qint64>(
                longest,
                std::chrono::duration_cast<std::chrono::milliseconds>(until - since).count());
            since = until;
        };
        for (const auto& [at, rows] : rowsAt)
            if (at > from && at < to)
                stretch(at);
        stretch(to);
        return longest;
    }
    // The list had grown past `rows` at a tick before `until`.
    bool grewBefore(int rows, Clock::time_point until) const {
        return std::any_of(rowsAt.begin(), rowsAt.end(), [&](const auto& tick) {
            return tick.first < until && tick.second > rows;
        });
    }
};
} // namespace

class TestOperationsResponsive : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void longTableCommandsLetTheProgramLive() {
        Vr12Simulator sim, other;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(other.start(TestWorld::instance()->deviceDir(), 2));
        sim.setPaced(true);
        sim.fillTable(40); // about 3.7 s on the line
        std::map<std::string, CEmpRecord> staff;
        for (int n = 201; n <= 206; ++n)
            staff.emplace(id(n).toStdString(), employee("Staff", std::to_string(n)));
        OperationsWorld w;
        QVERIFY(w.startWith(QStringLiteral("responsive"), staff,
                            {{1, controller("Front", 1, 0)}, {2, controller("Back", 2, 0)}}));
        QVERIFY(w.selectController(1));
        PaintWatch paints;
        qApp->installEventFilter(&paints);

        {
            TickWatch watch;
            sim.clearReceived();
            other.scheduleRegistrations(std::chrono::milliseconds(800), {id(7)});
            QVERIFY(w.run(ID_TERM_READIDTABLE));
            other.scheduleRegistrations(std::chrono::milliseconds(0), {});
            const auto received = sim.received();
            QVERIFY(!received.isEmpty());
            QVERIFY(paints.firstPaint);
            QVERIFY(*paints.firstPaint < received.first().at);
            QCOMPARE(w.mirror(1).size(), size_t(40));
            QVERIFY2(watch.ticks > 20, qPrintable(QString::number(watch.ticks)));
            // A record takes 92 ms on the line; a loaded machine gets plenty of room.
            QVERIFY2(watch.longestGap < 1500, qPrintable(QString::number(watch.longestGap)));
            QVERIFY2(watch.lastRows > watch.firstRows,
                     qPrintable(QStringLiteral("%1 %2").arg(watch.firstRows).arg(watch.lastRows)));
        }

        {
            paints.firstPaint.reset();
            sim.setPaced(false);
            TickWatch watch;
            QList<QByteArray> staffIds;
            for (int n = 201; n <= 206; ++n)
                staffIds << id(n);
            OperationsWorld::select(CEmpView::Instance(), staffIds);
            sim.fillTable(0);
            sim.clearReceived();
            const int rowsBefore = CRegView::Instance()->rowCount();
            other.scheduleRegistrations(std::chrono::milliseconds(700), {id(8)});
            QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
            other.scheduleRegistrations(std::chrono::milliseconds(0), {});
            QVERIFY(paints.firstPaint);
            QVERIFY(*paints.firstPaint < sim.received().first().at);
            QCOMPARE(w.mirror(1), tableOf(sim));
            QCOMPARE(w.mirror(1).size(), size_t(6));
            // Six writes take over three seconds: the program answered in between.
            QVERIFY2(watch.lastRows > rowsBefore,
                     qPrintable(QStringLiteral("%1 %2").arg(rowsBefore).arg(watch.lastRows)));
            QVERIFY2(watch.longestGap < 5000, qPrintable(QString::number(watch.longestGap)));
        }

        {
            // Remove from ID table of a table's worth of entries, each erase paced: the
            // please-wait window before the first erase, the program alive between them.
            sim.setPaced(false);
            sim.fillTable(kRemovedEntries);
            QVERIFY(w.run(ID_TERM_READIDTABLE));
            CTermEmpView* inController = CTermEmpView::Instance();
            QList<int> all;
            for (int r = 0; r < inController->rowCount(); ++r)
                all << r;
            inController->setSelectedRows(all);
            QCOMPARE(inController->selectedCount(), kRemovedEntries);
            paints.firstPaint.reset();
            sim.setPaced(true);
            sim.clearReceived();
            TickWatch watch;
            const int rowsBefore = CRegView::Instance()->rowCount();
            other.scheduleRegistrations(std::chrono::milliseconds(700), {id(9)});
            const Clock::time_point start = Clock::now();
            QVERIFY(w.run(ID_TERM_REMOVEIDTABLE));
            const Clock::time_point end = Clock::now();
            other.scheduleRegistrations(std::chrono::milliseconds(0), {});
            // "D" and the slot for each entry, then the listing read back.
            const auto received = sim.received();
            QCOMPARE(received.size(), 3 * kRemovedEntries + 1);
            QCOMPARE(received.last().byte, 'S');
            const Clock::time_point lastErase = received.at(received.size() - 2).at;
            const qint64 stretch = watch.longestStretch(start, lastErase);
            qInfo(
                "%d paced erases took %lld ms, the longest stretch without events %lld ms",
                kRemovedEntries,
                qint64(std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count()),
                stretch);
            QCOMPARE(sim.usedSlots(), 0);
            QVERIFY(w.mirror(1).empty());
            QVERIFY(paints.firstPaint);
            QVERIFY(*paints.firstPaint < received.first().at);
            QVERIFY(watch.grewBefore(rowsBefore, lastErase));
            QVERIFY2(stretch < 5000, qPrintable(QString::number(stretch)));
        }
        qApp->removeEventFilter(&paints);
    }
};

TARVEX_TEST_MAIN(TestOperationsResponsive)
#include "tst_operationsresponsive.moc"
