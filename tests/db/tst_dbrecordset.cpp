// Queries, value conversion, moving, counting, schema lists and long binary values against
// the SQLite ODBC driver.
#include "dbfixture.h"

#include <QCoreApplication>
#include <QTest>

#include <locale.h>

class TestDbRecordset : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void values_data();
    void values();
    void fieldLookupErrors();
    void movesAndCount();
    void emptyResultAndStoredQuery();
    void statementsWithoutRows();
    void openOptions();
    void failedQueryText();
    void closedConnection();
    void schemaTables();
    void schemaColumns();
    void longBinary();
    void limitsOnWhatIsRead();
    void olderDriverBehaviour();
    void quotedLiteral();
    void nonAsciiTextRoundTrips();

private:
    CADODataBase* m_db = nullptr;
    QByteArray m_photo;
};

void TestDbRecordset::initTestCase() {
    // One chunk is 64 KiB: a little over 1 MB crosses many chunk borders and ends mid-chunk.
    m_photo.resize(1024 * 1024 + 3);
    for (qsizetype i = 0; i < m_photo.size(); ++i)
        m_photo[i] = char((i * 7 + i / 251) & 0xFF);
    const QString error = runStatements(
        "t.db",
        {"create table t(i integer, bi bigint, r real, s text, v varchar(20), b blob, "
         "dt datetime, da date, tm time, bo boolean, dc decimal(10,2), si smallint, ti tinyint)",
         "insert into t values(1, 5000000000, 0.1, 'héllo wörld', 'v', x'00ff10', "
         "'2024-03-05 07:08:09', '2024-03-05', '07:08:09', 1, 12.34, -3, 200)",
         "insert into t(i, bo) values(2, 0)",
         "insert into t(i, dt, r) values(3, 'not a date', 2.5)",
         "insert into t(i, dt) values(4, '2024-13-45 99:99:99')",
         "insert into t(i, da) values(5, 1700000000)", "create view vw as select i, s from t",
         "create table photo_x(id integer, Fotografija blob)",
         "create table photos(id integer, Fotografija blob)",
         "insert into photos values(1, x'" + QString::fromLatin1(m_photo.toHex()) + "')",
         "insert into photos values(2, NULL)"});
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestDbRecordset::init() {
    m_db = new CADODataBase;
    QVERIFY2(m_db->Open(TestWorld::instance()->sqliteConnection("t.db")),
             qPrintable(m_db->GetLastErrorString()));
}

void TestDbRecordset::cleanup() {
    delete m_db;
    m_db = nullptr;
}

void TestDbRecordset::values_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("integer") << 1 << "i"
                             << "1" << true;
    QTest::newRow("bigint") << 1 << "bi"
                            << "5000000000" << true;
    QTest::newRow("real, 20 digits") << 1 << "r"
                                     << "0.10000000000000000555" << true;
    QTest::newRow("real, short") << 3 << "r"
                                 << "2.5" << true;
    QTest::newRow("text, UTF-8") << 1 << "s"
                                 << "héllo wörld" << true;
    QTest::newRow("varchar") << 1 << "v"
                             << "v" << true;
    QTest::newRow("blob has no text") << 1 << "b"
                                      << "" << false;
    QTest::newRow("datetime") << 1 << "dt"
                              << "2024-03-05 07:08:09" << true;
    QTest::newRow("date") << 1 << "da"
                          << "2024-03-05 00:00:00" << true;
    QTest::newRow("time") << 1 << "tm"
                          << "1899-12-30 07:08:09" << true;
    QTest::newRow("free text in a date column") << 3 << "dt"
                                                << "not a date" << true;
    QTest::newRow("impossible date") << 4 << "dt"
                                     << "2024-13-45 99:99:99" << true;
    QTest::newRow("number in a date column") << 5 << "da"
                                             << "1700000000" << true;
    QTest::newRow("boolean true") << 1 << "bo"
                                  << "T" << true;
    QTest::newRow("boolean false") << 2 << "bo"
                                   << "F" << true;
    QTest::newRow("decimal as the driver gives it") << 1 << "dc"
                                                    << "12.34" << true;
    QTest::newRow("smallint") << 1 << "si"
                              << "-3" << true;
    QTest::newRow("tinyint") << 1 << "ti"
                             << "200" << true;
    QTest::newRow("null text") << 2 << "s"
                               << "" << true;
    QTest::newRow("null date") << 2 << "dt"
                               << "" << true;
    QTest::newRow("null blob") << 2 << "b"
                               << "" << true;
    QTest::newRow("case-insensitive name") << 1 << "S"
                                           << "héllo wörld" << true;
}

void TestDbRecordset::values() {
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    CADORecordset rs(m_db);
    QVERIFY2(rs.Open("select * from t order by i"), qPrintable(rs.GetLastErrorString()));
    for (int i = 1; i < row; ++i)
        rs.MoveNext();
    QString value = QStringLiteral("stale");
    QCOMPARE(rs.GetFieldValue(field, value), ok);
    QCOMPARE(value, text);
}

void TestDbRecordset::fieldLookupErrors() {
    CADORecordset rs(m_db);
    QVERIFY(rs.Open("select i, dt from t where i = 1"));
    QString value;
    QVERIFY(rs.GetFieldValue("dt", value, "%d/%m/%Y"));
    QCOMPARE(value, QStringLiteral("05/03/2024"));
    QVERIFY(!rs.GetFieldValue("nosuch", value));
    QCOMPARE(
        rs.GetLastErrorString(),
        QStringLiteral("Query = select i, dt from t where i = 1\nCADORecordset Error\n\tCode = "
                       "800a0cc1\n\tCode meaning = Unknown error 0x800A0CC1\n\tSource = "
                       "CADORecordset\n\tDescription = No field named \"nosuch\" in the "
                       "result.\n"));
    rs.MoveNext();
    QVERIFY(rs.IsEof());
    QVERIFY(!rs.GetFieldValue("i", value));
    QCOMPARE(rs.GetLastError(), AdoCode::NoCurrentRow);
    QVERIFY(!rs.GetFieldValue(2, value));
    QCOMPARE(rs.GetLastError(), AdoCode::FieldNotFound);
}

void TestDbRecordset::movesAndCount() {
    CADORecordset rs(m_db);
    // SQLite reports no row count for a select: the count comes from the fetched rows.
    QVERIFY(rs.Open("select i from t order by i"));
    QVERIFY(rs.IsOpen());
    QCOMPARE(rs.GetRecordCount(), 5L);
    QStringList seen;
    QString value;
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
        QVERIFY(rs.GetFieldValue("i", value));
        seen << value;
    }
    QCOMPARE(seen, QStringList({"1", "2", "3", "4", "5"}));
    rs.MoveNext(); // past the end stays at the end
    QVERIFY(rs.IsEof());
    rs.MoveFirst();
    rs.MoveNext();
    QCOMPARE(rs.GetRecordCount(), 5L); // counting does not move
    QVERIFY(rs.GetFieldValue("i", value));
    QCOMPARE(value, QStringLiteral("2"));
    QCOMPARE(rs.GetFieldCount(), 1);
    QCOMPARE(rs.GetFieldName(0), QStringLiteral("i"));
    rs.Close();
    QVERIFY(!rs.IsOpen());
    QVERIFY(rs.IsEof());
    QCOMPARE(rs.GetRecordCount(), 0L);
}

void TestDbRecordset::emptyResultAndStoredQuery() {
    CADORecordset rs(m_db);
    QVERIFY(rs.Open(" \t SELECT i FROM t WHERE i > 100"));
    QCOMPARE(rs.GetQuery(), QStringLiteral("SELECT i FROM t WHERE i > 100"));
    QVERIFY(rs.IsOpen());
    QVERIFY(rs.IsEof());
    QCOMPARE(rs.GetRecordCount(), 0L);
    // An empty text runs the stored query again.
    QVERIFY(rs.Open());
    QCOMPARE(rs.GetRecordCount(), 0L);
    QVERIFY(rs.Open("select max(i) as top from t"));
    QString value;
    QVERIFY(rs.GetFieldValue("top", value));
    QCOMPARE(value, QStringLiteral("5"));
}

void TestDbRecordset::statementsWithoutRows() {
    CADORecordset rs(m_db);
    QVERIFY2(rs.Open("create table scratch(k integer, name text)"),
             qPrintable(rs.GetLastErrorString()));
    QVERIFY(!rs.IsOpen());
    QVERIFY(rs.IsEof());
    QCOMPARE(rs.GetRecordCount(), 0L);
    QVERIFY(rs.Open("insert into scratch values(1, 'a')"));
    QVERIFY(rs.Open("insert into scratch values(2, 'b')"));
    QVERIFY(rs.Open("update scratch set name = 'c' where k = 99")); // touches no row
    QVERIFY(rs.Open("delete from scratch where k = 1"));
    QVERIFY(rs.Open("select name from scratch"));
    QCOMPARE(rs.GetRecordCount(), 1L);
    QString value;
    QVERIFY(rs.GetFieldValue("name", value));
    QCOMPARE(value, QStringLiteral("b"));
    QVERIFY(rs.Open("drop table scratch"));
}

void TestDbRecordset::openOptions() {
    CADORecordset rs(m_db);
    QVERIFY2(rs.Open("t", CADORecordset::openTable), qPrintable(rs.GetLastErrorString()));
    QCOMPARE(rs.GetRecordCount(), 5L);
    QVERIFY(rs.Open("select i from t", CADORecordset::openQuery));
    QCOMPARE(rs.GetRecordCount(), 5L);
    QVERIFY(!rs.Open("select i from t", 7));
    QCOMPARE(rs.GetLastError(), AdoCode::BadArgument);
    QVERIFY(!rs.IsOpen());
    // SQLite has no stored procedures: the call is refused by the driver, not by the layer.
    QVERIFY(!rs.Open("spNothing", CADORecordset::openStoredProc));
    QVERIFY(rs.GetLastErrorString().startsWith("Query = spNothing\nCADORecordset Error\n"));
}

void TestDbRecordset::failedQueryText() {
    CADORecordset rs(m_db);
    QVERIFY(rs.Open("select i from t"));
    QVERIFY(!rs.Open("  select * from nosuch"));
    QVERIFY(!rs.IsOpen());
    QCOMPARE(rs.GetLastError(), AdoCode::CommandFailed);
    const QString text = rs.GetLastErrorString();
    QVERIFY2(text.startsWith("Query = select * from nosuch\nCADORecordset Error\n\tCode = "
                             "80040e14\n\tCode meaning = IDispatch error #3092\n\tSource = "
                             "[SQLite]\n\tDescription = SQLSTATE HY000: [SQLite]no such table: "
                             "nosuch"),
             qPrintable(text));
    QVERIFY(text.endsWith('\n'));
    QVERIFY(!rs.Open("selec 1"));
    QVERIFY(rs.GetLastErrorString().contains("syntax error"));
    QVERIFY(!rs.Open(QString()));
    QVERIFY(rs.GetLastErrorString().startsWith("Query = selec 1\n"));
}

void TestDbRecordset::closedConnection() {
    m_db->Close();
    CADORecordset rs(m_db);
    QVERIFY(!rs.Open("select 1"));
    QCOMPARE(rs.GetLastError(), AdoCode::ObjectClosed);
    QVERIFY(!rs.OpenSchema(CADORecordset::schemaTables));
    QString value;
    QVERIFY(!rs.GetFieldValue("x", value));
    QCOMPARE(rs.GetLastError(), AdoCode::ObjectClosed);
}

void TestDbRecordset::schemaTables() {
    CADORecordset rs(m_db);
    QVERIFY2(rs.OpenSchema(CADORecordset::schemaTables), qPrintable(rs.GetLastErrorString()));
    QStringList tables, views;
    QString name, type;
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
        QVERIFY(rs.GetFieldValue("TABLE_NAME", name));
        QVERIFY(rs.GetFieldValue("TABLE_TYPE", type));
        (type == "VIEW" ? views : tables) << name;
    }
    tables.sort();
    QCOMPARE(tables, QStringList({"photo_x", "photos", "t"}));
    QCOMPARE(views, QStringList({"vw"}));
    QCOMPARE(rs.GetFieldName(2), QStringLiteral("TABLE_NAME"));
    QCOMPARE(rs.GetFieldName(3), QStringLiteral("TABLE_TYPE"));
    // A restriction names one table exactly; "_" is no wildcard.
    QVERIFY(rs.OpenSchema(CADORecordset::schemaTables, "photo_x"));
    QCOMPARE(rs.GetRecordCount(), 1L);
    QVERIFY(rs.OpenSchema(CADORecordset::schemaTables, "photo%"));
    QCOMPARE(rs.GetRecordCount(), 0L);
    QVERIFY(!rs.OpenSchema(99));
    QCOMPARE(rs.GetLastError(), AdoCode::BadArgument);
}

void TestDbRecordset::schemaColumns() {
    CADORecordset rs(m_db);
    QVERIFY2(rs.OpenSchema(CADORecordset::schemaColumns), qPrintable(rs.GetLastErrorString()));
    QStringList columns;
    QString table, column;
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
        QVERIFY(rs.GetFieldValue("TABLE_NAME", table));
        QVERIFY(rs.GetFieldValue("COLUMN_NAME", column));
        if (table == "t")
            columns << column;
    }
    QCOMPARE(columns, QStringList({"i", "bi", "r", "s", "v", "b", "dt", "da", "tm", "bo", "dc",
                                   "si", "ti"}));
    QVERIFY(rs.OpenSchema(CADORecordset::schemaColumns, "photos"));
    QCOMPARE(rs.GetRecordCount(), 2L);
    rs.MoveNext();
    QVERIFY(rs.GetFieldValue("COLUMN_NAME", column));
    QCOMPARE(column, QStringLiteral("Fotografija"));
}

void TestDbRecordset::longBinary() {
    CADORecordset rs(m_db);
    QVERIFY(rs.Open("select [id] as Ime, [Fotografija] as Fotografija, hex(Fotografija) as h "
                    "from [photos] where [id] = '1'"));
    QCOMPARE(rs.GetRecordCount(), 1L);
    qint64 size = -1;
    QVERIFY(rs.GetFieldActualSize("Fotografija", size));
    QCOMPARE(size, qint64(m_photo.size()));
    QByteArray bytes;
    QVERIFY(rs.GetFieldBytes("Fotografija", size, bytes));
    QVERIFY(bytes == m_photo);
    QVERIFY(rs.GetFieldBytes("Fotografija", 10, bytes));
    QVERIFY(bytes == m_photo.left(10));
    // A 2 MB text value comes through the same parts.
    QString hex;
    QVERIFY(rs.GetFieldValue("h", hex));
    QCOMPARE(hex.size(), m_photo.size() * 2);
    QVERIFY(hex == QString::fromLatin1(m_photo.toHex().toUpper()));
    QVERIFY(!rs.GetFieldBytes("Ime", 4, bytes));
    QCOMPARE(rs.GetLastError(), AdoCode::TypeMismatch);
    QVERIFY(rs.Open("select Fotografija from photos where id = 2"));
    QVERIFY(rs.GetFieldActualSize("Fotografija", size));
    QCOMPARE(size, qint64(0));
}

// At most so many rows, and no value beyond so many bytes, are read into the result: a row
// past the last is only noticed, a value over the limit keeps only its size.
void TestDbRecordset::limitsOnWhatIsRead() {
    CADORecordset rs(m_db);
    rs.SetMaxRecords(1);
    QVERIFY(rs.Open("select id from photos order by id"));
    QCOMPARE(rs.GetRecordCount(), 1L);
    QVERIFY(rs.HasMoreRecords());
    QString id;
    QVERIFY(rs.GetFieldValue("id", id));
    QCOMPARE(id, QStringLiteral("1"));
    QVERIFY(rs.Open("select id from photos where id = 2"));
    QCOMPARE(rs.GetRecordCount(), 1L);
    QVERIFY(!rs.HasMoreRecords());
    rs.SetMaxRecords(2);
    QVERIFY(rs.Open("select id from photos order by id"));
    QCOMPARE(rs.GetRecordCount(), 2L);
    QVERIFY(!rs.HasMoreRecords());
    rs.SetMaxRecords(0);

    // One byte short of the photo: neither the bytes nor the 2 MB text of their hex digits is
    // read; the other fields are.
    rs.SetMaxValueBytes(m_photo.size() - 1);
    QVERIFY(rs.Open("select id, Fotografija, hex(Fotografija) as h from photos order by id"));
    QCOMPARE(rs.GetRecordCount(), 2L);
    qint64 size = -1;
    QVERIFY(rs.GetFieldActualSize("Fotografija", size));
    QCOMPARE(size, qint64(m_photo.size()));
    const CADOValue* raw = rs.GetFieldRawValue("Fotografija");
    QVERIFY(raw);
    QCOMPARE(raw->type, CADOValue::Bytes);
    QVERIFY(raw->bytes.isEmpty());
    QCOMPARE(raw->withheldSize, qint64(m_photo.size()));
    QByteArray bytes("left over");
    QVERIFY(!rs.GetFieldBytes("Fotografija", size, bytes));
    QVERIFY(bytes.isEmpty());
    QCOMPARE(rs.GetLastError(), AdoCode::OutOfMemory);
    QVERIFY(rs.GetLastErrorString().contains("Fotografija"));
    QString hex;
    QVERIFY(!rs.GetFieldValue("h", hex));
    QVERIFY(hex.isEmpty());
    QVERIFY(rs.GetFieldValue("id", id));
    QCOMPARE(id, QStringLiteral("1"));
    // A NULL stays NULL.
    rs.MoveNext();
    QVERIFY(rs.GetFieldActualSize("Fotografija", size));
    QCOMPARE(size, qint64(0));
    QVERIFY(rs.GetFieldValue("h", hex));
    QVERIFY(hex.isEmpty());

    // Exactly the limit is read.
    rs.SetMaxValueBytes(m_photo.size());
    QVERIFY(rs.Open("select Fotografija from photos where id = 1"));
    QVERIFY(rs.GetFieldBytes("Fotografija", m_photo.size(), bytes));
    QVERIFY(bytes == m_photo);
}

void TestDbRecordset::olderDriverBehaviour() {
    // Asked for ODBC 2 behaviour, the SQLite driver names the catalog columns TABLE_QUALIFIER,
    // TABLE_OWNER, PRECISION...: the lists still read by the standard names.
    CADODataBase db(CADODataBase::odbc2);
    QVERIFY2(db.Open(TestWorld::instance()->sqliteConnection("t.db")),
             qPrintable(db.GetLastErrorString()));
    CADORecordset rs(&db);
    QVERIFY2(rs.OpenSchema(CADORecordset::schemaTables, "vw"), qPrintable(rs.GetLastErrorString()));
    QCOMPARE(rs.GetRecordCount(), 1L);
    QCOMPARE(rs.GetFieldName(0), QStringLiteral("TABLE_CAT"));
    QString value;
    QVERIFY(rs.GetFieldValue("TABLE_TYPE", value));
    QCOMPARE(value, QStringLiteral("VIEW"));
    QVERIFY(rs.GetFieldValue("TABLE_QUALIFIER", value)); // the driver's own name still works
    QVERIFY(rs.OpenSchema(CADORecordset::schemaColumns, "photos"));
    QCOMPARE(rs.GetRecordCount(), 2L);
    QVERIFY(rs.GetFieldValue("COLUMN_NAME", value));
    QCOMPARE(value, QStringLiteral("id"));
    QVERIFY(rs.GetFieldValue("COLUMN_SIZE", value));
    QVERIFY(rs.GetFieldValue("PRECISION", value));
    // Dates arrive with the older type codes.
    QVERIFY2(rs.Open("select dt, da, tm from t where i = 1"), qPrintable(rs.GetLastErrorString()));
    QVERIFY(rs.GetFieldValue("dt", value));
    QCOMPARE(value, QStringLiteral("2024-03-05 07:08:09"));
    QVERIFY(rs.GetFieldValue("da", value));
    QCOMPARE(value, QStringLiteral("2024-03-05 00:00:00"));
    QVERIFY(rs.GetFieldValue("tm", value));
    QCOMPARE(value, QStringLiteral("1899-12-30 07:08:09"));
}

void TestDbRecordset::quotedLiteral() {
    CADORecordset rs(m_db);
    const QString awkward = QStringLiteral("O'Brien'; drop table t; --");
    QVERIFY2(rs.Open("select " + adoSqlLiteral(awkward) + " as v"),
             qPrintable(rs.GetLastErrorString()));
    QString value;
    QVERIFY(rs.GetFieldValue("v", value));
    QCOMPARE(value, awkward);
    QVERIFY(rs.Open("select count(*) as n from t"));
    QVERIFY(rs.GetFieldValue("n", value));
    QCOMPARE(value, QStringLiteral("5"));
}

namespace {
QString longName() {
    return QString::fromUtf8("Ż😀a").repeated(60000);
}
} // namespace

void TestDbRecordset::nonAsciiTextRoundTrips() {
    // Names written through the layer come back unchanged, the column and table names too. A
    // value stored as Latin-1 bytes (what a driver in a Latin-1 character set hands over)
    // reads as its letters, not as replacement characters.
    const QString error = runStatements(
        "names.db", {QString::fromUtf8("create table \"Osoby\"(id integer, \"Imię\" text)"),
                     QString::fromUtf8("insert into \"Osoby\" values(1, 'Łukasz Żółć')"),
                     QString::fromUtf8("insert into \"Osoby\" values(2, 'Жук')"),
                     QStringLiteral("insert into \"Osoby\" values(3, cast(x'4ce9' as text))"),
                     // Long enough to come in many parts, with pairs of UTF-16 units that a
                     // part border may split. Given as bytes: the driver manager hands wide
                     // statement text to this driver as UCS-2, which has no such pairs.
                     QStringLiteral("insert into \"Osoby\" values(4, cast(x'%1' as text))")
                         .arg(QString::fromLatin1(longName().toUtf8().toHex()))});
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // Run once as the tests run, and once in the C locale, where the driver manager would
    // talk ASCII to the driver.
    for (const char* localeName : {"", "C"}) {
        const locale_t locale =
            *localeName ? newlocale(LC_CTYPE_MASK, localeName, locale_t(nullptr)) : nullptr;
        const locale_t previous = locale ? uselocale(locale) : nullptr;
        {
            CADODataBase db;
            QVERIFY2(db.Open(TestWorld::instance()->sqliteConnection("names.db")),
                     qPrintable(db.GetLastErrorString()));
            CADORecordset rs(&db);
            QVERIFY2(rs.Open(QString::fromUtf8("select \"Imię\" from \"Osoby\" order by id")),
                     qPrintable(rs.GetLastErrorString()));
            QCOMPARE(rs.GetFieldName(0), QString::fromUtf8("Imię"));
            QStringList names;
            for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
                QString name;
                QVERIFY(rs.GetFieldValue(QString::fromUtf8("Imię"), name));
                names << name;
            }
            QCOMPARE(names, QStringList({QString::fromUtf8("Łukasz Żółć"), QString::fromUtf8("Жук"),
                                         QString::fromUtf8("Lé"), longName()}));

            QVERIFY(rs.OpenSchema(CADORecordset::schemaColumns, QString::fromUtf8("Osoby")));
            QStringList columns;
            for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
                QString column;
                QVERIFY(rs.GetFieldValue("COLUMN_NAME", column));
                columns << column;
            }
            QCOMPARE(columns, QStringList({"id", QString::fromUtf8("Imię")}));

            // The driver's messages keep their letters as well.
            QVERIFY(!rs.Open(QString::fromUtf8("select * from \"Brak_ł\"")));
            QVERIFY2(rs.GetLastErrorString().contains(QString::fromUtf8("Brak_ł")),
                     qPrintable(rs.GetLastErrorString()));
        }
        if (locale) {
            uselocale(previous);
            freelocale(locale);
        }
    }
}

TARVEX_TEST_GUILESS_MAIN(TestDbRecordset)
#include "tst_dbrecordset.moc"
