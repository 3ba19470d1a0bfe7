// The string table and the one formatter every catalogue text with placeholders goes through.
#include "catalogue.h"
#include "resourceids.h"
#include "testworld.h"
#include "textformat.h"

#include <QApplication>
#include <QtTest>

using namespace res;

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void formatFillsInOnePass_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("printf in turn")
            << "Total found: %d\nImported: %d" << QStringList{"12", "10"}
            << "Total found: 12\nImported: 10";
        QTest::newRow("text then number") << "%s %d" << QStringList{"Column", "3"} << "Column 3";
        QTest::newRow("positional")
            << "%2 before %1, %1 again" << QStringList{"a", "b"} << "b before a, a again";
        QTest::newRow("escaped percent") << "100%% of %s" << QStringList{"x"} << "100% of x";
        QTest::newRow("escape is not a placeholder")
            << "%%s %%d %%1" << QStringList{"x"} << "%s %d %1";
        QTest::newRow("missing printf argument")
            << "Error: %s (%d)" << QStringList{"busy"} << "Error: busy (%d)";
        QTest::newRow("missing positional argument") << "%1 in %2" << QStringList{"a"} << "a in %2";
        QTest::newRow("no arguments") << "Error %d" << QStringList{} << "Error %d";
        // Inserted texts are final: a "%1" or "%s" inside an argument is not filled again.
        QTest::newRow("%s fed text with %1")
            << "Database error:\n\n%s" << QStringList{"near \"%1\": %s, 50%%"}
            << "Database error:\n\nnear \"%1\": %s, 50%%";
        QTest::newRow("%1 fed text with %2") << "%1 in %2" << QStringList{"%2", "x"} << "%2 in x";
        QTest::newRow("printf and positional mixed")
            << "%s: %1 (%d)" << QStringList{"a", "b"} << "a: a (b)";
        QTest::newRow("lone percents")
            << "50% and %x and %0 and 5%" << QStringList{"a"} << "50% and %x and %0 and 5%";
        QTest::newRow("text outside Latin-1")
            << "%s!" << QStringList{QString::fromUtf8("Žluť")} << QString::fromUtf8("Žluť!");
    }

    void formatFillsInOnePass() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(FormatText(pattern, args), expected);
    }

    void formatStringTakesTextsAndNumbers() {
        QCOMPARE(FormatString(IDS_ERROR_CODE, 5), QStringLiteral("Error 5"));
        QCOMPARE(FormatString(IDS_ERROR_CODE, -1), QStringLiteral("Error -1"));
        QCOMPARE(FormatString(IDS_IMPORT_TOTALS, 12, qint64(10)),
                 QStringLiteral("Total found: 12\nImported: 10"));
        QCOMPARE(FormatString(IDS_ASK_TO_SAVE, "R&D %1.VR-12"),
                 QStringLiteral("Save changes to R&D %1.VR-12?"));
        QCOMPARE(
            FormatString(IDS_MRDB_FAILED, QStringLiteral("Login failed for %s")),
            QStringLiteral("Unable to open MorrowReports database.\n\nError: Login failed for %s"));
        QCOMPARE(FormatString(IDS_FILE_NOT_FOUND, "/tmp/a.VR-12"),
                 QStringLiteral("/tmp/a.VR-12\nCannot open the file."));
    }

    void catalogueHoldsTheNamedStrings() {
        const CCatalogue& cat = CCatalogue::instance();
        for (int id : {IDS_APP_TITLE,
                       IDS_IDLE_MESSAGE,
                       IDS_TOOLBAR_CAPTION,
                       IDS_TRANSFERRING,
                       IDS_ID,
                       IDS_LAST_NAME,
                       IDS_FIRST_NAME,
                       IDS_MEDIAID,
                       IDS_DATE,
                       IDS_TIME,
                       IDS_ACTION,
                       IDS_NAME,
                       IDS_COM_PORT,
                       IDS_CODE,
                       IDS_OK,
                       IDS_INVALID_MEDIAID_LENGTH,
                       IDS_NEED_FIRST_NAME,
                       IDS_NEED_LAST_NAME,
                       IDS_MEDIAID_EXISTS,
                       IDS_NEED_CONTROLLER_NAME,
                       IDS_ASK_DELETE_EMPLOYEES,
                       IDS_ASK_DELETE_CONTROLLER,
                       IDS_STILL_ACTIVE,
                       IDS_ERROR_CODE,
                       IDS_ERROR,
                       IDS_SETTINGS_CAPTION,
                       IDS_TOO_MANY_SELECTED,
                       IDS_COLUMN,
                       IDS_INCOMPLETE_SELECTION,
                       IDS_IMPORT_TXT_CAPTION,
                       IDS_NO_FILE,
                       IDS_SELECT_FILE,
                       IDS_SELECT_FILE_HINT,
                       IDS_SELECT_COLUMNS,
                       IDS_SELECT_COLUMNS_HINT,
                       IDS_MEDIA_IBUTTON,
                       IDS_MEDIA_RFCARD,
                       IDS_MEDIA_MAGCARD,
                       IDS_FILE,
                       IDS_DATABASE,
                       IDS_IMPORT_TOTALS,
                       IDS_SOURCE_CONNECT_FAILED,
                       IDS_DATABASE_ERROR,
                       IDS_NOTHING_TO_IMPORT,
                       IDS_IMPORT_DB_CAPTION,
                       IDS_CONNECT_FAILED,
                       IDS_NO_DATABASE,
                       IDS_SOURCE,
                       IDS_DESTINATION,
                       IDS_IMPORTING,
                       IDS_MRDB_FAILED,
                       IDS_PHOTODB_FAILED,
                       IDS_CLOSING,
                       IDS_READING_IDTABLE,
                       IDS_WRITING_IDTABLE,
                       IDS_RESTART_NOTICE,
                       IDS_EMPLOYEES,
                       IDS_CONTROLLERS,
                       IDS_REGISTRATIONS,
                       IDS_EMPLOYEES_IN_CONTROLLER,
                       IDS_COMPORT_EXISTS,
                       IDS_FAILED_TO_OPEN_DOC,
                       IDS_FAILED_TO_SAVE_DOC,
                       IDS_ASK_TO_SAVE,
                       IDS_FILE_NOT_FOUND,
                       IDS_FILE_END_REACHED,
                       IDS_FILE_WRITE_FAILED,
                       IDS_ALL_FILES_FILTER,
                       IDR_MAINFRAME,
                       IDR_MENU_PHOTO})
            QVERIFY2(!cat.string(id).isEmpty(), qPrintable(QString::number(id)));
        QCOMPARE(S(IDS_ERROR_CODE), QStringLiteral("Error %d"));
        QCOMPARE(S(IDS_IMPORT_TOTALS), QStringLiteral("Total found: %d\nImported: %d"));
        QCOMPARE(S(IDS_APP_TITLE), QStringLiteral("Tarvex"));
        QCOMPARE(S(IDR_MENU_PHOTO), QStringLiteral("Tarvex Photo"));
        const QStringList fields = {"Tarvex",         "New",
                                    "Tarvex",         "Tarvex Files (*.VR-12)",
                                    ".VR-12",         "Tarvex.Document",
                                    "Tarvex Document"};
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(cat.documentString(i), fields[i]);
        // Every recent-file slot has its prompt.
        for (int i = 0; i < ID_FILE_MRU_COUNT; ++i)
            QCOMPARE(cat.commandPrompt(ID_FILE_MRU_FILE1 + i),
                     QStringLiteral("Open this document"));
        QVERIFY(!cat.hasString(ID_FILE_MRU_FILE1 + ID_FILE_MRU_COUNT));
        // Pictures the program shows exist in the built-in set.
        QCOMPARE(cat.image(IDB_SPLASH).size(), QSize(430, 300));
        QCOMPARE(cat.image(IDB_NOTIFIER_SKIN).size(), QSize(100, 70));
        QCOMPARE(cat.image(IDI_TRAY).size(), QSize(16, 16));
        QCOMPARE(cat.image(IDI_TRAY_16COLOURS).size(), QSize(16, 16));
        QVERIFY(!cat.image(IDI_PROGRAM).isNull() && !cat.image(IDB_WIZARD_WATERMARK).isNull() &&
                !cat.image(IDB_WIZARD_HEADER).isNull());
        QVERIFY(cat.image(4242).isNull());
        QVERIFY(!cat.hasMenu(4242));
    }
};

TARVEX_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
