#include "csvimport.h"
#include "tarvexdoc.h"
#include "testfiles.h"
#include "testworld.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QString writeCsv(const QString& name, const QByteArray& bytes) {
    const QString path = TestWorld::instance()->path(name);
    writeBytes(path, bytes);
    return path;
}

CsvImportSettings settings(const QString& path, int id = 0, int last = 1, int first = 2,
                           int type = 0) {
    CsvImportSettings s;
    s.path = path;
    s.mediaIdColumn = id;
    s.lastNameColumn = last;
    s.firstNameColumn = first;
    s.mediaType = type;
    s.codePage = QStringLiteral("windows-1252");
    return s;
}

} // namespace

class TestCsvImport : public QObject {
    Q_OBJECT
private slots:
    void countsAndSkips() {
        // Header, empty lines, a quoted ID, a duplicate within the file, a wrong check byte,
        // a 14-character ID, CRLF and LF mixed and no line end at the end.
        const QString path = writeCsv("mixed.csv", "MediaID,Last,First\r\n"
                                                   "1a2b3c4d,Doe,Jane\r\n"
                                                   "\r\n"
                                                   "\n"
                                                   "\"11111111\",Quoted,Q\n"
                                                   "1A2B3C4D,Again,Dup\n"
                                                   "6400001A2B3C4D01,Bad,Check\n"
                                                   "00001A2B3C4D44,Rf, Spaced \n"
                                                   "22222222,Last");
        CTarvexDoc doc;
        QSignalSpy modified(&doc, &CTarvexDoc::modifiedChanged);
        const CsvImportResult r = ImportCsvFile(settings(path), doc);
        QVERIFY(r.opened);
        QVERIFY(r.error.isEmpty());
        QCOMPARE(r.total, 9);
        QCOMPARE(r.imported, 3);
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->LastName, std::string("Doe"));
        // Nothing is trimmed; a missing field gives an empty name.
        QCOMPARE(doc.FindEmployee("6D00001A2B3C4D44")->FirstName, std::string(" Spaced "));
        const CEmpRecord* last = nullptr;
        for (const auto& [id, e] : doc.Employees())
            if (e.LastName == "Last")
                last = &e;
        QVERIFY(last && last->FirstName.empty());
        QVERIFY(doc.IsModified());
        QCOMPARE(modified.count(), 1);

        // The same file again: same total, nothing imported, nothing changed.
        doc.SetModifiedFlag(false);
        const CsvImportResult again = ImportCsvFile(settings(path), doc);
        QCOMPARE(again.total, 9);
        QCOMPARE(again.imported, 0);
        QVERIFY(!doc.IsModified());
    }

    void existingEmployeesAreNotTouched() {
        const QString path = writeCsv("existing.csv", "1a2b3c4d,New,Name\n");
        CTarvexDoc doc;
        doc.InsertEmployee("6300001A2B3C4D01", {"Old", "Name"});
        const CsvImportResult r = ImportCsvFile(settings(path), doc);
        QCOMPARE(r.imported, 0);
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->LastName, std::string("Old"));
    }

    void mediaTypeAndColumns() {
        const QString path = writeCsv("cols.csv", "Jane,x,Doe,1a2b3c4d\n");
        CTarvexDoc doc;
        const CsvImportResult r = ImportCsvFile(settings(path, 3, 2, 0, 1), doc);
        QCOMPARE(r.imported, 1);
        QCOMPARE(doc.FindEmployee("6D00001A2B3C4D44")->LastName, std::string("Doe"));
        QCOMPARE(doc.FindEmployee("6D00001A2B3C4D44")->FirstName, std::string("Jane"));
        // A media-ID column beyond the last field gives an empty, rejected ID.
        CTarvexDoc other;
        QCOMPARE(ImportCsvFile(settings(path, 9, 2, 0), other).imported, 0);
    }

    void namesEndUpInTheCodePage() {
        // UTF-8 names are converted; bytes already in the code page are kept; a byte order
        // mark does not become part of the first field.
        const QString path = writeCsv("names.csv", "\xEF\xBB\xBF"
                                                   "1a2b3c4d,M\xC3\xBCller,J\xC3\xB6rg\n"
                                                   "11111111,M\xFCller,\xC4\n");
        CTarvexDoc doc;
        const CsvImportResult r = ImportCsvFile(settings(path), doc);
        QCOMPARE(r.imported, 2);
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->LastName, std::string("M\xFCller"));
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->FirstName, std::string("J\xF6rg"));
        bool found = false;
        for (const auto& [id, e] : doc.Employees())
            found |= e.LastName == "M\xFCller" && e.FirstName == "\xC4";
        QVERIFY(found);

        CsvImportSettings utf8 = settings(path);
        utf8.codePage = QStringLiteral("UTF-8");
        CTarvexDoc kept;
        ImportCsvFile(utf8, kept);
        QCOMPARE(kept.FindEmployee("6300001A2B3C4D01")->LastName, std::string("M\xC3\xBCller"));
    }

    void lettersTheCodePageCannotHoldAreReported() {
        const QString path =
            writeCsv("polish.csv", "1a2b3c4d,\xC5\x81ukasz,\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\n"
                                   "11111111,Nowak,Anna\n"
                                   "1a2b3c4d,\xD0\x96,duplicate\n");
        // The code page that holds the names: stored whole, nothing to report.
        CsvImportSettings central = settings(path);
        central.codePage = QStringLiteral("1250");
        CTarvexDoc doc;
        CsvImportResult r = ImportCsvFile(central, doc);
        QCOMPARE(r.imported, 2);
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->LastName, std::string("\xA3ukasz"));
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->FirstName, std::string("\xAF\xF3\xB3\xE6"));
        QVERIFY(r.unmapped.IsEmpty());
        QCOMPARE(r.codePage, QStringLiteral("windows-1250"));

        // One that cannot: the letters become '?' and the result says how many and which came
        // first; a skipped line's names are not counted.
        CTarvexDoc western;
        r = ImportCsvFile(settings(path), western);
        QCOMPARE(r.imported, 2);
        QCOMPARE(western.FindEmployee("6300001A2B3C4D01")->LastName, std::string("?ukasz"));
        QCOMPARE(western.FindEmployee("6300001A2B3C4D01")->FirstName, std::string("?\xF3??"));
        QCOMPARE(r.unmapped.Count(), 4);
        QCOMPARE(r.unmapped.FirstCharacter(), QString::fromUtf8("Ł"));
        QCOMPARE(r.unmapped.FirstText(), QString::fromUtf8("Łukasz"));
        QCOMPARE(r.codePage, QStringLiteral("windows-1252"));
    }

    void veryLongLinesAndNulBytes() {
        QByteArray line = "1a2b3c4d,Doe,";
        line += QByteArray(2 * 1024 * 1024, 'x');
        line += '\n';
        line += QByteArray("11111111,N\0l,F\n", 15);
        const QString path = writeCsv("long.csv", line);
        CTarvexDoc doc;
        const CsvImportResult r = ImportCsvFile(settings(path), doc);
        QCOMPARE(r.total, 2);
        QCOMPARE(r.imported, 2);
        QCOMPARE(doc.FindEmployee("6300001A2B3C4D01")->FirstName.size(),
                 std::size_t(2 * 1024 * 1024));
        bool found = false;
        for (const auto& [id, e] : doc.Employees())
            found |= e.LastName == std::string("N\0l", 3);
        QVERIFY(found);
    }

    void missingFileImportsNothing() {
        CTarvexDoc doc;
        const CsvImportResult r =
            ImportCsvFile(settings(TestWorld::instance()->path("nope.csv")), doc);
        QVERIFY(!r.opened);
        QVERIFY(r.error.contains(QStringLiteral("nope.csv")));
        QCOMPARE(r.total, 0);
        QVERIFY(doc.Employees().empty());
        QVERIFY(!doc.IsModified());
        bool opened = true;
        QVERIFY(CsvFirstLineFields(TestWorld::instance()->path("nope.csv"), "windows-1252", &opened)
                    .isEmpty());
        QVERIFY(!opened);
    }

    void firstLinePreview() {
        QCOMPARE(CsvFirstLineFields(writeCsv("p1.csv", "a, b,\"c,d\"\r\nx,y\n")),
                 QStringList({"a", " b", "\"c", "d\""}));
        QCOMPARE(CsvFirstLineFields(writeCsv("p2.csv", "single\n")), QStringList({"single"}));
        QCOMPARE(CsvFirstLineFields(writeCsv("p3.csv", "\n1,2\n")), QStringList({""}));
        QCOMPARE(CsvFirstLineFields(writeCsv("p4.csv", "")), QStringList({""}));
        QCOMPARE(CsvFirstLineFields(writeCsv("p5.csv", "M\xFCller,J\xC3\xB6rg")),
                 QStringList({QString::fromUtf8("Müller"), QString::fromUtf8("Jörg")}));
    }

    // The preview reads a bounded start of the first line and offers a bounded number of its
    // fields, and says when it cut; lines within both bounds are whole.
    void firstLinePreviewIsBounded() {
        bool cut = true;
        const QByteArray fits = QByteArray(kFirstLineFields - 1, ',') + "\r\nx\n";
        QCOMPARE(CsvFirstLineFields(writeCsv("b1.csv", fits), QString(), nullptr, &cut).size(),
                 kFirstLineFields);
        QVERIFY(!cut);
        const QByteArray manyFields = QByteArray(kFirstLineFields, ',') + "\n";
        QCOMPARE(
            CsvFirstLineFields(writeCsv("b2.csv", manyFields), QString(), nullptr, &cut).size(),
            kFirstLineFields);
        QVERIFY(cut);
        // One field longer than the bytes read: its start only.
        const QByteArray exact(qsizetype(kFirstLineBytes), 'a');
        QStringList fields =
            CsvFirstLineFields(writeCsv("b3.csv", exact + "\n"), QString(), nullptr, &cut);
        QCOMPARE(fields.value(0).size(), qsizetype(kFirstLineBytes));
        QVERIFY(!cut);
        fields =
            CsvFirstLineFields(writeCsv("b4.csv", exact + "bbbb,c\n"), QString(), nullptr, &cut);
        QCOMPARE(fields, QStringList{QString::fromLatin1(exact)});
        QVERIFY(cut);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
