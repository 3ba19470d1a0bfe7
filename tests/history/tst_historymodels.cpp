// The models a history window shows: the registrations that pass a filter, sorted by any
// column, and the attendance, both taking new registrations from the follower as the control
// appends them.
#include "attendancemodel.h"
#include "historyfollower.h"
#include "historyjoin.h"
#include "historymodel.h"
#include "historystore.h"
#include "regfiles.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QtTest>

using namespace RegFiles;

namespace {

struct World {
    QString folder;
    QString file;
    CTarvexDoc doc;
    CHistoryStore store;
    CHistoryJoin join{QStringLiteral("windows-1252")};

    explicit World(const QString& name) {
        folder = freshFolder(TestWorld::instance()->path(name));
        file = monthly(folder, "2025-05");
        doc.InsertEmployee("AAAA000000000001", {"Zander", "Ute"});
        doc.InsertEmployee("AAAA000000000002", {"\xc4rger", "Bea"}); // windows-1252
        doc.InsertEmployee("AAAA000000000003", {"Berg", "Cem"});
        CTermRecord door;
        door.Name = "Yard";
        doc.InsertController(1, door);
        door.Name = "Annex";
        doc.InsertController(2, door);
        append(file, "2025-05-05 08:00:00,XAAAA000000000001,,AAAA000000000001,COM1\r\n"
                     "2025-05-05 08:10:00,XAAAA000000000002,,AAAA000000000002,COM2\r\n"
                     "2025-05-05 07:50:00,+Reset,Reset,,COM1\r\n"
                     "2025-05-05 16:00:00,XAAAA000000000001,,AAAA000000000001,COM2\r\n"
                     "2025-05-06 06:30:00,XAAAA000000000003,,AAAA000000000003,COM1\r\n");
        if (!store.load(folder))
            qFatal("not read");
        join.setWorkspace(&doc);
    }
};

QStringList column(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

} // namespace

class TestHistoryModels : public QObject {
    Q_OBJECT

private slots:
    // Names sort by the locale's collation: a German one puts "Ä" with "A".
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void registrationsShownFilteredAndSorted() {
        World w("rows");
        CHistoryModel model(w.store, w.join);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumnTitles(
            {"Date", "Time", "Controller", "MediaID", "Last Name", "First Name", "Action"});
        model.setFilter(HistoryFilter());
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.columnCount(), int(CHistoryModel::ColumnCount));
        QCOMPARE(model.headerData(CHistoryModel::LastName, Qt::Horizontal).toString(),
                 QStringLiteral("Last Name"));
        // Oldest first is the order the lines were written, not the clock's.
        QCOMPARE(column(model, CHistoryModel::Time),
                 QStringList({"08:00:00", "08:10:00", "07:50:00", "16:00:00", "06:30:00"}));
        const QModelIndex second = model.index(1, CHistoryModel::LastName);
        QCOMPARE(second.data().toString(), QStringLiteral("\u00c4rger"));
        QCOMPARE(model.index(1, CHistoryModel::Controller).data().toString(),
                 QStringLiteral("Annex"));
        QCOMPARE(model.index(1, CHistoryModel::Date).data().toString(),
                 QStringLiteral("2025-05-05"));
        QCOMPARE(second.data(CHistoryModel::MessageRole).toString(),
                 QStringLiteral("XAAAA000000000002"));
        QCOMPARE(second.data(CHistoryModel::PortRole).toInt(), 2);
        QCOMPARE(second.data(CHistoryModel::RecordRole).toULongLong(), 1ull);
        QVERIFY(!second.data(CHistoryModel::UnknownMediumRole).toBool());
        QCOMPARE(model.index(2, CHistoryModel::Action).data().toString(), QStringLiteral("Reset"));

        model.sort(CHistoryModel::LastName);
        QCOMPARE(column(model, CHistoryModel::LastName),
                 QStringList({"", "\u00c4rger", "Berg", "Zander", "Zander"}));
        model.sort(CHistoryModel::Time, Qt::DescendingOrder);
        QCOMPARE(column(model, CHistoryModel::Time),
                 QStringList({"16:00:00", "08:10:00", "08:00:00", "07:50:00", "06:30:00"}));
        model.sort(CHistoryModel::Controller);
        QCOMPARE(column(model, CHistoryModel::Controller),
                 QStringList({"Annex", "Annex", "Yard", "Yard", "Yard"}));
        // Ties stay in the order they were written.
        QCOMPARE(column(model, CHistoryModel::Time),
                 QStringList({"08:10:00", "16:00:00", "08:00:00", "07:50:00", "06:30:00"}));

        // A filter change keeps the order.
        HistoryFilter persons;
        persons.personsOnly = true;
        model.setFilter(persons);
        QCOMPARE(column(model, CHistoryModel::Controller),
                 QStringList({"Annex", "Annex", "Yard", "Yard"}));

        // A row the view holds on to follows its registration through a sort.
        const QPersistentModelIndex held = model.index(3, CHistoryModel::Time);
        QCOMPARE(held.data().toString(), QStringLiteral("06:30:00"));
        model.sort(CHistoryModel::Date);
        QCOMPARE(held.row(), 3);
        model.sort(CHistoryModel::Date, Qt::DescendingOrder);
        QCOMPARE(held.row(), 0);
        QCOMPARE(held.data().toString(), QStringLiteral("06:30:00"));
    }

    void newRegistrationsComeIn() {
        World w("follow");
        CHistoryFollower follower(w.store);
        CHistoryModel rows(w.store, w.join);
        CAttendanceModel days(w.store, w.join);
        QAbstractItemModelTester rowsTester(&rows,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester daysTester(&days,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        connect(&follower, &CHistoryFollower::recordsAdded, &rows, &CHistoryModel::takeNewRecords);
        connect(&follower, &CHistoryFollower::recordsAdded, &days,
                &CAttendanceModel::takeNewRecords);
        connect(&follower, &CHistoryFollower::reloaded, &rows, &CHistoryModel::refill);
        connect(&follower, &CHistoryFollower::reloaded, &days, &CAttendanceModel::refill);
        HistoryFilter persons;
        persons.personsOnly = true;
        rows.setFilter(persons);
        days.setFilter(persons);
        rows.sort(CHistoryModel::LastName);
        QCOMPARE(rows.rowCount(), 4);
        QCOMPARE(days.rowCount(), 3);
        follower.start();

        QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy counted(&days, &QAbstractItemModel::dataChanged);
        QSignalSpy dayAdded(&days, &QAbstractItemModel::rowsInserted);
        // Bea again on the 5th, a stranger, and a status message the filter leaves out.
        append(w.file, "2025-05-05 17:00:00,XAAAA000000000002,,AAAA000000000002,COM1\r\n"
                       "2025-05-05 17:01:00,XBBBB000000000009,,BBBB000000000009,COM1\r\n"
                       "2025-05-05 17:02:00,+Door open,Door open,,COM1\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(rows.rowCount(), 6, 1000);
        // Each in its sorted place: the stranger (no name) first, Bea beside Bea.
        QCOMPARE(column(rows, CHistoryModel::LastName),
                 QStringList({"", "\u00c4rger", "\u00c4rger", "Berg", "Zander", "Zander"}));
        QVERIFY(rows.index(0, 0).data(CHistoryModel::UnknownMediumRole).toBool());
        QCOMPARE(inserted.size(), 2);

        QCOMPARE(days.rowCount(), 4);
        QCOMPARE(dayAdded.size(), 1);
        QCOMPARE(counted.size(), 1);
        QCOMPARE(column(days, CAttendanceModel::LastName),
                 QStringList({"", "\u00c4rger", "Zander", "Berg"}));
        QCOMPARE(days.index(1, CAttendanceModel::First).data().toString(),
                 QStringLiteral("08:10:00"));
        QCOMPARE(days.index(1, CAttendanceModel::Last).data().toString(),
                 QStringLiteral("17:00:00"));
        QCOMPARE(days.index(1, CAttendanceModel::Span).data().toString(), QStringLiteral("8:50"));
        QCOMPARE(days.index(1, CAttendanceModel::Count).data().toInt(), 2);
        QCOMPARE(days.index(1, 0).data(CAttendanceModel::PortsRole).value<QList<int>>(),
                 QList<int>({1, 2}));

        // In the order written, new rows go to the end.
        rows.sort(CHistoryModel::Date);
        inserted.clear();
        append(w.file, "2025-05-06 07:00:00,XAAAA000000000003,,AAAA000000000003,COM2\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(rows.rowCount(), 7, 1000);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 6);
        QCOMPARE(rows.index(6, CHistoryModel::Time).data().toString(), QStringLiteral("07:00:00"));

        // A file written anew: both models start again from what it holds.
        writeBytes(w.file, "2025-05-07 09:00:00,XAAAA000000000001,,AAAA000000000001,COM1\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(rows.rowCount(), 1, 1000);
        QCOMPARE(days.rowCount(), 1);
        QCOMPARE(days.index(0, CAttendanceModel::Date).data().toString(),
                 QStringLiteral("2025-05-07"));
    }

    void attendanceSortsThroughAProxy() {
        World w("proxy");
        CAttendanceModel days(w.store, w.join);
        days.setFilter(HistoryFilter());
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&days);
        proxy.setSortRole(CAttendanceModel::SortRole);
        QCOMPARE(column(days, CAttendanceModel::Span), QStringList({"0:00", "8:00", "0:00"}));
        proxy.sort(CAttendanceModel::Span, Qt::DescendingOrder);
        QCOMPARE(column(proxy, CAttendanceModel::Span), QStringList({"8:00", "0:00", "0:00"}));
        proxy.sort(CAttendanceModel::LastName);
        QCOMPARE(column(proxy, CAttendanceModel::LastName),
                 QStringList({"\u00c4rger", "Berg", "Zander"}));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHistoryModels)
#include "tst_historymodels.moc"
