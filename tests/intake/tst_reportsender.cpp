#include "adodatabase.h"
#include "adorecordset.h"
#include "reportcommand.h"
#include "reportsender.h"
#include "testworld.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {
// The driver's own wait for a lock, far beyond the command's time-out: a reporting server
// that hangs.
QString connection(const QString& file) {
    return TestWorld::instance()->sqliteConnection(file) +
           QStringLiteral(";NoCreat=0;Timeout=30000");
}

bool run(CADODataBase& db, const QString& sql) {
    CADORecordset rs(&db);
    return rs.Open(sql);
}

int rowCount(CADODataBase& db) {
    CADORecordset rs(&db);
    if (!rs.Open(QStringLiteral("select count(*) as n from regs")))
        return -1;
    QString n;
    return rs.GetFieldValue(QStringLiteral("n"), n) ? n.toInt() : -1;
}
} // namespace

class TestReportSender : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        CADODataBase setup;
        QVERIFY2(setup.Open(connection("reports.db")), qPrintable(setup.GetLastErrorString()));
        QVERIFY(run(setup, "create table regs (media text, at text)"));
    }

    // SQLite knows no "exec": the command fails, and the failure comes back as a result with
    // the exact text the driver was given.
    void failingCommandReachesDriverUnchanged() {
        CADODataBase db;
        QVERIFY(db.Open(connection("reports.db")));
        const QString command =
            reportCommandText("012345O'NEIL5678", "2026-03-14", "14:21:59", 7, 513);
        ReportResult result;
        try {
            result = sendReportCommand(&db, command);
        } catch (...) {
            QFAIL("sending threw");
        }
        QVERIFY(!result.sent);
        QCOMPARE(result.command,
                 "exec spOndixReg 'O''NEIL56', '2026-03-14', '2026-03-14 14:21:00','999', 7, 513");
        QVERIFY(result.errorText.startsWith("Query = " + command + "\nCADORecordset Error\n"));
        QCOMPARE(db.GetCommandTimeout(), kReportCommandTimeoutSeconds);
        // The connection stays usable for the next registration.
        QCOMPARE(rowCount(db), 0);

        const QString quoted = reportCommandText("0123O'NEIL'23456", "2026-03-14", "14:21", 1, 2);
        const ReportResult second = sendReportCommand(&db, "  " + quoted);
        QVERIFY(!second.sent);
        QCOMPARE(second.command, quoted);
    }

    void commandThatRunsIsSent() {
        CADODataBase db;
        QVERIFY(db.Open(connection("reports.db")));
        const ReportResult insert = sendReportCommand(&db, "insert into regs values ('a', 'b')");
        QVERIFY2(insert.sent, qPrintable(insert.errorText));
        QVERIFY(insert.errorText.isEmpty());
        // A command that gives rows is sent all the same; its rows are dropped.
        QVERIFY(sendReportCommand(&db, "select * from regs").sent);
        QCOMPARE(rowCount(db), 1);
        QVERIFY(run(db, "delete from regs"));
    }

    void closedConnectionIsAFailure() {
        CADODataBase db;
        QVERIFY(!sendReportCommand(&db, "insert into regs values ('a', 'b')").sent);
        QVERIFY(!sendReportCommand(nullptr, "insert into regs values ('a', 'b')").sent);
    }

    // Another connection holds the write lock: the command gives up after the time-out instead
    // of the driver's own 30 s wait (twice over), and the next one goes through once the lock
    // is gone.
    void lockedDatabaseCostsTheTimeoutOnly() {
        CADODataBase holder;
        QVERIFY(holder.Open(connection("reports.db")));
        QVERIFY(run(holder, "begin immediate"));
        QVERIFY(run(holder, "insert into regs values ('held', 'x')"));

        CADODataBase reporting;
        reporting.SetCommandTimeout(kReportCommandTimeoutSeconds);
        QVERIFY(reporting.Open(connection("reports.db")));
        QElapsedTimer timer;
        timer.start();
        const ReportResult blocked =
            sendReportCommand(&reporting, "insert into regs values ('c', 'd')");
        const qint64 elapsed = timer.elapsed();
        qInfo("a locked database held the command for %lld ms", elapsed);
        QVERIFY(!blocked.sent);
        QVERIFY(blocked.errorText.contains("locked"));
        QVERIFY2(elapsed >= kReportCommandTimeoutSeconds * 1000 * 6 / 10,
                 qPrintable(QString::number(elapsed)));
        QVERIFY2(elapsed < kReportCommandTimeoutSeconds * 1000 + 4000,
                 qPrintable(QString::number(elapsed)));

        QVERIFY(run(holder, "commit"));
        const ReportResult after =
            sendReportCommand(&reporting, "insert into regs values ('e', 'f')");
        QVERIFY2(after.sent, qPrintable(after.errorText));
        QCOMPARE(rowCount(reporting), 2);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestReportSender)
#include "tst_reportsender.moc"
