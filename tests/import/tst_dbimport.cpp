// The database table import against the SQLite ODBC driver.
#include "dbfixture.h"
#include "dbimport.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

DbImportSettings settings(const QString& table = QStringLiteral("staff")) {
    DbImportSettings s;
    s.connection = TestWorld::instance()->sqliteConnection("staff.db");
    s.table = table;
    s.mediaIdColumn = QStringLiteral("card");
    s.lastNameColumn = QStringLiteral("last");
    s.firstNameColumn = QStringLiteral("first");
    s.codePage = QStringLiteral("windows-1250");
    return s;
}

} // namespace

class TestDbImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString error = runStatements(
            "staff.db",
            {"create table staff(id integer, card text, last text, first text)",
             QString::fromUtf8("insert into staff values(1, '1a2b3c4d', 'Łukasz', 'Żółć')"),
             // A numeric card of eight digits reads as eight decimal characters.
             "insert into staff values(2, 12345678, NULL, NULL)",
             QString::fromUtf8("insert into staff values(3, '1A2B3C4D', 'Again', 'Same')"),
             QString::fromUtf8("insert into staff values(4, '123', 'Short', 'Rejected')"),
             QString::fromUtf8("insert into staff values(5, '11111111', 'Жук', 'Ivan')"),
             "create table empty(card text, last text, first text)"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void importsNamesIntoTheCodePage() {
        CTarvexDoc doc;
        QList<QPair<int, int>> steps;
        const DbImportResult r = ImportDbTable(settings(), doc, [&](int processed, int total) {
            steps.append({processed, total});
        });
        QCOMPARE(r.outcome, DbImportResult::Outcome::Imported);
        QCOMPARE(r.total, 5);
        QCOMPARE(r.imported, 3);
        QCOMPARE(steps, (QList<QPair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
        QVERIFY(doc.IsModified());

        const CEmpRecord* first = doc.FindEmployee("6300001A2B3C4D01");
        QVERIFY(first);
        QCOMPARE(first->LastName, std::string("\xA3ukasz"));
        QCOMPARE(first->FirstName, std::string("\xAF\xF3\xB3\xE6"));
        // NULL names give empty names; the employee is still added.
        bool emptyNames = false;
        for (const auto& [id, e] : doc.Employees())
            emptyNames |=
                id.substr(2, 12) == "000012345678" && e.LastName.empty() && e.FirstName.empty();
        QVERIFY(emptyNames);

        // The Cyrillic name does not fit windows-1250: stored as '?', and reported.
        QCOMPARE(r.codePage, QStringLiteral("windows-1250"));
        QCOMPARE(r.unmapped.Count(), 3);
        QCOMPARE(r.unmapped.FirstCharacter(), QString::fromUtf8("Ж"));
        QCOMPARE(r.unmapped.FirstText(), QString::fromUtf8("Жук"));

        // The same table again adds nothing.
        doc.SetModifiedFlag(false);
        const DbImportResult again = ImportDbTable(settings(), doc);
        QCOMPARE(again.total, 5);
        QCOMPARE(again.imported, 0);
        QVERIFY(!doc.IsModified());
    }

    void quotesOnlyNamesThatNeedIt() {
        using F = SqlIdentifierRules::Folding;
        const SqlIdentifierRules ansi{QStringLiteral("\""), F::None};
        QCOMPARE(QuoteIdentifierIfNeeded("card_no", ansi), QStringLiteral("card_no"));
        QCOMPARE(QuoteIdentifierIfNeeded("CardNo", ansi), QStringLiteral("CardNo"));
        QCOMPARE(QuoteIdentifierIfNeeded("Card No", ansi), QStringLiteral("\"Card No\""));
        QCOMPARE(QuoteIdentifierIfNeeded("1st", ansi), QStringLiteral("\"1st\""));
        QCOMPARE(QuoteIdentifierIfNeeded("order", ansi), QStringLiteral("\"order\""));
        QCOMPARE(QuoteIdentifierIfNeeded("Orders", ansi), QStringLiteral("Orders"));
        QCOMPARE(QuoteIdentifierIfNeeded("a\"b", ansi), QStringLiteral("\"a\"\"b\""));
        QCOMPARE(QuoteIdentifierIfNeeded(QString::fromUtf8("Příjmení"), ansi),
                 QString::fromUtf8("\"Příjmení\""));
        // Drivers that fold unquoted names: a name in the other case would not be found.
        const SqlIdentifierRules upper{QStringLiteral("\""), F::Upper};
        QCOMPARE(QuoteIdentifierIfNeeded("CARD", upper), QStringLiteral("CARD"));
        QCOMPARE(QuoteIdentifierIfNeeded("Card", upper), QStringLiteral("\"Card\""));
        const SqlIdentifierRules lower{QStringLiteral("`"), F::Lower};
        QCOMPARE(QuoteIdentifierIfNeeded("card", lower), QStringLiteral("card"));
        QCOMPARE(QuoteIdentifierIfNeeded("Card", lower), QStringLiteral("`Card`"));
        // A driver without a quote character gets the name as it stands.
        QCOMPARE(QuoteIdentifierIfNeeded("Card No", SqlIdentifierRules{}),
                 QStringLiteral("Card No"));

        CADODataBase db;
        QVERIFY(db.Open(TestWorld::instance()->sqliteConnection("staff.db")));
        const SqlIdentifierRules sqlite = IdentifierRulesOf(db);
        QCOMPARE(sqlite.quote, QStringLiteral("\""));
        DbImportSettings s = settings(QStringLiteral("Staff List"));
        s.lastNameColumn = QStringLiteral("last");
        QCOMPARE(DbImportQuery(s, sqlite),
                 QStringLiteral("select card, last, first from \"Staff List\""));
        // Without rules the names stand as they are.
        QCOMPARE(DbImportQuery(s), QStringLiteral("select card, last, first from Staff List"));

        // Names the schema lists gave are delimited whatever they look like.
        QCOMPARE(QuoteSchemaName("key", ansi), QStringLiteral("\"key\""));
        QCOMPARE(QuoteSchemaName("a\"b", ansi), QStringLiteral("\"a\"\"b\""));
        QCOMPARE(QuoteSchemaName("user", lower), QStringLiteral("`user`"));
        QCOMPARE(QuoteSchemaName("a`b", lower), QStringLiteral("`a``b`"));
        QCOMPARE(QuoteSchemaName("index", SqlIdentifierRules{}), QStringLiteral("index"));
        s.namesFromSchema = true;
        s.mediaIdColumn = QStringLiteral("key");
        QCOMPARE(DbImportQuery(s, sqlite),
                 QStringLiteral("select \"key\", \"last\", \"first\" from \"Staff List\""));
    }

    // A database that another program holds locked: the import gives up within its limits
    // with the database's reason, rather than waiting on the lock for minutes.
    void lockedDatabaseIsGivenUp() {
        CADODataBase holder;
        QVERIFY(holder.Open(TestWorld::instance()->sqliteConnection("staff.db")));
        CADORecordset lock(&holder);
        QVERIFY(lock.Open(QStringLiteral("begin exclusive")));
        DbImportSettings s = settings();
        s.limits = {std::chrono::milliseconds(2000), 1};
        CTarvexDoc doc;
        QElapsedTimer clock;
        clock.start();
        const DbImportResult r = ImportDbTable(s, doc);
        const qint64 took = clock.elapsed();
        QVERIFY(lock.Open(QStringLiteral("rollback")));
        QVERIFY2(took < 4000, qPrintable(QString::number(took)));
        QCOMPARE(r.outcome, DbImportResult::Outcome::QueryFailed);
        QVERIFY2(r.error.contains(QStringLiteral("database is locked")), qPrintable(r.error));
        QVERIFY(doc.Employees().empty());
        qInfo("locked database given up after %lld ms", took);
    }

    // Cancel between rows: the rows read before it stay imported.
    void cancelStopsBetweenRows() {
        CTarvexDoc doc;
        int rows = 0;
        const DbImportResult r = ImportDbTable(
            settings(), doc, [&](int processed, int) { rows = processed; },
            [&] { return rows == 2; });
        QCOMPARE(r.outcome, DbImportResult::Outcome::Cancelled);
        QCOMPARE(r.total, 2);
        QCOMPARE(r.expected, 5);
        QCOMPARE(r.imported, 2);
        QCOMPARE(doc.Employees().size(), std::size_t(2));
        QVERIFY(doc.IsModified());
    }

    void failures() {
        CTarvexDoc doc;
        DbImportSettings s = settings(QStringLiteral("empty"));
        QCOMPARE(ImportDbTable(s, doc).outcome, DbImportResult::Outcome::NothingToImport);

        // A query the database refuses: its error text comes back with the statement.
        s = settings(QStringLiteral("absent"));
        DbImportResult r = ImportDbTable(s, doc);
        QCOMPARE(r.outcome, DbImportResult::Outcome::QueryFailed);
        QVERIFY2(r.error.startsWith(QStringLiteral("Query = select count(*) from absent\n"
                                                   "CADORecordset Error")),
                 qPrintable(r.error));
        QCOMPARE(r.total, 0);

        s = settings();
        s.connection = TestWorld::instance()->sqliteConnection("absent.db");
        r = ImportDbTable(s, doc);
        QCOMPARE(r.outcome, DbImportResult::Outcome::NoConnection);
        QVERIFY(doc.Employees().empty());
        QVERIFY(!doc.IsModified());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestDbImport)
#include "tst_dbimport.moc"
