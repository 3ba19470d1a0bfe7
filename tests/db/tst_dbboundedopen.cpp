// A connection that does not answer is given up after the caller's limit.
#include "boundedopen.h"
#include "databasereopen.h"
#include "dbfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

class TestDbBoundedOpen : public QObject {
    Q_OBJECT
private slots:
    void opensAndReportsTheDriversError();
    void hangingConnectionIsGivenUp();
};

void TestDbBoundedOpen::opensAndReportsTheDriversError() {
    QCOMPARE(runStatements("quick.db", {"create table t(a integer)"}), QString());
    QString error;
    auto db = OpenConnectionWithin(TestWorld::instance()->sqliteConnection("quick.db"), 10s, error);
    QVERIFY2(db && db->IsOpen(), qPrintable(error));
    QVERIFY(!OpenConnectionWithin(QStringLiteral("Driver=NoSuchDriver"), 10s, error));
    QVERIFY2(error.contains(QLatin1String("NoSuchDriver")), qPrintable(error));
}

void TestDbBoundedOpen::hangingConnectionIsGivenUp() {
    // Another connection holds the file locked; the driver, told to wait ten minutes for the
    // lock, would hang that long while connecting.
    QCOMPARE(runStatements("locked.db", {"create table t(a integer)"}), QString());
    CADODataBase holder;
    QVERIFY(holder.Open(TestWorld::instance()->sqliteConnection("locked.db")));
    CADORecordset lock(&holder);
    QVERIFY2(lock.Open(QStringLiteral("begin exclusive")), qPrintable(lock.GetLastErrorString()));
    QVERIFY2(lock.Open(QStringLiteral("insert into t values (1)")),
             qPrintable(lock.GetLastErrorString()));

    const QString hanging =
        TestWorld::instance()->sqliteConnection("locked.db") + QStringLiteral(";Timeout=600000");
    QString error;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!OpenConnectionWithin(hanging, 1000ms, error));
    const qint64 took = clock.elapsed();
    QVERIFY2(took >= 900 && took < 5000, qPrintable(QString::number(took)));
    QCOMPARE(error, QStringLiteral("The database did not answer within 1 seconds."));
    QCOMPARE(AbandonedConnectionAttempts(), 1);

    // A long-lived connection reopened on such a string: switched off, and a fresh object with
    // the same time-outs takes the place of the one left waiting.
    std::unique_ptr<CADODataBase> reporting = std::make_unique<CADODataBase>();
    reporting->SetCommandTimeout(7);
    const CADODataBase* const waiting = reporting.get();
    bool on = true;
    clock.restart();
    const std::optional<QString> reason = ReopenDatabase(reporting, on, hanging, 1000ms);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(reason, std::optional<QString>(error));
    QVERIFY(!on);
    QVERIFY(reporting && reporting.get() != waiting && !reporting->IsOpen());
    QCOMPARE(reporting->GetCommandTimeout(), 7);
    QCOMPARE(AbandonedConnectionAttempts(), 2);

    // Once the lock goes the abandoned attempt finishes by itself.
    QVERIFY(lock.Open(QStringLiteral("rollback")));
    QTRY_COMPARE_WITH_TIMEOUT(AbandonedConnectionAttempts(), 0, 20000);
}

TARVEX_TEST_GUILESS_MAIN(TestDbBoundedOpen)
#include "tst_dbboundedopen.moc"
