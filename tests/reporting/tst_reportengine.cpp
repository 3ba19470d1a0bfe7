// The report queue and the command's two forms against a real server of the engine the build
// names (PostgreSQL or MariaDB), started by the test in a temporary folder.
#include "adodatabase.h"
#include "adorecordset.h"
#include "dbserver.h"
#include "reportdelivery.h"
#include "reportqueue.h"
#include "testworld.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <thread>

namespace {
QString freshFolder(const QString& name) {
    const QString dir = TestWorld::instance()->path(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

ReportEntry entry(int n, ReportForm form = ReportForm::Call) {
    return {form,
            QStringLiteral("0000%1").arg(n, 12, 10, QLatin1Char('0')),
            "2026-03-14",
            QStringLiteral("08:%1:17").arg(n % 60, 2, 10, QLatin1Char('0')),
            n,
            100 + n};
}

// The row spOndixReg writes for the entry.
QString rowOf(const ReportEntry& e) {
    return QStringLiteral("%1\t%2\t%2 %3:00\t999\t%4\t%5")
        .arg(e.mediaId.mid(6, 8), e.dateReg, e.timeReg.left(5))
        .arg(e.controllerId)
        .arg(e.controllerCode);
}

void pause(int ms) {
    QTest::qWait(ms);
}
} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT
    TestDbServer m_server{TestDbServer::TARVEX_TEST_ENGINE};

    ReportQueueOptions options(const QString& folder) const {
        ReportQueueOptions o;
        o.folder = folder;
        o.connection = m_server.connectionString();
        return o;
    }

private slots:
    void initTestCase() {
        QElapsedTimer t;
        t.start();
        QVERIFY2(m_server.start(), qPrintable(m_server.error()));
        qInfo("%s started in %lld ms", qPrintable(m_server.name()), t.elapsed());
    }

    void cleanupTestCase() { QVERIFY2(m_server.stop(), qPrintable(m_server.error())); }

    // The call form's values go in as bound values: a quote and a backslash in a controller's
    // text arrive whole, and nothing of them is read as SQL. The text form is a statement these
    // engines do not know: refused, not retried.
    void callFormBindsItsValues() {
        QCOMPARE(m_server.installReportProcedure(), QString());
        CADODataBase db;
        QVERIFY2(db.Open(m_server.connectionString()), qPrintable(db.GetLastErrorString()));
        const ReportEntry quoted{
            ReportForm::Call, "012345O'NEIL5678", "2026-03-14", "14:21:59", 7, 513};
        const ReportEntry backslash{
            ReportForm::Call, "012345O\\'NE;5678", "2026-03-14", "14:22:01", 8, 65535};
        for (const ReportEntry& e : {quoted, backslash}) {
            const Delivery d = deliverReport(&db, e);
            QVERIFY2(d.outcome == DeliveryOutcome::Accepted, qPrintable(d.error));
        }
        QString error;
        const QStringList rows = m_server.reportRows(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(rows, QStringList({"O'NEIL56\t2026-03-14\t2026-03-14 14:21:00\t999\t7\t513",
                                    "O\\'NE;56\t2026-03-14\t2026-03-14 14:22:00\t999\t8\t65535"}));

        ReportEntry asText = quoted;
        asText.form = ReportForm::Exec;
        const Delivery d = deliverReport(&db, asText);
        QVERIFY(d.outcome == DeliveryOutcome::Refused);
        QVERIFY(d.command.startsWith("exec spOndixReg 'O''NEIL56'"));
        QCOMPARE(m_server.reportRows().size(), 2);
    }

    // The routine refuses one medium: that entry is kept aside with the database's error and
    // reported once, and the entries after it still reach the table.
    void refusedCommandDoesNotBlockTheOthers() {
        QCOMPARE(m_server.installReportProcedure("REFUSED1"), QString());
        const QString folder = freshFolder("refused");
        ReportQueue queue(options(folder));
        QSignalSpy refused(&queue, &ReportQueue::refused);
        QVERIFY2(queue.start(), qPrintable(queue.error()));
        ReportEntry bad = entry(2);
        bad.mediaId = "000000REFUSED100";
        QVERIFY(queue.enqueue(entry(1)));
        QVERIFY(queue.enqueue(bad));
        QVERIFY(queue.enqueue(entry(3)));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), 2, 20000);
        QVERIFY(queue.finish(5000));
        QCOMPARE(m_server.reportRows(), QStringList({rowOf(entry(1)), rowOf(entry(3))}));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(refused.first().at(0).value<ReportEntry>(), bad);
        QVERIFY2(refused.first().at(2).toString().contains("refused for the test"),
                 qPrintable(refused.first().at(2).toString()));
        const QList<RefusedReport> kept = ReportRefusedFile::read(folder);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept.first().entry, bad);
        QVERIFY(kept.first().error.contains("refused for the test"));
        QCOMPARE(queue.status().refused, 1);
        QVERIFY(ReportQueueFiles::peek(folder, 1).isEmpty());
    }

    // The server goes away in the middle of a stream of registrations and comes back: the queue
    // grows meanwhile, and every entry reaches the table once, in order.
    void serverStoppedInTheMiddleOfAStream() {
        QCOMPARE(m_server.installReportProcedure(), QString());
        const QString folder = freshFolder("stream");
        ReportQueue queue(options(folder));
        QSignalSpy answering(&queue, &ReportQueue::answeringChanged);
        QVERIFY2(queue.start(), qPrintable(queue.error()));
        constexpr int kEntries = 30;
        QStringList expected;
        int waitedMost = 0;
        for (int i = 1; i <= kEntries; ++i) {
            if (i == 11)
                QVERIFY2(m_server.stop(), qPrintable(m_server.error()));
            QVERIFY(queue.enqueue(entry(i)));
            expected << rowOf(entry(i));
            waitedMost = std::max(waitedMost, queue.status().waiting);
            if (i == 20)
                QVERIFY2(m_server.start(), qPrintable(m_server.error()));
            pause(40);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), kEntries, 90000);
        QVERIFY(queue.finish(5000));
        QCOMPARE(m_server.reportRows(), expected);
        QVERIFY2(waitedMost >= 9, qPrintable(QString::number(waitedMost)));
        // Answering from the start, not while stopped, answering again at the end.
        QVERIFY(answering.count() >= 3);
        QCOMPARE(answering.first().at(0).toBool(), true);
        QCOMPARE(answering.at(1).at(0).toBool(), false);
        QCOMPARE(answering.last().at(0).toBool(), true);
        QVERIFY(ReportQueueFiles::peek(folder, 1).isEmpty());
        QVERIFY(ReportRefusedFile::read(folder).isEmpty());
    }

    // The settings name another database while entries wait for one that does not open: they go
    // to the new one at once, in order, without the retry pause the old one had earned.
    void newConnectionTakesWhatWaits() {
        QCOMPARE(m_server.installReportProcedure(), QString());
        const QString folder = freshFolder("reconfigured");
        ReportQueueOptions o = options(folder);
        o.connection.replace(QLatin1String("Database="), QLatin1String("Database=nowhere"));
        ReportQueue queue(o);
        QSignalSpy answering(&queue, &ReportQueue::answeringChanged);
        QVERIFY2(queue.start(), qPrintable(queue.error()));
        QVERIFY(queue.enqueue(entry(1)));
        QVERIFY(queue.enqueue(entry(2)));
        // Two tries failed: the next one would be 2 s away, then 4 s.
        QTRY_VERIFY_WITH_TIMEOUT(!answering.isEmpty(), 20000);
        QCOMPARE(answering.first().at(0).toBool(), false);
        pause(1500);
        QCOMPARE(queue.status().waiting, 2);
        QElapsedTimer t;
        t.start();
        queue.reconfigure(m_server.connectionString(), o.maxEntries);
        QVERIFY(queue.enqueue(entry(3)));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), 3, 20000);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(m_server.reportRows(),
                 QStringList({rowOf(entry(1)), rowOf(entry(2)), rowOf(entry(3))}));
        QCOMPARE(answering.last().at(0).toBool(), true);
        QVERIFY(queue.finish(5000));
    }

    // Another session holds the table longer than the command time-out: the report the server
    // cancelled is tried again, not refused, and reaches the table after the lock, in order.
    void lockedTableIsWaitedOut() {
        QCOMPARE(m_server.installReportProcedure(), QString());
        const QString folder = freshFolder("locked");
        ReportQueue queue(options(folder));
        QSignalSpy refused(&queue, &ReportQueue::refused);
        QVERIFY2(queue.start(), qPrintable(queue.error()));
        QVERIFY(queue.enqueue(entry(1)));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), 1, 20000);
        const QString hold =
            m_server.engine() == TestDbServer::PostgreSQL
                ? QStringLiteral("BEGIN; LOCK TABLE regs IN ACCESS EXCLUSIVE MODE; "
                                 "SELECT pg_sleep(5); COMMIT;")
                : QStringLiteral("LOCK TABLES regs WRITE; DO SLEEP(5); UNLOCK TABLES;");
        QString holdError;
        std::thread holder([&] { holdError = m_server.execute(hold); });
        pause(500);
        QVERIFY(queue.enqueue(entry(2)));
        QVERIFY(queue.enqueue(entry(3)));
        pause(3500);
        // The table itself cannot be read while it is held: the queue says what still waits.
        const int whileHeld = queue.status().waiting;
        holder.join();
        QVERIFY2(holdError.isEmpty(), qPrintable(holdError));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), 3, 30000);
        QVERIFY(queue.finish(5000));
        QCOMPARE(whileHeld, 2);
        QCOMPARE(refused.count(), 0);
        QCOMPARE(m_server.reportRows(),
                 QStringList({rowOf(entry(1)), rowOf(entry(2)), rowOf(entry(3))}));
        QVERIFY(ReportRefusedFile::read(folder).isEmpty());
    }

    // What waited when a queue ended is sent by the next one, once.
    void nextStartSendsWhatWaited() {
        QCOMPARE(m_server.installReportProcedure(), QString());
        const QString folder = freshFolder("restart");
        QVERIFY(m_server.stop());
        {
            ReportQueue queue(options(folder));
            QVERIFY(queue.start());
            for (int i = 1; i <= 3; ++i)
                QVERIFY(queue.enqueue(entry(i)));
            QVERIFY(!queue.finish(500));
        }
        QCOMPARE(ReportQueueFiles::peek(folder, 1).size(), 3);
        QVERIFY2(m_server.start(), qPrintable(m_server.error()));
        ReportQueue queue(options(folder));
        QVERIFY(queue.start());
        QVERIFY(queue.enqueue(entry(4)));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.reportRows().size(), 4, 20000);
        QVERIFY(queue.finish(5000));
        QCOMPARE(m_server.reportRows(),
                 QStringList({rowOf(entry(1)), rowOf(entry(2)), rowOf(entry(3)), rowOf(entry(4))}));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
