// The registrations joined to a workspace, the filters and the attendance per person and day,
// on monthly files written out by hand.
#include "attendancetable.h"
#include "historyfilter.h"
#include "historyjoin.h"
#include "historystore.h"
#include "regfiles.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "unknownmedium.h"

#include <QtTest>

using namespace RegFiles;

namespace {

constexpr char kAnna[] = "0123456789ABCDEF";
constexpr char kBernd[] = "1111111111111111";
constexpr char kCarla[] = "2222222222222222";
constexpr char kStranger[] = "FFFFFFFFFFFFFFFF";

// Names in windows-1252, as the workspace keeps them.
void fillWorkspace(CTarvexDoc& doc) {
    doc.InsertEmployee(kAnna, {"M\xfcller", "Anna"});
    doc.InsertEmployee(kBernd, {"Schmidt", "Bernd"});
    doc.InsertEmployee(kCarla, {"schmidt", "Carla"});
    CTermRecord front;
    front.Name = "Main door";
    front.ID = 11;
    doc.InsertController(1, front);
    CTermRecord garage;
    garage.Name = "Gar\xe4ge";
    garage.ID = 12;
    doc.InsertController(2, garage);
    doc.InsertController(3, CTermRecord()); // no name
}

// Two months; port 7 is not in the workspace.
QString writeFiles() {
    const QString folder = freshFolder(TestWorld::instance()->path("query"));
    append(monthly(folder, "2025-02"),
           "2025-02-28 23:00:00,X1111111111111111,,1111111111111111,COM1\r\n");
    append(monthly(folder, "2025-03"),
           "2025-03-03 07:59:59,+T\xfcr auf,T\xfcr auf,,COM1\r\n"
           "2025-03-03 08:00:00,X1111111111111111,,1111111111111111,COM1\r\n"
           "2025-03-03 09:30:00,X1111111111111111M,M,1111111111111111,COM1\r\n"
           "2025-03-03 12:00:00,X1111111111111111 O,O,1111111111111111,COM2\r\n"
           "2025-03-03 13:00:00,X2222222222222222,,2222222222222222,COM2\r\n"
           "2025-03-03 14:00:00,XFFFFFFFFFFFFFFFF,,FFFFFFFFFFFFFFFF,COM7\r\n"
           "2025-03-03 17:45:30,X1111111111111111,,1111111111111111,COM1\r\n"
           "2025-03-03 22:10:00,X0123456789ABCDEF,,0123456789ABCDEF,COM3\r\n"
           "2025-03-04 06:05:00,X0123456789ABCDEF,,0123456789ABCDEF,COM1\r\n"
           "2025-03-04 06:06:00,X01234567,,,COM1\r\n");
    return folder;
}

struct World {
    CTarvexDoc doc;
    CHistoryStore store;
    CHistoryJoin join{QStringLiteral("windows-1252")};

    explicit World(bool withWorkspace = true) {
        fillWorkspace(doc);
        if (!store.load(writeFiles()))
            qFatal("the folder was not read");
        join.setWorkspace(withWorkspace ? &doc : nullptr);
        join.update(store);
    }

    // "MM-DD HH:MM:SS message" of each record that passes.
    QStringList pass(const HistoryFilter& filter) const {
        QStringList lines;
        for (const std::uint32_t i : filterHistory(store, join, filter)) {
            const HistoryRecord& r = store.records()[i];
            lines.append(regDateText(regDay(r.when)).mid(5) + QLatin1Char(' ') +
                         regTimeText(regSecondOfDay(r.when)) + QLatin1Char(' ') +
                         join.message(store, r));
        }
        // The count alone agrees, or the comparison fails.
        if (countHistory(store, join, filter) != std::size_t(lines.size()))
            lines.append(QStringLiteral("<count differs>"));
        return lines;
    }
};

RegTime at(int y, int m, int d, int h, int min, int s) {
    return *regTimeOf(QDate(y, m, d), h * 3600 + min * 60 + s);
}

} // namespace

class TestHistoryQuery : public QObject {
    Q_OBJECT

private slots:
    // Names sort by the locale's collation: a German one puts "Ä" with "A".
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void unknownMediumRule() {
        CTarvexDoc doc;
        fillWorkspace(doc);
        QVERIFY(IsUnknownMedium(doc.Employees(), kStranger));
        QVERIFY(!IsUnknownMedium(doc.Employees(), kAnna));
        QVERIFY(!IsUnknownMedium(doc.Employees(), ""));                // a status message
        QVERIFY(!IsUnknownMedium(doc.Employees(), "01234567"));        // not a whole media ID
        QVERIFY(IsUnknownMedium(doc.Employees(), "0123456789abcdef")); // compared exactly
    }

    void joinedToTheWorkspace() {
        World w;
        QVERIFY(w.join.hasWorkspace());
        const auto mediumOf = [&w](int record) -> const CHistoryJoin::Medium& {
            return w.join.medium(w.store.records()[std::size_t(record)].media);
        };
        QCOMPARE(mediumOf(0).lastName, QStringLiteral("Schmidt"));
        QCOMPARE(mediumOf(0).firstName, QStringLiteral("Bernd"));
        QVERIFY(mediumOf(0).employee);
        QVERIFY(!mediumOf(0).unknown);
        QCOMPARE(mediumOf(8).lastName, QStringLiteral("M\u00fcller"));
        QCOMPARE(mediumOf(6).mediaId, QLatin1String(kStranger));
        QVERIFY(mediumOf(6).unknown);
        QVERIFY(!mediumOf(6).employee);
        QVERIFY(mediumOf(6).lastName.isEmpty());
        QVERIFY(!mediumOf(1).unknown);  // a status message has no medium
        QVERIFY(!mediumOf(10).unknown); // nor has a message too short to carry one

        QCOMPARE(w.join.controllerText(1), QStringLiteral("Main door"));
        QCOMPARE(w.join.controller(1).id, 11);
        QCOMPARE(w.join.controllerText(2), QStringLiteral("Gar\u00e4ge"));
        QCOMPARE(w.join.controllerText(3), QStringLiteral("COM3")); // no name given
        QVERIFY(w.join.controller(3).inWorkspace);
        QCOMPARE(w.join.controllerText(7), QStringLiteral("COM7")); // no longer in it
        QVERIFY(!w.join.controller(7).inWorkspace);
        QCOMPARE(w.join.message(w.store, w.store.records()[1]), QStringLiteral("+T\u00fcr auf"));
        QCOMPARE(w.join.action(w.store.records()[1].action), QStringLiteral("T\u00fcr auf"));

        // The workspace gains an employee: the join takes it in when set again.
        w.doc.InsertEmployee(kStranger, {"Neu", "Nina"});
        w.join.setWorkspace(&w.doc);
        w.join.update(w.store);
        QVERIFY(!mediumOf(6).unknown);
        QCOMPARE(mediumOf(6).lastName, QStringLiteral("Neu"));

        World bare(false);
        QVERIFY(!bare.join.hasWorkspace());
        const CHistoryJoin::Medium& m = bare.join.medium(bare.store.records()[6].media);
        QVERIFY(m.lastName.isEmpty());
        QVERIFY(!m.unknown);
        QCOMPARE(bare.join.controllerText(1), QStringLiteral("COM1"));
    }

    void filtersCombine() {
        World w;
        HistoryFilter all;
        QCOMPARE(w.pass(all).size(), 11);

        HistoryFilter range;
        range.from = at(2025, 3, 3, 8, 0, 0);
        range.to = at(2025, 3, 3, 12, 0, 0);
        QCOMPARE(w.pass(range), QStringList({"03-03 08:00:00 X1111111111111111",
                                             "03-03 09:30:00 X1111111111111111M",
                                             "03-03 12:00:00 X1111111111111111 O"}));

        HistoryFilter ports;
        ports.ports = {2, 7};
        QCOMPARE(w.pass(ports), QStringList({"03-03 12:00:00 X1111111111111111 O",
                                             "03-03 13:00:00 X2222222222222222",
                                             "03-03 14:00:00 XFFFFFFFFFFFFFFFF"}));

        HistoryFilter persons;
        persons.personsOnly = true;
        QCOMPARE(w.pass(persons).size(), 8); // not the status messages, not the master's "M"

        HistoryFilter unknown;
        unknown.unknownOnly = true;
        QCOMPARE(w.pass(unknown), QStringList({"03-03 14:00:00 XFFFFFFFFFFFFFFFF"}));

        // Part of a name or a media ID, without case, through the code page.
        HistoryFilter match;
        for (const char* text : {"M\xc3\xbcLL", "anna m", "m\xc3\xbcller anna", "89ab", " ANNA "}) {
            match.match = QString::fromUtf8(text);
            QCOMPARE(w.pass(match), QStringList({"03-03 22:10:00 X0123456789ABCDEF",
                                                 "03-04 06:05:00 X0123456789ABCDEF"}));
        }
        match.match = QStringLiteral("schmidt");
        QCOMPARE(w.pass(match).size(), 6);    // Bernd's five and Carla's one
        match.match = QStringLiteral("open"); // a message is not a name
        QVERIFY(w.pass(match).isEmpty());
        match.match = QStringLiteral("   ");
        QCOMPARE(w.pass(match).size(), 11);

        // All at once.
        HistoryFilter combined;
        combined.from = at(2025, 3, 1, 0, 0, 0);
        combined.ports = {1};
        combined.match = QStringLiteral("bernd");
        combined.personsOnly = true;
        QCOMPARE(w.pass(combined), QStringList({"03-03 08:00:00 X1111111111111111",
                                                "03-03 17:45:30 X1111111111111111"}));

        // Only what comes after a given record, for the follower's new records.
        const std::vector<std::uint32_t> tail = filterHistory(w.store, w.join, all, 9);
        QCOMPARE(tail, std::vector<std::uint32_t>({9, 10}));
    }

    void attendancePerPersonAndDay() {
        World w;
        CAttendanceTable table;
        table.rebuild(w.store, w.join, filterHistory(w.store, w.join, HistoryFilter()));
        QStringList rows;
        for (const AttendanceRow& a : table.rows()) {
            const CHistoryJoin::Medium& m = w.join.medium(a.media);
            QString ports;
            for (int p = 0; p < 256; ++p)
                ports += a.ports.test(std::size_t(p)) ? QString::number(p) : QString();
            rows.append(QStringList({regDateText(a.day), m.lastName, m.firstName, m.mediaId,
                                     regTimeText(regSecondOfDay(a.first)),
                                     regTimeText(regSecondOfDay(a.last)), regSpanText(a.span()),
                                     QString::number(a.count), ports})
                            .join(QLatin1Char('|')));
        }
        QCOMPARE(rows,
                 QStringList({
                     "2025-02-28|Schmidt|Bernd|1111111111111111|23:00:00|23:00:00|0:00|1|1",
                     // The unknown medium (no name) first; then by last name without case,
                     // the first name settling Schmidt and schmidt; "M" is the master's, not
                     // counted.
                     "2025-03-03|||FFFFFFFFFFFFFFFF|14:00:00|14:00:00|0:00|1|7",
                     "2025-03-03|M\u00fcller|Anna|0123456789ABCDEF|22:10:00|22:10:00|0:00|1|3",
                     "2025-03-03|Schmidt|Bernd|1111111111111111|08:00:00|17:45:30|9:45|3|12",
                     "2025-03-03|schmidt|Carla|2222222222222222|13:00:00|13:00:00|0:00|1|2",
                     // Across midnight: a day of its own.
                     "2025-03-04|M\u00fcller|Anna|0123456789ABCDEF|06:05:00|06:05:00|0:00|1|1",
                 }));

        // One registration at a time, as they come, lands where the whole count puts it.
        CAttendanceTable grown;
        for (const HistoryRecord& r : w.store.records()) {
            if (r.person)
                grown.add(grown.placeOf(w.join, r), r);
        }
        QCOMPARE(grown.rows().size(), table.rows().size());
        for (std::size_t i = 0; i < grown.rows().size(); ++i) {
            QCOMPARE(grown.rows()[i].day, table.rows()[i].day);
            QCOMPARE(grown.rows()[i].media, table.rows()[i].media);
            QCOMPARE(grown.rows()[i].first, table.rows()[i].first);
            QCOMPARE(grown.rows()[i].last, table.rows()[i].last);
            QCOMPARE(grown.rows()[i].count, table.rows()[i].count);
        }
    }

    void spansAndTimes() {
        QCOMPARE(regSpanText(0), QStringLiteral("0:00"));
        QCOMPARE(regSpanText(59), QStringLiteral("0:00"));
        QCOMPARE(regSpanText(8 * 3600 + 5 * 60 + 59), QStringLiteral("8:05"));
        QCOMPARE(regSpanText(86399), QStringLiteral("23:59"));
        QCOMPARE(regDateText(regDay(at(2025, 12, 31, 23, 59, 59))), QStringLiteral("2025-12-31"));
        QCOMPARE(regTimeText(regSecondOfDay(at(2025, 12, 31, 23, 59, 59))),
                 QStringLiteral("23:59:59"));
        QCOMPARE(regDateText(regDay(at(1970, 1, 1, 0, 0, 0))), QStringLiteral("1970-01-01"));
        QCOMPARE(regDateText(regDay(at(2105, 12, 31, 0, 0, 0))), QStringLiteral("2105-12-31"));
        QVERIFY(!regTimeOf(QDate(1969, 12, 31), 0));
        QVERIFY(!regTimeOf(QDate(2025, 1, 1), 86400));
        QVERIFY(at(2024, 2, 29, 0, 0, 0) < at(2024, 3, 1, 0, 0, 0));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHistoryQuery)
#include "tst_historyquery.moc"
