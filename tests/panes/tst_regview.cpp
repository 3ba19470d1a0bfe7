#include "testworld.h"

#include "cmdui.h"
#include "regview.h"
#include "resourceids.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {
bool enabled(CRegView& v, int id) {
    CCmdUI ui(id);
    if (!v.OnUpdateCommand(id, ui))
        return false;
    return ui.enabled();
}

void addN(CRegView& v, int from, int to) {
    for (int i = from; i <= to; ++i)
        v.AddRow("2026-12-08", QString("10:00:%1").arg(i % 60, 2, 10, QChar('0')), "",
                 QString("%1").arg(i, 16, 10, QChar('0')), i % 3);
}
} // namespace

class TestRegView : public QObject {
    Q_OBJECT
private slots:
    void columnsAndProgramWideReference() {
        CRegView v;
        QCOMPARE(CRegView::Instance(), &v);
        const QStringList headers = {"Date", "Time", "Action", "MediaID", "ID"};
        // The designed pixels stand; the date, the time and the MediaID may need more in the
        // font's digits.
        const QList<int> widths = {74, 56, 48, 114, 32};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(v.model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
            if (c == 2 || c == 4)
                QCOMPARE(v.columnWidth(c), widths.at(c));
            else
                QVERIFY(v.columnWidth(c) >= widths.at(c));
        }
        QCOMPARE(v.selectionMode(), QAbstractItemView::SingleSelection);
        v.AddRow("2026-01-02", "03:04:05", "M", "0123456789ABCDEF", 42);
        QCOMPARE(v.text(0, 0), QString("2026-01-02"));
        QCOMPARE(v.text(0, 1), QString("03:04:05"));
        QCOMPARE(v.text(0, 2), QString("M"));
        QCOMPARE(v.text(0, 3), QString("0123456789ABCDEF"));
        QCOMPARE(v.text(0, 4), QString("42"));
    }

    // In a large font every date, time and MediaID shows whole, as the toolkit's own measure
    // of the cell says; a column the user has dragged keeps its width when the font changes.
    void contentShowsWholeInALargeFont() {
        CRegView v;
        QFont big = v.font();
        big.setPointSize(20);
        v.setFont(big);
        QStringList dates{"2026-12-31", "2028-08-28"}, times{"23:59:58", "08:08:08"},
            ids{"6300001A2B3C4D01"};
        for (QChar d : QStringLiteral("0123456789")) {
            dates << QStringLiteral("dddd-dd-dd").replace(QLatin1Char('d'), d);
            times << QStringLiteral("dd:dd:dd").replace(QLatin1Char('d'), d);
        }
        for (QChar h : QStringLiteral("0123456789ABCDEF"))
            ids << QString(16, h);
        for (qsizetype i = 0; i < ids.size(); ++i)
            v.AddRow(dates.value(i, dates.first()), times.value(i, times.first()), "O", ids.at(i),
                     1);
        for (int r = 0; r < v.rowCount(); ++r)
            for (int c : {0, 1, 3})
                QVERIFY2(v.sizeHintForIndex(v.model()->index(r, c)).width() <= v.columnWidth(c),
                         qPrintable(v.text(r, c)));
        // The others keep their designed pixels, or the header's least in this font.
        QCOMPARE(v.columnWidth(2), std::max(48, v.header()->minimumSectionSize()));
        QCOMPARE(v.columnWidth(4), std::max(32, v.header()->minimumSectionSize()));

        v.header()->resizeSection(1, 300); // dragged wider by the user
        const int dateWidth = v.columnWidth(0);
        big.setPointSize(28);
        v.setFont(big);
        QCOMPARE(v.columnWidth(1), 300);
        QVERIFY(v.columnWidth(0) > dateWidth);
    }

    void keepsTheNewest200InArrivalOrder() {
        CRegView v;
        v.resize(400, 200);
        v.show();
        addN(v, 1, 200);
        QCOMPARE(v.rowCount(), 200);
        QCOMPARE(v.text(0, 3), QString("%1").arg(1, 16, 10, QChar('0')));
        addN(v, 201, 201);
        QCOMPARE(v.rowCount(), 200);
        QCOMPARE(v.text(0, 3), QString("%1").arg(2, 16, 10, QChar('0')));
        QCOMPARE(v.text(199, 3), QString("%1").arg(201, 16, 10, QChar('0')));
        addN(v, 202, 450);
        QCOMPARE(v.rowCount(), 200);
        for (int r = 0; r < 200; ++r)
            QCOMPARE(v.text(r, 3), QString("%1").arg(251 + r, 16, 10, QChar('0')));
        // Rows of different controllers differ only in the last column.
        QCOMPARE(v.text(199, 4), QString::number(450 % 3));
        // The newest row is entirely visible at the bottom.
        QCoreApplication::processEvents();
        const QRect last = v.visualRect(v.model()->index(199, 0));
        QVERIFY(v.viewport()->rect().contains(last));
        QCOMPARE(v.verticalScrollBar()->value(), v.verticalScrollBar()->maximum());
    }

    void modelStaysConsistentAtTheCap() {
        CRegView v;
        QAbstractItemModelTester tester(v.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        addN(v, 1, 199);
        QCOMPARE(v.rowCount(), 199);
        // Reaching the cap, then every row beyond it, drops the oldest row.
        addN(v, 200, 230);
        QCOMPARE(v.rowCount(), CRegView::kMaxRows);
        QCOMPARE(v.text(0, 3), QString("%1").arg(31, 16, 10, QChar('0')));
        v.selectRow(150);
        v.ClearList();
        QCOMPARE(v.rowCount(), 0);
        addN(v, 1, 3);
        QCOMPARE(v.rowCount(), 3);
    }

    void clearAndCopyEnabling() {
        CRegView v;
        QVERIFY(!enabled(v, res::ID_REG_CLEAR));
        QVERIFY(!enabled(v, res::ID_COPY_MEDIAID));
        v.AddRow("2026-12-08", "10:00:00", "", "ABCDEF0123456789", 1);
        v.AddRow("2026-12-08", "10:00:01", "E", "12AB", 1);
        QVERIFY(enabled(v, res::ID_REG_CLEAR));
        QVERIFY(!enabled(v, res::ID_COPY_MEDIAID));
        v.selectRow(1);
        QVERIFY(enabled(v, res::ID_COPY_MEDIAID));
        // A short MediaID is copied as it is.
        QVERIFY(v.OnCommand(res::ID_COPY_MEDIAID));
        QCOMPARE(QApplication::clipboard()->text(), QString("12AB"));
        v.selectRow(0);
        v.OnCommand(res::ID_COPY_MEDIAID);
        QCOMPARE(QApplication::clipboard()->text(), QString("ABCDEF0123456789"));
        QVERIFY(v.OnCommand(res::ID_REG_CLEAR));
        QCOMPARE(v.rowCount(), 0);
        QVERIFY(!enabled(v, res::ID_REG_CLEAR));
        QVERIFY(!enabled(v, res::ID_COPY_MEDIAID));
        QCOMPARE(v.contextMenuId(), res::IDR_MENU_REG);
    }

    void selectedRowAsksForPhoto() {
        CRegView v;
        QSignalSpy spy(&v, &CRegView::photoRequested);
        v.AddRow("2026-12-08", "08:00:00", "O", "ABCDEF0123456789", 1);
        v.AddRow("2026-12-08", "08:00:01", "M", "ABCDEF0123456789", 1);
        v.AddRow("2026-12-08", "08:00:02", "", "0123456789ABCDEF", 1);
        v.AddRow("2026-12-08", "08:00:03", "o", "0123456789ABCDEF", 1);
        v.AddRow("2026-12-08", "08:00:04", "", "0123", 1);

        // Without the photo in use nothing is asked.
        v.selectRow(0);
        QCOMPARE(spy.count(), 0);
        bool shown = true;
        v.setPhotoGate([&] { return shown; });
        const QList<QStringList> expected = {{"ABCDEF0123456789", "08:00:00"},
                                             {"", ""},
                                             {"0123456789ABCDEF", "08:00:02"},
                                             {"", ""},
                                             {"", ""}};
        for (int row : {1, 0, 2, 3, 4}) {
            spy.clear();
            v.selectRow(row);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toString(), expected.at(row).at(0));
            QCOMPARE(spy.at(0).at(1).toString(), expected.at(row).at(1));
        }
        // The photo window hidden: no effect.
        shown = false;
        spy.clear();
        v.selectRow(0);
        QCOMPARE(spy.count(), 0);
    }
};

TARVEX_TEST_MAIN(TestRegView)
#include "tst_regview.moc"
