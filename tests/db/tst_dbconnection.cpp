// Opening and closing connections, and what the user is told when a connection fails.
#include "databasereopen.h"
#include "dbfixture.h"
#include "odbcregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestDbConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void openReuseAndClose();
    void missingDriver();
    void missingDataSource();
    void driverLibraryMissing();
    void noDriverNamed();
    void missingDatabaseFileIsNotCreated_data();
    void missingDatabaseFileIsNotCreated();
    void explicitCreationAllowed();
    void folderAsDatabase();
    void emptyConnectionString();
    void failedOpenReplacesStateAndText();
    void registry();
    void reopenSwitchesAFailingFeatureOff();

private:
    QString m_conn;
};

void TestDbConnection::initTestCase() {
    QCOMPARE(runStatements("base.db", {"create table a(x integer)"}), QString());
    m_conn = TestWorld::instance()->sqliteConnection("base.db");
}

void TestDbConnection::openReuseAndClose() {
    CADODataBase db;
    QVERIFY(!db.IsOpen());
    db.Close(); // closing a closed connection does nothing
    db.SetConnectionTimeout(5);
    QVERIFY2(db.Open(m_conn), qPrintable(db.GetLastErrorString()));
    QVERIFY(db.IsOpen());
    QVERIFY(db.driverName().contains("sqlite", Qt::CaseInsensitive));
    // Opening an open connection closes it first.
    QVERIFY(db.Open(m_conn));
    db.Close();
    QVERIFY(!db.IsOpen());
    // An empty string reuses the previous one.
    QVERIFY2(db.Open(), qPrintable(db.GetLastErrorString()));
    QCOMPARE(db.GetConnectionString(), m_conn);
    QCOMPARE(db.GetLastError(), 0u);
    CADORecordset rs(&db);
    QVERIFY(rs.Open("select count(*) from a"));
}

void TestDbConnection::missingDriver() {
    CADODataBase db;
    const QString conn = QStringLiteral("Driver=NoSuchDriver;Database=/tmp/x.db");
    QVERIFY(!db.Open(conn));
    QVERIFY(!db.IsOpen());
    QVERIFY2(db.GetErrorDescription().startsWith(
                 "The ODBC driver \"NoSuchDriver\" is not installed. SQLSTATE "),
             qPrintable(db.GetErrorDescription()));
    QCOMPARE(db.GetLastError(), AdoCode::Unspecified);
    const QString text = db.GetLastErrorString();
    QVERIFY2(text.startsWith("Connection String = " + conn +
                             "\nCADODataBase Error\n\tCode = 80004005\n\tCode meaning = "
                             "Unspecified error\n\tSource = [unixODBC][Driver Manager]\n\t"
                             "Description = The ODBC driver"),
             qPrintable(text));
    QVERIFY(text.endsWith('\n'));
}

void TestDbConnection::missingDataSource() {
    CADODataBase db;
    QVERIFY(!db.Open("DSN=NoSuchSource;UID=a"));
    QVERIFY2(db.GetErrorDescription().startsWith(
                 "The ODBC data source \"NoSuchSource\" is not defined. SQLSTATE IM002: "),
             qPrintable(db.GetErrorDescription()));
}

void TestDbConnection::driverLibraryMissing() {
    QFile ini(TestWorld::instance()->path("odbc/odbcinst.ini"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write("\n[Broken]\nDriver=/nonexistent/libbroken.so\n");
    ini.close();
    CADODataBase db;
    QVERIFY(!db.Open("Driver=Broken;Database=/tmp/x.db"));
    QVERIFY2(db.GetErrorDescription().startsWith(
                 "The ODBC driver \"Broken\" is registered, but its library "
                 "\"/nonexistent/libbroken.so\" does not exist. SQLSTATE "),
             qPrintable(db.GetErrorDescription()));
}

void TestDbConnection::noDriverNamed() {
    CADODataBase db;
    QVERIFY(!db.Open("Database=/tmp/x.db"));
    QVERIFY2(db.GetErrorDescription().startsWith(
                 "The connection string names neither a driver nor a data source."),
             qPrintable(db.GetErrorDescription()));
}

void TestDbConnection::missingDatabaseFileIsNotCreated_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("plain") << "";
    QTest::newRow("NoCreat=1") << ";NoCreat=1";
}

void TestDbConnection::missingDatabaseFileIsNotCreated() {
    QFETCH(QString, suffix);
    const QString file = TestWorld::instance()->path("missing.db");
    CADODataBase db;
    QVERIFY(!db.Open(TestWorld::instance()->sqliteConnection("missing.db") + suffix));
    QCOMPARE(db.GetErrorDescription(),
             QStringLiteral("The database file \"%1\" does not exist.").arg(file));
    QVERIFY2(db.GetLastErrorString().contains("\tSource = CADODataBase\n"),
             qPrintable(db.GetLastErrorString()));
    QVERIFY(!QFileInfo::exists(file));
}

void TestDbConnection::explicitCreationAllowed() {
    const QString file = TestWorld::instance()->path("created.db");
    CADODataBase db;
    QVERIFY2(db.Open(TestWorld::instance()->sqliteConnection("created.db") + ";NoCreat=0"),
             qPrintable(db.GetLastErrorString()));
    QVERIFY(QFileInfo::exists(file));
}

void TestDbConnection::folderAsDatabase() {
    QDir(TestWorld::instance()->root()).mkpath("afolder");
    CADODataBase db;
    QVERIFY(!db.Open(TestWorld::instance()->sqliteConnection("afolder")));
    QVERIFY2(db.GetErrorDescription().contains("is a folder"),
             qPrintable(db.GetErrorDescription()));
}

void TestDbConnection::emptyConnectionString() {
    CADODataBase db;
    QVERIFY(!db.Open());
    QCOMPARE(db.GetLastErrorString(),
             QStringLiteral("Connection String = \nCADODataBase Error\n\tCode = 800a0bb9\n\tCode "
                            "meaning = Unknown error 0x800A0BB9\n\tSource = CADODataBase\n\t"
                            "Description = No connection string given.\n"));
}

void TestDbConnection::failedOpenReplacesStateAndText() {
    CADODataBase db;
    QVERIFY(db.Open(m_conn));
    QVERIFY(!db.Open("Driver=NoSuchDriver"));
    QVERIFY(!db.IsOpen());
    QVERIFY(db.GetLastErrorString().startsWith("Connection String = Driver=NoSuchDriver\n"));
    // The failed string is now the stored one, so an empty open repeats the failure.
    QVERIFY(!db.Open());
    QVERIFY(db.Open(m_conn));
}

void TestDbConnection::registry() {
    bool found = false;
    for (const COdbcDriverInfo& d : odbcInstalledDrivers())
        if (d.name == "SQLite3")
            found = d.library.contains("sqlite", Qt::CaseInsensitive);
    QVERIFY(found);
    QVERIFY(odbcDataSources().isEmpty());
}

void TestDbConnection::reopenSwitchesAFailingFeatureOff() {
    std::unique_ptr<CADODataBase> db;
    bool on = true;
    // The first reopen makes the connection.
    QCOMPARE(ReopenDatabase(db, on, m_conn), std::nullopt);
    QVERIFY(db && db->IsOpen() && on);
    CADODataBase* const same = db.get();

    // Off: closed, and nothing to say.
    on = false;
    QCOMPARE(ReopenDatabase(db, on, m_conn), std::nullopt);
    QCOMPARE(db.get(), same);
    QVERIFY(!db->IsOpen() && !on);

    // A string that does not open: closed, switched off, and the reason for the message.
    on = true;
    QCOMPARE(ReopenDatabase(db, on, m_conn), std::nullopt);
    QVERIFY(db->IsOpen());
    const std::optional<QString> error =
        ReopenDatabase(db, on, TestWorld::instance()->sqliteConnection("missing.db"));
    QVERIFY(!db->IsOpen());
    QVERIFY(!on);
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QStringLiteral("missing.db")), qPrintable(*error));
    QCOMPARE(*error, db->GetErrorDescription());
}

TARVEX_TEST_GUILESS_MAIN(TestDbConnection)
#include "tst_dbconnection.moc"
