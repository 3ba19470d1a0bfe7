// Taking a connection string apart into the connection dialog's fields and putting it back, and
// the schema names the settings pages list.
#include "connectionfields.h"
#include "dbfixture.h"
#include "schemanames.h"

#include <QCoreApplication>
#include <QTest>

class TestDbConnectionEdit : public QObject {
    Q_OBJECT
private slots:
    void fieldsFromAString();
    void editingKeepsTheUsersOrder();
    void driverAndDataSourceExcludeEachOther();
    void extraKeys();
    void maskedPassword();
    void tableAndColumnNames();
};

void TestDbConnectionEdit::fieldsFromAString() {
    const CConnectionFields f(
        QStringLiteral("Driver={SQLite3};Database=/a b.db;UID=sa;PWD={x;y};Server=h;Foo=1"));
    QCOMPARE(f.source(), CConnectionFields::Source::Driver);
    QCOMPARE(f.driver(), QStringLiteral("SQLite3"));
    QCOMPARE(f.database(), QStringLiteral("/a b.db"));
    QCOMPARE(f.user(), QStringLiteral("sa"));
    QCOMPARE(f.password(), QStringLiteral("x;y"));
    QCOMPARE(f.server(), QStringLiteral("h"));
    QCOMPARE(f.extras().size(), 1);
    QCOMPARE(f.extras().first().key, QStringLiteral("Foo"));

    const CConnectionFields dsn(QStringLiteral("dsn=reports;uid=u"));
    QCOMPARE(dsn.source(), CConnectionFields::Source::DataSource);
    QCOMPARE(dsn.dataSource(), QStringLiteral("reports"));
    QCOMPARE(CConnectionFields().source(), CConnectionFields::Source::Driver);
}

void TestDbConnectionEdit::editingKeepsTheUsersOrder() {
    CConnectionFields f(QStringLiteral("Database=/x.db;Driver=SQLite3;Timeout=5"));
    f.setDatabase(QStringLiteral("/y.db"));
    QCOMPARE(f.toString(), QStringLiteral("Database=/y.db;Driver=SQLite3;Timeout=5"));
    f.setUser(QStringLiteral("me"));
    QCOMPARE(f.toString(), QStringLiteral("Database=/y.db;Driver=SQLite3;Timeout=5;UID=me"));
    // An emptied field drops its key rather than leaving "UID=".
    f.setUser(QString());
    f.setDatabase(QString());
    QCOMPARE(f.toString(), QStringLiteral("Driver=SQLite3;Timeout=5"));
    // A new driver leads the string.
    CConnectionFields fresh;
    fresh.setDatabase(QStringLiteral("/z.db"));
    fresh.setDriver(QStringLiteral("SQLite3"));
    QCOMPARE(fresh.toString(), QStringLiteral("Driver=SQLite3;Database=/z.db"));
}

void TestDbConnectionEdit::driverAndDataSourceExcludeEachOther() {
    CConnectionFields f(QStringLiteral("Driver=SQLite3;Database=/x.db"));
    f.setDataSource(QStringLiteral("reports"));
    QCOMPARE(f.source(), CConnectionFields::Source::DataSource);
    QCOMPARE(f.toString(), QStringLiteral("DSN=reports;Database=/x.db"));
    f.setDriver(QStringLiteral("FreeTDS"));
    QCOMPARE(f.toString(), QStringLiteral("Driver=FreeTDS;Database=/x.db"));
    // Choosing the kind before a name keeps the kind.
    f.setDataSource(QString());
    QCOMPARE(f.source(), CConnectionFields::Source::DataSource);
    QCOMPARE(f.toString(), QStringLiteral("Database=/x.db"));
}

void TestDbConnectionEdit::extraKeys() {
    CConnectionFields f(QStringLiteral("Driver=SQLite3;A=1;Database=/x.db;B=2"));
    f.setExtras({{QStringLiteral("C"), QStringLiteral("3;4")},
                 {QStringLiteral(" "), QStringLiteral("lost")},
                 {QStringLiteral("pwd"), QStringLiteral("not through the extras")}});
    QCOMPARE(f.toString(), QStringLiteral("Driver=SQLite3;Database=/x.db;C={3;4}"));
    QCOMPARE(f.password(), QString());
    f.setExtras({});
    QCOMPARE(f.toString(), QStringLiteral("Driver=SQLite3;Database=/x.db"));
}

void TestDbConnectionEdit::maskedPassword() {
    CConnectionFields f(QStringLiteral("DSN=r;UID=u;PWD=secret"));
    const QString shown = f.toMaskedString();
    QVERIFY(!shown.contains(QLatin1String("secret")));
    QCOMPARE(shown, QStringLiteral("DSN=r;UID=u;PWD=") + CConnectionFields::passwordMask());
    // Raw editing elsewhere in the string keeps the real password.
    f.setMaskedText(QString(shown).replace(QLatin1String("UID=u"), QLatin1String("UID=v")),
                    QStringLiteral("secret"));
    QCOMPARE(f.toString(), QStringLiteral("DSN=r;UID=v;PWD=secret"));
    // A password typed over the mask replaces it; typing the mask back brings the masked one.
    f.setMaskedText(QStringLiteral("DSN=r;UID=v;PWD=*"), QStringLiteral("secret"));
    QCOMPARE(f.password(), QStringLiteral("*"));
    f.setMaskedText(QStringLiteral("DSN=r;UID=v;PWD=") + CConnectionFields::passwordMask(),
                    QStringLiteral("secret"));
    QCOMPARE(f.password(), QStringLiteral("secret"));
    QCOMPARE(CConnectionFields(QStringLiteral("DSN=r")).toMaskedString(), QStringLiteral("DSN=r"));
}

void TestDbConnectionEdit::tableAndColumnNames() {
    QCOMPARE(runStatements("names.db", {"create table staff(id text, last text)",
                                        "create table staff_x(other text)",
                                        "create view people as select last from staff"}),
             QString());
    CADODataBase db;
    QVERIFY(db.Open(TestWorld::instance()->sqliteConnection("names.db")));
    QStringList tables;
    QVERIFY(SchemaTableNames(db, tables));
    tables.sort();
    QCOMPARE(tables, QStringList({"people", "staff", "staff_x"}));
    QStringList columns;
    // The table is named exactly: "staff" is not a pattern that also matches "staff_x".
    QVERIFY(SchemaColumnNames(db, QStringLiteral("staff"), columns));
    QCOMPARE(columns, QStringList({"id", "last"}));
    db.Close();
    QStringList none;
    QVERIFY(!SchemaTableNames(db, none));
    QVERIFY(!SchemaColumnNames(db, QStringLiteral("staff"), none));
}

TARVEX_TEST_GUILESS_MAIN(TestDbConnectionEdit)
#include "tst_dbconnectionedit.moc"
