// The registrations history window on the offscreen platform, on monthly files written in the
// control's format: the filters, the three tabs, the export read back with a CSV parser of
// this test's own, the row actions, and following the current month's file.
#include "attendancemodel.h"
#include "historychart.h"
#include "historycommands.h"
#include "historyexport.h"
#include "historymodel.h"
#include "historystore.h"
#include "historywindow.h"
#include "regfiles.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace RegFiles;

namespace {

const char kAnna[] = "00000000000000A1";
const char kJon[] = "00000000000000B2";
const char kStranger[] = "00000000000000C3";

// RFC 4180 as read by someone else: fields split at commas outside quotes, "" inside quotes
// a quote, records ended by CR LF outside quotes.
QList<QStringList> parseCsv(const QByteArray& bytes, bool* wellFormed) {
    QList<QStringList> records;
    QStringList record;
    QByteArray field;
    bool quoted = false;
    bool ok = true;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            ok = ok && field.isEmpty();
            quoted = true;
        } else if (c == ',') {
            record << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            record << QString::fromUtf8(field);
            field.clear();
            records << record;
            record.clear();
            ++i;
        } else {
            ok = ok && c != '\n' && c != '\r';
            field += c;
        }
    }
    *wellFormed = ok && !quoted && field.isEmpty() && record.isEmpty();
    return records;
}

QList<QStringList> readCsv(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    bool wellFormed = false;
    const QList<QStringList> records = parseCsv(f.readAll(), &wellFormed);
    return wellFormed ? records : QList<QStringList>{{QStringLiteral("malformed")}};
}

// What a table shows, header first, row by row.
QList<QStringList> shown(const QAbstractItemModel& model) {
    QList<QStringList> rows;
    QStringList header;
    for (int c = 0; c < model.columnCount(); ++c)
        header << model.headerData(c, Qt::Horizontal).toString();
    rows << header;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model.columnCount(); ++c)
            row << model.index(r, c).data().toString();
        rows << row;
    }
    return rows;
}

struct Site {
    QString folder;
    QString may;
    QString june;
    CTarvexDoc doc;

    explicit Site(const QString& name) {
        folder = freshFolder(TestWorld::instance()->path(name));
        may = monthly(folder, "2025-05");
        june = monthly(folder, "2025-06");
        doc.InsertEmployee(kAnna, {"Meier", "Anna"});
        doc.InsertEmployee(kJon, {"Doe, \"Jr\"", "J\xf6n"}); // windows-1252
        CTermRecord door;
        door.Name = "Front door";
        door.ID = 7;
        doc.InsertController(1, door);
        append(may, person("2025-05-05 08:00:00", kAnna, 1));
        append(may, person("2025-05-05 08:20:00", kJon, 2));
        append(may, line("2025-05-05 08:30:00", "+Door held, alarm", "A", "", 1));
        append(may, person("2025-05-05 09:05:00", kStranger, 1));
        append(may, person("2025-05-05 16:45:00", kAnna, 2));
        append(may, raw("2025-05-05 17:00:00,\x01\x02garbage\r\n"));
        append(may, person("2025-05-06 07:55:00", kAnna, 1));
        append(june, person("2025-06-02 10:00:00", kJon, 1));
    }

    CHistoryWindow::Context context() {
        return {[this] { return folder; }, [] { return QStringLiteral("windows-1252"); }, &doc};
    }
};

QStringList columnOf(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

template <class T> T* field(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no field %s", name);
    return found;
}

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void opensNotModalWithEveryRegistrationJoined() {
        Site site("open");
        CHistoryWindow w(site.context());
        QVERIFY(!w.isModal());
        QCOMPARE(w.windowTitle(), QStringLiteral("Registrations history"));
        const CHistoryModel& m = *w.historyModel();
        QCOMPARE(m.rowCount(), 7);
        QCOMPARE(w.countText(), QStringLiteral("7 registrations; 1 damaged lines skipped"));
        QCOMPARE(shown(m).first(), QStringList({"Date", "Time", "Controller", "MediaID",
                                                "Last Name", "First Name", "Action"}));
        // A named controller by its name, one the workspace does not have by its port; the
        // names through the code page.
        QCOMPARE(shown(m)[2], QStringList({"2025-05-05", "08:20:00", "COM2", kJon, "Doe, \"Jr\"",
                                           QStringLiteral("J\u00f6n"), ""}));
        QCOMPARE(m.index(0, CHistoryModel::Controller).data().toString(),
                 QStringLiteral("Front door"));
        QCOMPARE(m.index(2, CHistoryModel::Action).data().toString(), QStringLiteral("A"));
        QCOMPARE(m.index(2, CHistoryModel::Date).data(CHistoryModel::MessageRole).toString(),
                 QStringLiteral("+Door held, alarm"));
        // The controllers to choose from: every one, the workspace's and the ports seen.
        auto* controller = field<QComboBox>(w, "Controller");
        QCOMPARE(controller->count(), 3);
        QCOMPARE(controller->itemText(1), QStringLiteral("Front door (COM1)"));
        QCOMPARE(controller->itemText(2), QStringLiteral("COM2"));
    }

    void fieldsAreLabelledForKeyboardAndAssistiveTechnology() {
        Site site("labels");
        CHistoryWindow w(site.context());
        QStringList labelled;
        for (QLabel* label : w.findChildren<QLabel*>()) {
            if (QWidget* buddy = label->buddy()) {
                labelled << label->text();
                QCOMPARE(buddy->accessibleName(), label->text());
                QVERIFY(buddy->focusPolicy() & Qt::TabFocus);
            }
        }
        for (const char* text : {"From", "To", "Controller", "Employee or media ID", "Show", "Day"})
            QVERIFY2(labelled.contains(QLatin1String(text)), text);
        QCOMPARE(field<QCheckBox>(w, "UnknownOnly")->text(), QStringLiteral("Unknown media only"));
        QCOMPARE(field<QCheckBox>(w, "PersonsOnly")->text(), QStringLiteral("Persons only"));
        auto* tabs = field<QTabWidget>(w, "Tabs");
        QCOMPARE(tabs->tabText(0), QStringLiteral("Registrations"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Attendance"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Chart"));
    }

    void filtersCombineAsTyped() {
        Site site("filters");
        CHistoryWindow w(site.context());
        const CHistoryModel& m = *w.historyModel();
        auto* from = field<QLineEdit>(w, "From");
        auto* to = field<QLineEdit>(w, "To");
        auto* match = field<QLineEdit>(w, "Match");

        // A day as the end of a range takes in the whole day; a time, the whole minute.
        to->setText(QStringLiteral("2025-05-05"));
        QTRY_COMPARE(m.rowCount(), 5);
        to->setText(QStringLiteral("2025-05-05 08:20"));
        QTRY_COMPARE(m.rowCount(), 2);
        from->setText(QStringLiteral("2025-05-05 08:10"));
        QTRY_COMPARE(m.rowCount(), 1);
        QCOMPARE(w.countText(), QStringLiteral("1 registrations; 1 damaged lines skipped"));
        // A bound that cannot be read limits nothing.
        to->setText(QStringLiteral("2025-13-01"));
        QTRY_COMPARE(m.rowCount(), 6);
        from->clear();
        to->clear();
        QTRY_COMPARE(m.rowCount(), 7);

        // Part of a name, without case; the message is not searched.
        match->setText(QStringLiteral("MEI"));
        QTRY_COMPARE(m.rowCount(), 3);
        QCOMPARE(columnOf(m, CHistoryModel::LastName), QStringList({"Meier", "Meier", "Meier"}));
        match->setText(QStringLiteral("c3"));
        QTRY_COMPARE(m.rowCount(), 1);
        match->clear();

        auto* controller = field<QComboBox>(w, "Controller");
        controller->setCurrentIndex(controller->findData(2));
        QTRY_COMPARE(m.rowCount(), 2);
        controller->setCurrentIndex(0);

        field<QCheckBox>(w, "PersonsOnly")->setChecked(true);
        QTRY_COMPARE(m.rowCount(), 6);
        field<QCheckBox>(w, "UnknownOnly")->setChecked(true);
        QTRY_COMPARE(m.rowCount(), 1);
        QCOMPARE(m.index(0, CHistoryModel::MediaId).data().toString(), QLatin1String(kStranger));
        QVERIFY(m.index(0, CHistoryModel::MediaId).data(CHistoryModel::UnknownMediumRole).toBool());
    }

    void attendanceAndChartFollowTheSameFilters() {
        Site site("tabs");
        CHistoryWindow w(site.context());
        auto* tabs = field<QTabWidget>(w, "Tabs");
        tabs->setCurrentIndex(CHistoryWindow::AttendanceTab);
        const QAbstractItemModel& a = *w.attendanceView();
        QCOMPARE(shown(a).first(), QStringList({"Date", "Last Name", "First Name", "MediaID",
                                                "First", "Last", "Span", "Count"}));
        // By date, then name; a day with one registration shows it as first and last.
        QCOMPARE(shown(a).mid(1),
                 QList<QStringList>(
                     {{"2025-05-05", "", "", kStranger, "09:05:00", "09:05:00", "0:00", "1"},
                      {"2025-05-05", "Doe, \"Jr\"", QStringLiteral("J\u00f6n"), kJon, "08:20:00",
                       "08:20:00", "0:00", "1"},
                      {"2025-05-05", "Meier", "Anna", kAnna, "08:00:00", "16:45:00", "8:45", "2"},
                      {"2025-05-06", "Meier", "Anna", kAnna, "07:55:00", "07:55:00", "0:00", "1"},
                      {"2025-06-02", "Doe, \"Jr\"", QStringLiteral("J\u00f6n"), kJon, "10:00:00",
                       "10:00:00", "0:00", "1"}}));
        // The table sorts by what a column means: the span as a time, not as text.
        field<QTableView>(w, "AttendanceTable")
            ->sortByColumn(CAttendanceModel::Span, Qt::DescendingOrder);
        QCOMPARE(a.index(0, CAttendanceModel::Span).data().toString(), QStringLiteral("8:45"));

        field<QLineEdit>(w, "Match")->setText(QStringLiteral("doe"));
        QTRY_COMPARE(a.rowCount(), 2);

        tabs->setCurrentIndex(CHistoryWindow::ChartTab);
        // Per hour of the newest day at first; the filter holds here too.
        QCOMPARE(w.chart().mode, HistoryChart::Mode::PerHour);
        QCOMPARE(w.chart().counts.size(), std::size_t(24));
        field<QDateEdit>(w, "ChartDay")->setDate(QDate(2025, 5, 5));
        QCOMPARE(w.chart().total(), 1u);
        QCOMPARE(w.chart().counts[8], 1u);
        field<QLineEdit>(w, "Match")->clear();
        QTRY_COMPARE(w.chart().total(), 5u);
        QCOMPARE(w.chart().counts[8], 3u);
        QCOMPARE(w.chart().counts[9], 1u);
        QCOMPARE(w.chart().counts[16], 1u);
        const QString told = field<QWidget>(w, "Chart")->accessibleDescription();
        QVERIFY2(told.startsWith(QStringLiteral("5 registrations, most (3) at 08:00")),
                 qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("16:00: 1")), qPrintable(told));

        // Per day: the range's days, quiet ones as empty bars.
        field<QComboBox>(w, "ChartMode")->setCurrentIndex(1);
        QCOMPARE(w.chart().mode, HistoryChart::Mode::PerDay);
        QCOMPARE(w.chart().barLabel(0), QStringLiteral("2025-05-05"));
        QCOMPARE(w.chart().counts.size(), std::size_t(29));
        QCOMPARE(w.chart().counts[0], 5u);
        QCOMPARE(w.chart().counts[1], 1u);
        QCOMPARE(w.chart().counts[28], 1u);
        field<QLineEdit>(w, "From")->setText(QStringLiteral("2025-05-01"));
        field<QLineEdit>(w, "To")->setText(QStringLiteral("2025-05-31"));
        QTRY_COMPARE(w.chart().counts.size(), std::size_t(31));
        QCOMPARE(w.chart().barLabel(4), QStringLiteral("2025-05-05"));
        QCOMPARE(w.chart().total(), 6u);
    }

    void exportWritesWhatTheTabShows() {
        Site site("export");
        ScriptedPrompts prompts;
        CHistoryWindow w(site.context());
        w.setPrompts(&prompts);
        const QString target = site.folder + QStringLiteral("/out.csv");

        // Sorted by last name, newest first: the file in that order, quotes and commas intact.
        field<QTableView>(w, "RegistrationsTable")
            ->sortByColumn(CHistoryModel::LastName, Qt::DescendingOrder);
        prompts.saveNames << target;
        w.exportCurrentTab();
        QCOMPARE(prompts.lastSuggested, QStringLiteral("Registrations.csv"));
        QVERIFY(prompts.stops.isEmpty());
        const QList<QStringList> rows = readCsv(target);
        QCOMPARE(rows, shown(*w.historyModel()));
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows[1][CHistoryModel::LastName], QStringLiteral("Meier"));
        QVERIFY(rows.contains(QStringList({"2025-05-05", "08:20:00", "COM2", kJon, "Doe, \"Jr\"",
                                           QStringLiteral("J\u00f6n"), ""})));

        auto* tabs = field<QTabWidget>(w, "Tabs");
        tabs->setCurrentIndex(CHistoryWindow::AttendanceTab);
        field<QTableView>(w, "AttendanceTable")
            ->sortByColumn(CAttendanceModel::Count, Qt::DescendingOrder);
        QVERIFY(w.exportCurrentTabTo(target));
        QCOMPARE(readCsv(target), shown(*w.attendanceView()));
        QCOMPARE(readCsv(target)[1][CAttendanceModel::Count], QStringLiteral("2"));

        tabs->setCurrentIndex(CHistoryWindow::ChartTab);
        QVERIFY(w.exportCurrentTabTo(target));
        const QList<QStringList> bars = readCsv(target);
        QCOMPARE(bars.size(), 25);
        QCOMPARE(bars[0], QStringList({"Hour", "Count"}));
        QCOMPARE(bars[1 + 10], QStringList({"10:00", "1"}));

        // Through a link to the file it names; the link stays a link.
        const QString linked = site.folder + QStringLiteral("/linked.csv");
        QVERIFY(QFile::link(target, linked));
        tabs->setCurrentIndex(CHistoryWindow::RegistrationsTab);
        QVERIFY(w.exportCurrentTabTo(linked));
        QVERIFY(QFileInfo(linked).isSymLink());
        QCOMPARE(readCsv(target).size(), 8);

        // A folder or a pipe is no file to export into: refused, and left as it was.
        const QString pipe = site.folder + QStringLiteral("/pipe.csv");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        prompts.saveNames << pipe << site.folder;
        w.exportCurrentTab();
        w.exportCurrentTab();
        QCOMPARE(
            prompts.stops,
            QStringList(
                {pipe + QStringLiteral(" is not a regular file. Nothing was exported."),
                 site.folder + QStringLiteral(" is not a regular file. Nothing was exported.")}));
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(pipe).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        // A folder that cannot be written: told, with the reason.
        prompts.stops.clear();
        QVERIFY(!w.exportCurrentTabTo(site.folder + QStringLiteral("/no/such/folder/x.csv")));
        QCOMPARE(prompts.stops.size(), 1);
        QVERIFY(prompts.stops[0].contains(QStringLiteral("The export could not be written")));
    }

    void rowActionsApplyWhereTheyShould() {
        Site site("actions");
        CHistoryCommands commands({site.context(), nullptr, nullptr, nullptr});
        QStringList shownEmployees;
        QStringList added;
        CHistoryCommands withShow({site.context(), nullptr,
                                   [&](const QString& id) { shownEmployees << id; },
                                   [&](const QString& id, QWidget*) { added << id; }});
        CHistoryWindow* w = withShow.open();
        QVERIFY(w->isVisible());
        QCOMPARE(withShow.open(), w);
        QCOMPARE(w->rowActions().size(), 2);
        QAction* show = w->rowActions()[0];
        QAction* add = w->rowActions()[1];
        QCOMPARE(show->text(), QStringLiteral("Show employee"));

        auto* table = field<QTableView>(*w, "RegistrationsTable");
        const auto select = [&](int row) { table->setCurrentIndex(table->model()->index(row, 0)); };
        select(1); // Jön
        QVERIFY(show->isEnabled());
        QVERIFY(!add->isEnabled());
        show->trigger();
        QCOMPARE(shownEmployees, QStringList({kJon}));
        select(2); // a status message: no one to show
        QVERIFY(!show->isEnabled());
        select(3); // the stranger
        QVERIFY(!show->isEnabled());
        QVERIFY(add->isEnabled());
        // Enter takes the first action that applies.
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(added, QStringList({kStranger}));
        QCOMPARE(shownEmployees.size(), 1);

        // From the attendance as well.
        field<QTabWidget>(*w, "Tabs")->setCurrentIndex(CHistoryWindow::AttendanceTab);
        auto* attendance = field<QTableView>(*w, "AttendanceTable");
        attendance->setCurrentIndex(attendance->model()->index(2, 0)); // Anna's first day
        show->trigger();
        QCOMPARE(shownEmployees, QStringList({kJon, kAnna}));

        // The window goes when its command does; without a callback there is no action.
        QVERIFY(commands.OnCommand(res::ID_VIEW_HISTORY));
        QVERIFY(commands.window()->rowActions().isEmpty());
    }

    void followsTheFilesAndTheWorkspace() {
        Site site("follow");
        CHistoryWindow w(site.context());
        w.show();
        const CHistoryModel& m = *w.historyModel();
        field<QCheckBox>(w, "PersonsOnly")->setChecked(true);
        QTRY_COMPARE(m.rowCount(), 6);
        auto* tabs = field<QTabWidget>(w, "Tabs");
        tabs->setCurrentIndex(CHistoryWindow::AttendanceTab);
        const int attendanceRows = w.attendanceView()->rowCount();

        // A line appended to the current month's file, seen within a second; a line still
        // being written waits for its end.
        QElapsedTimer t;
        t.start();
        append(site.june, person("2025-06-03 07:00:00", kAnna, 1));
        append(site.june, "2025-06-03 07:01:00,X00000000");
        QTRY_COMPARE_WITH_TIMEOUT(m.rowCount(), 7, 1000);
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(w.attendanceView()->rowCount(), attendanceRows + 1);
        append(site.june, "000000A1,,00000000000000A1,COM1\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(m.rowCount(), 8, 1000);
        QCOMPARE(w.attendanceView()->rowCount(), attendanceRows + 1);
        // A new month's file.
        append(monthly(site.folder, "2025-07"), person("2025-07-01 06:00:00", kJon, 3));
        QTRY_COMPARE_WITH_TIMEOUT(m.rowCount(), 9, 1000);
        QCOMPARE(w.countText(), QStringLiteral("9 registrations; 1 damaged lines skipped"));
        auto* controller = field<QComboBox>(w, "Controller");
        QVERIFY(controller->findData(3) > 0);
        // Damage in a line appended is counted as it comes.
        append(monthly(site.folder, "2025-07"), raw("garbage\r\n"));
        QTRY_COMPARE(w.countText(), QStringLiteral("9 registrations; 2 damaged lines skipped"));

        // The stranger joins the workspace: named once the window hears of it.
        site.doc.InsertEmployee(kStranger, {"Neu", "Nora"});
        w.workspaceChanged();
        tabs->setCurrentIndex(CHistoryWindow::RegistrationsTab);
        QVERIFY(columnOf(m, CHistoryModel::LastName).contains(QStringLiteral("Neu")));
        field<QCheckBox>(w, "UnknownOnly")->setChecked(true);
        QTRY_COMPARE(m.rowCount(), 0);

        // Hidden, it stops looking; shown again, it catches up at once.
        w.hide();
        field<QCheckBox>(w, "UnknownOnly")->setChecked(false);
        QTRY_COMPARE(m.rowCount(), 9);
        append(monthly(site.folder, "2025-07"), person("2025-07-04 07:00:00", kAnna, 1));
        QTest::qWait(2 * 250 + 100);
        QCOMPARE(m.rowCount(), 9);
        w.show();
        QCOMPARE(m.rowCount(), 10);
    }

    void anotherFolderIsReadWhenShownAgain() {
        Site site("folder");
        QString folder = site.folder;
        CHistoryWindow w({[&] { return folder; }, nullptr, nullptr});
        QCOMPARE(w.historyModel()->rowCount(), 7);
        w.show();
        w.hide();
        folder = site.folder + QStringLiteral("/none");
        w.show();
        QCOMPARE(w.historyModel()->rowCount(), 0);
        QCOMPARE(w.countText(),
                 folder + QStringLiteral(": the registrations folder cannot be read."));
        // Without a workspace, no names; the port stands for the controller.
        folder = site.folder;
        w.hide();
        w.show();
        QCOMPARE(w.historyModel()->rowCount(), 7);
        QCOMPARE(w.historyModel()->index(0, CHistoryModel::Controller).data().toString(),
                 QStringLiteral("COM1"));
        QCOMPARE(w.historyModel()->index(0, CHistoryModel::LastName).data().toString(), QString());
    }

    void chartCountsAtTheEdgesOfItsRange() {
        Site site("chart");
        CHistoryStore store;
        QVERIFY(store.load(site.folder));
        std::vector<std::uint32_t> all(store.size());
        for (std::uint32_t i = 0; i < all.size(); ++i)
            all[i] = i;
        // No registrations and no bounds: no bars; bounds alone: empty bars over them.
        QVERIFY(chartPerDay(store, {}, std::nullopt, std::nullopt).counts.empty());
        const HistoryChart empty = chartPerDay(store, {}, regTimeOf(QDate(2025, 1, 1), 0),
                                               regTimeOf(QDate(2025, 1, 3), 0));
        QCOMPARE(empty.counts, std::vector<std::uint32_t>({0, 0, 0}));
        // A bound decades away is left out rather than drawing decades of days.
        const HistoryChart far =
            chartPerDay(store, all, regTimeOf(QDate(1970, 1, 1), 0), std::nullopt);
        QCOMPARE(far.barLabel(0), QStringLiteral("2025-05-05"));
        QCOMPARE(far.total(), std::uint32_t(all.size()));
        // Registrations that come later, before and after the range, widen it.
        HistoryChart grown = chartPerDay(store, {0}, std::nullopt, std::nullopt);
        grown.add(store.records()[all.back()]);
        HistoryRecord early = store.records()[0];
        early.when -= 2 * kSecondsPerDay;
        grown.add(early);
        QCOMPARE(grown.barLabel(0), QStringLiteral("2025-05-03"));
        QCOMPARE(grown.counts.front(), 1u);
        QCOMPARE(grown.counts[2], 1u);
        QCOMPARE(grown.counts.back(), 1u);
        QCOMPARE(grown.barLabel(grown.counts.size() - 1), QStringLiteral("2025-06-02"));
        // Per hour: only the day chosen, the last hour included.
        HistoryChart hours = chartPerHour(store, all, regDay(store.records()[0].when));
        HistoryRecord late = store.records()[0];
        late.when = late.when - std::uint32_t(regSecondOfDay(late.when)) + kSecondsPerDay - 1;
        hours.add(late);
        QCOMPARE(hours.counts[23], 1u);
        QCOMPARE(hours.total(), 6u);
        QCOMPARE(hours.barLabel(23), QStringLiteral("23:00"));
    }
};

TARVEX_TEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
