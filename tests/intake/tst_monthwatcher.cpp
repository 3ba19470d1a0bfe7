#include "appsettings.h"
#include "monthwatcher.h"
#include "testworld.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {
QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}
} // namespace

class TestMonthWatcher : public QObject {
    Q_OBJECT
private slots:
    void startsInTheCurrentMonth() {
        const CMonthWatcher watcher;
        const QDate today = QDate::currentDate();
        QCOMPARE(watcher.monthlyFileName(),
                 CAppSettings::monthlyFileNameFor(today.year(), today.month()));
    }

    // The timer wakes at the first moment of the next month and reports the new file.
    void timerReportsTheNewMonth() {
        QDateTime now = local(2026, 3, 31, 23, 59, 59, 700);
        CMonthWatcher watcher(nullptr, [&] { return now; });
        QSignalSpy changed(&watcher, &CMonthWatcher::monthChanged);
        QCOMPARE(watcher.monthlyFileName(), QStringLiteral("TarvexRegs-2026-03.txt"));
        QCOMPARE(watcher.nextMonthStart(), local(2026, 4, 1));
        QVERIFY(watcher.msUntilNextLook() > 0);
        QVERIFY(watcher.msUntilNextLook() <= 301);

        now = local(2026, 4, 1, 0, 0, 0, 5);
        QVERIFY(changed.wait(3000));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("TarvexRegs-2026-04.txt"));
        QCOMPARE(watcher.monthlyFileName(), QStringLiteral("TarvexRegs-2026-04.txt"));
        // Armed again, for May at the latest an hour from now.
        QCOMPARE(watcher.nextMonthStart(), local(2026, 5, 1));
        QVERIFY(watcher.msUntilNextLook() > CMonthWatcher::kLongestWaitMs - 1000);
    }

    // A wake-up that still finds the old month reports nothing and looks again.
    void earlyWakeLooksAgain() {
        QDateTime now = local(2026, 3, 31, 23, 59, 59, 800);
        CMonthWatcher watcher(nullptr, [&] { return now; });
        QSignalSpy changed(&watcher, &CMonthWatcher::monthChanged);
        QTest::qWait(600);
        QCOMPARE(changed.size(), 0);
        QVERIFY(watcher.msUntilNextLook() >= 0);
        now = local(2026, 4, 1, 0, 0, 1);
        QVERIFY(changed.wait(3000));
        QCOMPARE(changed.size(), 1);
    }

    void longWaitIsCapped() {
        const QDateTime now = local(2026, 3, 2, 12);
        const CMonthWatcher watcher(nullptr, [&] { return now; });
        QVERIFY(watcher.msUntilNextLook() <= CMonthWatcher::kLongestWaitMs);
        QVERIFY(watcher.msUntilNextLook() > CMonthWatcher::kLongestWaitMs - 1000);
    }

    // A registration's look catches a month the timer has not seen yet: after a suspend, or a
    // clock that was set.
    void checkOnRegistration() {
        QDateTime now = local(2026, 12, 31, 8);
        CMonthWatcher watcher(nullptr, [&] { return now; });
        QSignalSpy changed(&watcher, &CMonthWatcher::monthChanged);
        QCOMPARE(watcher.nextMonthStart(), local(2027, 1, 1));

        watcher.check();
        QCOMPARE(changed.size(), 0);

        now = local(2027, 2, 3, 9);
        watcher.check();
        watcher.check();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("TarvexRegs-2027-02.txt"));

        now = local(2027, 1, 31, 23);
        watcher.check();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(watcher.monthlyFileName(), QStringLiteral("TarvexRegs-2027-01.txt"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestMonthWatcher)
#include "tst_monthwatcher.moc"
