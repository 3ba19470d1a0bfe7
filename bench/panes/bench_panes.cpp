// bench_panes: times the list refills, the registrations list and opening a large workspace
// on the offscreen platform, and prints each figure with its target.
#include "empview.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "regview.h"
#include "tarvexdoc.h"
#include "termformview.h"
#include "workspacefile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {
std::string mediaId(std::mt19937& rng) {
    static const char hex[] = "0123456789ABCDEF";
    std::string id(16, '0');
    for (char& c : id)
        c = hex[rng() % 16];
    return id;
}

std::string name(std::mt19937& rng, int len) {
    std::string s;
    s.push_back(char('A' + rng() % 26));
    for (int i = 1; i < len; ++i)
        s.push_back(char('a' + rng() % 26));
    return s;
}

void addEmployees(CTarvexDoc& doc, int count, std::mt19937& rng) {
    while (int(doc.Employees().size()) < count)
        doc.InsertEmployee(mediaId(rng), {name(rng, 4 + int(rng() % 8)), name(rng, 5)});
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

double ms(qint64 ns) {
    return double(ns) / 1e6;
}

// Median of several runs, in milliseconds.
template <typename F> double median(int runs, F&& f) {
    std::vector<qint64> t;
    for (int i = 0; i < runs; ++i)
        t.push_back(f());
    std::sort(t.begin(), t.end());
    return ms(t[t.size() / 2]);
}

void report(const char* what, double value, double target) {
    std::printf("%-62s %9.3f ms  (target < %g ms) %s\n", what, value, target,
                value < target ? "ok" : "SLOW");
}
} // namespace

int main(int argc, char** argv) {
    QTemporaryDir world;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(world.filePath("config")), 1);
    ::setenv("XDG_DATA_HOME", QFile::encodeName(world.filePath("data")), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::mt19937 rng(12345);

    {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.resize(1000, 700);
        panes.show();
        settle();

        addEmployees(doc, 100000, rng);
        const double fill100k = median(5, [&] {
            QElapsedTimer t;
            t.start();
            doc.FillList(WorkspaceList::Employees);
            settle();
            return t.nsecsElapsed();
        });
        report("FillList of 100,000 employees, shown and painted", fill100k, 300);
    }

    {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.resize(1000, 700);
        panes.show();
        addEmployees(doc, 9999, rng);
        doc.FillList(WorkspaceList::Employees);
        settle();
        const double addOne = median(7, [&] {
            const std::string id = mediaId(rng);
            doc.InsertEmployee(id, {name(rng, 6), name(rng, 5)});
            QElapsedTimer t;
            t.start();
            doc.FillList(WorkspaceList::Employees);
            settle();
            const qint64 ns = t.nsecsElapsed();
            doc.RemoveEmployee(id);
            return ns;
        });
        report("Refill after adding one employee to 10,000", addOne, 30);
    }

    {
        CRegView reg;
        reg.resize(340, 200);
        reg.show();
        settle();
        std::vector<qint64> last;
        for (int round = 0; round < 5; ++round) {
            reg.ClearList();
            for (int i = 1; i < 10000; ++i)
                reg.AddRow("2026-12-08", "10:00:00", "", QString::fromStdString(mediaId(rng)), 3);
            settle();
            QElapsedTimer t;
            t.start();
            reg.AddRow("2026-12-08", "10:00:01", "", QString::fromStdString(mediaId(rng)), 3);
            last.push_back(t.nsecsElapsed());
        }
        std::sort(last.begin(), last.end());
        report("Adding the 10,000th registration row (list at 200)", ms(last[last.size() / 2]), 1);
        QElapsedTimer t;
        t.start();
        reg.AddRow("2026-12-08", "10:00:02", "", QString::fromStdString(mediaId(rng)), 3);
        settle();
        std::printf("%-62s %9.3f ms  (no target: the list's repaint, for information)\n",
                    "  the same row including its repaint", ms(t.nsecsElapsed()));
    }

    {
        // A workspace of 100,000 employees and 255 controllers, each with a full ID table.
        CTarvexDoc source;
        addEmployees(source, 100000, rng);
        auto it = source.Employees().begin();
        for (int port = 1; port <= 255; ++port) {
            CTermRecord term;
            term.Name = name(rng, 8);
            term.ID = port;
            term.Code = 1000 + port;
            for (int slot = 0; slot < 256 && it != source.Employees().end(); ++slot, ++it) {
                char hex[9];
                std::snprintf(hex, sizeof hex, "%02X", slot);
                term.IdTable.emplace(it->first, hex);
            }
            source.InsertController(port, term);
        }
        const QString path = world.filePath("big.VR-12");
        if (!CWorkspaceFile::Save(source, path).ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        CTarvexDoc doc;
        CMainFrame frame;
        frame.setPanelFactory(
            [](int, QWidget* parent) -> QWidget* { return new CTermFormView(parent); });
        if (!frame.Create()) {
            std::fprintf(stderr, "main window creation failed\n");
            return 1;
        }
        doc.SetHost(frame.workspaceHost());
        frame.resize(1200, 800);
        frame.show();
        frame.OnInitialUpdate();
        settle();
        const char* label = "Opening 100,000 employees / 255 controllers (main window)";
        QElapsedTimer t;
        t.start();
        const WorkspaceLoadResult r = CWorkspaceFile::Load(path, doc);
        settle();
        const double open = ms(t.nsecsElapsed());
        if (r.failed()) {
            std::fprintf(stderr, "load failed: %s\n", qPrintable(r.reason));
            return 1;
        }
        report(label, open, 1000);
        std::printf("  (%zu employees, %zu controllers, %d rows in the employees list)\n",
                    doc.Employees().size(), doc.Controllers().size(),
                    CEmpView::Instance() ? CEmpView::Instance()->rowCount() : -1);
    }
    return 0;
}
