#include "appsettings.h"
#include "dbfixture.h"
#include "processrun.h"
#include "testworld.h"
#include "workspacebytes.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using namespace WorkspaceBytes;

using Run = ProcessRun;

Run tarvexctl(const QStringList& args) {
    return runProgram(QStringLiteral("tarvexctl"), args);
}

} // namespace

class TestTarvexctl : public QObject {
    Q_OBJECT

    QString path(const QString& name) { return TestWorld::instance()->path(name); }

private slots:
    void normalize() {
        Run r = tarvexctl({"normalize", "1a2b3c4d", "00001A2B3C4D44", "6300001A2B3C4D01",
                           "6400001A2B3C4D01", "\"1a2b3c4d\"", ""});
        // The refused ones say why on stderr, after the others are printed, and fail the run.
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray("6300001A2B3C4D01\n6D00001A2B3C4D44\n6300001A2B3C4D01\n"));
        QCOMPARE(r.err,
                 QByteArray("tarvexctl: '6400001A2B3C4D01': The check byte 64 is wrong; the number "
                            "calls for 63.\n"
                            "tarvexctl: '\"1a2b3c4d\"': A media ID has 8, 14 or 16 characters; "
                            "this one has 10.\n"
                            "tarvexctl: '': A media ID has 8, 14 or 16 characters; this one has "
                            "0.\n"));
        r = tarvexctl({"normalize", "--media-type", "rf", "1a2b3c4d"});
        QCOMPARE(r.out, QByteArray("6D00001A2B3C4D44\n"));
        r = tarvexctl({"normalize", "--media-type", "magnetic", "1a2b3c4d"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.endsWith("00001A2B3C4D02\n"));
        QCOMPARE(tarvexctl({"normalize", "--media-type", "card", "1a2b3c4d"}).exitCode, 2);
        QCOMPARE(tarvexctl({"normalize"}).exitCode, 2);
        QCOMPARE(tarvexctl({"frobnicate"}).exitCode, 2);
    }

    // The printed forms: each value's MediaID worked out by hand. 439041101 = 0x1A2B3C4D
    // (26*16777216 + 43*65536 + 60*256 + 77), an RF card, check byte 6D; 12345 = 0x3039,
    // check byte CC; 123*65536 + 45678 = 0x7BB26E, check byte 13.
    void normalizePrintedForms() {
        Run r = tarvexctl({"normalize", "--form", "decimal", "439041101", "12345"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("6D00001A2B3C4D44\nCC00000000303944\n"));
        QVERIFY(r.err.isEmpty());
        r = tarvexctl(
            {"normalize", "--form", "w26", "--type", "rf", "123,45678", "256,1", "123/45678"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray("130000007BB26E44\n130000007BB26E44\n"));
        QCOMPARE(r.err, QByteArray("tarvexctl: '256,1': The facility code 256 is not between 0 "
                                   "and 255.\n"));
        r = tarvexctl({"normalize", "--form", "decimal", "4294967296", "--", "-1"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err, QByteArray("tarvexctl: '4294967296': 4294967296 is larger than "
                                   "4294967295, the largest card number.\n"
                                   "tarvexctl: '--': \"-\" is not a decimal digit.\n"
                                   "tarvexctl: '-1': \"-\" is not a decimal digit.\n"));
        // hex is the default and today's rule; --type gives 8 characters' family.
        r = tarvexctl({"normalize", "--form", "hex", "--type", "rf", "1a2b3c4d"});
        QCOMPARE(r.out, QByteArray("6D00001A2B3C4D44\n"));
        r = tarvexctl({"normalize", "--type", "ibutton", "1a2b3c4d"});
        QCOMPARE(r.out, QByteArray("6300001A2B3C4D01\n"));
        // decimal and w26 are RF cards only; unknown words are wrong usage.
        for (const QStringList& wrong :
             {QStringList{"normalize", "--form", "decimal", "--type", "ibutton", "1"},
              QStringList{"normalize", "--form", "octal", "1"},
              QStringList{"normalize", "--type", "magnetic", "1a2b3c4d"},
              QStringList{"normalize", "--form"}}) {
            r = tarvexctl(wrong);
            QCOMPARE(r.exitCode, 2);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.contains("usage: tarvexctl normalize [--form hex|decimal|w26]"),
                     r.err.constData());
        }
    }

    // A list of printed card numbers imports as it stands.
    void importPrintedNumbers() {
        const QString csv = path("cards.csv");
        writeBytes(csv, "Doe,439041101,Jane\nRoe,4294967296,Too big\nPoe,12345,Ed\n"
                        "Moe,123/45678,Wiegand\n");
        const QString ws = path("cards.VR-12");
        const QStringList columns = {"--mediaid", "1", "--lastname", "0", "--firstname", "2"};
        Run r = tarvexctl(QStringList{"import-csv", ws, csv, "--media-form", "decimal"} + columns);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 4\nImported: 2\n"));
        r = tarvexctl(QStringList{"import-csv", ws, csv, "--media-form", "w26"} + columns);
        QCOMPARE(r.out, QByteArray("Total found: 4\nImported: 1\n"));
        r = tarvexctl({"show", ws});
        QVERIFY2(r.out.startsWith("{\"employees\":[{\"mediaId\":\"130000007BB26E44\",\"lastName\":"
                                  "\"Moe\""),
                 r.out.constData());
        QVERIFY(r.out.contains("{\"mediaId\":\"6D00001A2B3C4D44\",\"lastName\":\"Doe\""));
        QVERIFY(r.out.contains("{\"mediaId\":\"CC00000000303944\",\"lastName\":\"Poe\""));
        QVERIFY(!r.out.contains("Too big"));
        QCOMPARE(
            tarvexctl(QStringList{"import-csv", ws, csv, "--media-form", "bcd"} + columns).exitCode,
            2);
        QCOMPARE(tarvexctl(QStringList{"import-csv", ws, csv, "--media-form", "decimal",
                                       "--media-type", "magnetic"} +
                           columns)
                     .exitCode,
                 2);

        // An integer column of printed numbers in a database.
        const QString error =
            runStatements("cards.db", {"create table cards(num integer, last text, first text)",
                                       "insert into cards values(439041101, 'Doe', 'Jane')",
                                       "insert into cards values(12345, 'Poe', 'Ed')"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString db = path("cards-db.VR-12");
        r = tarvexctl({"import-db", db, "--connect",
                       TestWorld::instance()->sqliteConnection("cards.db"), "--table", "cards",
                       "--mediaid", "num", "--lastname", "last", "--firstname", "first",
                       "--media-form", "decimal"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 2\nImported: 2\n"));
        r = tarvexctl({"show", db});
        QVERIFY(r.out.contains("{\"mediaId\":\"6D00001A2B3C4D44\",\"lastName\":\"Doe\""));
        QVERIFY(r.out.contains("{\"mediaId\":\"CC00000000303944\",\"lastName\":\"Poe\""));
    }

    void helpVersionAndWrongWords() {
        for (const QStringList& args : {QStringList{"--help"}, QStringList{"show", "--help"}}) {
            const Run r = tarvexctl(args);
            QCOMPARE(r.exitCode, 0);
            QVERIFY(r.out.startsWith("Usage:\n"));
            for (const char* command : {"show", "resave", "normalize", "import-csv", "import-db",
                                        "add-controller", "query", "collect", "report"})
                QVERIFY(r.out.contains(QByteArray("  tarvexctl ") + command + ' '));
            QVERIFY(r.err.isEmpty());
        }
        Run r = tarvexctl({"--version"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("tarvexctl 3.0.0 (build 5)\n"));

        const QList<QPair<QStringList, QByteArray>> wrong = {
            {{"frobnicate"}, "unknown command 'frobnicate'"},
            {{"--frob"}, "unknown option '--frob'"},
            {{"show", "--frob", "x.VR-12"}, "unknown option '--frob'"},
            {{"show", "a.VR-12", "b.VR-12"}, "unexpected argument 'b.VR-12'"},
            {{"show", "a.VR-12", "--codepage"}, "option '--codepage' needs a value"},
            {{"resave", "a", "b", "c"}, "unexpected argument 'c'"},
            {{"resave", "-x", "a", "b"}, "unknown option '-x'"},
            {{"normalize", "--media-type"}, "option '--media-type' needs a value"},
            {{"normalize", "--kind", "x"}, "unknown option '--kind'"},
            {{"import-csv", "a", "b", "--mediaid"}, "option '--mediaid' needs a value"},
            {{"import-csv", "a", "b", "--column", "1"}, "unknown option '--column'"},
            {{"import-db", "a", "--table"}, "option '--table' needs a value"},
            {{"import-db", "a", "--dsn", "x"}, "unknown option '--dsn'"},
            {{"add-controller", "a", "--port", "1", "--colour", "red"},
             "unknown option '--colour'"},
            {{"query", "--dsn", "SELECT 1"}, "unknown option '--dsn'"}};
        for (const auto& [args, named] : wrong) {
            r = tarvexctl(args);
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.startsWith("tarvexctl: " + named + '\n'), r.err.constData());
            QVERIFY(r.out.isEmpty());
        }
    }

    void showPrintsJsonInKeyOrder() {
        const QByteArray bytes =
            kHeader + int32(2) + text("B100000000000001") + text("J\xF6rg") + text("M\xFCller") +
            text("A100000000000001") + text("\"q\"") + text("back\\slash\ttab") + int32(2) +
            int32(10) + int32(5) + int32(6) + text("Door") + int32(1) + int32(2) +
            text("A100000000000001") + text("slash\\ \"q\"") + text("FW 1.0") + int32(2) +
            text("B100000000000001") + text("01") + text("A100000000000001") + text("00") +
            int32(9) + int32(-1) + int32(65535) + text("") + int32(0) + int32(0) + text("") +
            text("") + text("") + int32(0);
        writeBytes(path("show.VR-12"), bytes);
        Run r = tarvexctl({"show", path("show.VR-12")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(
            QString::fromUtf8(r.out),
            QString::fromUtf8("{\"employees\":[{\"mediaId\":\"A100000000000001\",\"lastName\":"
                              "\"back\\\\slash\\ttab\",\"firstName\":\"\\\"q\\\"\"},"
                              "{\"mediaId\":\"B100000000000001\",\"lastName\":\"Müller\","
                              "\"firstName\":\"Jörg\"}],"
                              "\"controllers\":[{\"comPort\":9,\"id\":-1,\"code\":65535,\"name\":"
                              "\"\",\"relay1Time\":0,\"relay2Time\":0,\"master\":\"\","
                              "\"masterName\":\"\",\"firmware\":\"\",\"idTable\":[]},"
                              "{\"comPort\":10,\"id\":5,\"code\":6,\"name\":\"Door\","
                              "\"relay1Time\":1,\"relay2Time\":2,\"master\":\"A100000000000001\","
                              "\"masterName\":\"slash\\\\ \\\"q\\\"\",\"firmware\":\"FW 1.0\","
                              "\"idTable\":[{\"mediaId\":\"A100000000000001\",\"slot\":\"00\"},{"
                              "\"mediaId\":\"B100000000000001\",\"slot\":\"01\"}]}]}"
                              "\n"));
    }

    void showDecodesThroughTheCodePage() {
        writeBytes(path("cyr.VR-12"),
                   kHeader + int32(1) + text("E") + text("\xC6") + text("\xEA") + int32(0));
        Run r = tarvexctl({"show", "--codepage", "CP1251", path("cyr.VR-12")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(
            r.out.contains(QString::fromUtf8("\"lastName\":\"к\",\"firstName\":\"Ж\"").toUtf8()));

        // Without --codepage the desktop program's setting applies.
        CAppSettings settings;
        settings.CodePage = "CP1251";
        settings.save(*std::unique_ptr<QSettings>(CAppSettings::openStore()));
        r = tarvexctl({"show", path("cyr.VR-12")});
        QVERIFY(r.out.contains(QString::fromUtf8("\"lastName\":\"к\"").toUtf8()));
        std::unique_ptr<QSettings>(CAppSettings::openStore())->clear();
        r = tarvexctl({"show", path("cyr.VR-12")});
        QVERIFY(r.out.contains(QString::fromUtf8("\"lastName\":\"ê\"").toUtf8()));

        QCOMPARE(tarvexctl({"show", "--codepage", "no-such", path("cyr.VR-12")}).exitCode, 2);
    }

    // The same words as the desktop program's message, naming the file and what was found.
    void foreignAndNewerFilesAreRefused() {
        writeBytes(path("v3.VR-12"), text("Tarvex") + int32(3) + int32(1));
        writeBytes(path("notes.VR-12"), "important notes");
        const QList<QPair<QString, QString>> cases = {
            {path("v3.VR-12"), " was written by version 3 of the workspace format"},
            {path("notes.VR-12"), " is not a Tarvex workspace."}};
        for (const auto& [file, found] : cases) {
            const QByteArray before = fileBytes(file);
            const QByteArray expected = "tarvexctl: " + (file + found).toLocal8Bit();
            Run r = tarvexctl({"show", file});
            QCOMPARE(r.exitCode, 1);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.startsWith(expected), r.err.constData());
            r = tarvexctl({"resave", file, path("never.VR-12")});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.startsWith(expected), r.err.constData());
            QVERIFY(!QFile::exists(path("never.VR-12")));
            // Nor is one changed in place.
            r = tarvexctl({"add-controller", file, "--port", "1"});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.startsWith(expected), r.err.constData());
            QCOMPARE(fileBytes(file), before);
        }
    }

    void showFailures() {
        writeBytes(path("cut.VR-12"), kHeader + int32(1) + text("ABC"));
        Run r;
        for (const QString& file : {path("cut.VR-12"), path("missing.VR-12")}) {
            r = tarvexctl({"show", file});
            QCOMPARE(r.exitCode, 1);
            QVERIFY(r.out.isEmpty());
            QCOMPARE(r.err.count('\n'), 1);
            QVERIFY(r.err.endsWith('\n'));
        }
        QCOMPARE(tarvexctl({"show"}).exitCode, 2);
    }

    void resave() {
        // Long prefix forms in, shortest forms out.
        writeBytes(path("in.VR-12"), kHeader + int32(1) + text("E") +
                                         QByteArray::fromHex("ffffff01000000") + "F" +
                                         QByteArray::fromHex("ff0100") + "L" + int32(0));
        Run r = tarvexctl({"resave", path("in.VR-12"), path("out.VR-12")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(fileBytes(path("out.VR-12")),
                 kHeader + int32(1) + text("E") + text("F") + text("L") + int32(0));

        writeBytes(path("bad.VR-12"), kHeader + int32(5));
        r = tarvexctl({"resave", path("bad.VR-12"), path("never.VR-12")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFile::exists(path("never.VR-12")));
        r = tarvexctl({"resave", path("missing.VR-12"), path("never.VR-12")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFile::exists(path("never.VR-12")));
    }

    // Saving onto a device or pipe would replace it with a plain file (as root even in /dev).
    void resaveRefusesWhatIsNotARegularFile() {
        writeBytes(path("good.VR-12"), kHeader + int32(0) + int32(0));
        const QString fifo = path("fifo.VR-12");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QStringList targets = {fifo};
        const QString device = path("full.VR-12");
        // The full device's numbers; making the node needs root.
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0)
            targets << device;
        for (const QString& target : targets) {
            struct stat before {};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &before), 0);
            const Run r = tarvexctl({"resave", path("good.VR-12"), target});
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(r.err, "tarvexctl: " + target.toLocal8Bit() +
                                " is not a regular file. The workspace was not saved.\n");
            struct stat after {};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &after), 0);
            QCOMPARE(after.st_mode, before.st_mode);
            QCOMPARE(after.st_rdev, before.st_rdev);
        }
        if (targets.size() == 1)
            QSKIP("device node not tried (not root)");
    }

    void importCsv() {
        const QString csv = path("staff.csv");
        writeBytes(csv,
                   "Name,Id,First\r\nDoe,1a2b3c4d,Jane\r\n\r\nRoe,1A2B3C4D,Dup\nPoe,11111111,Ed");
        const QString ws = path("import/new.VR-12");
        QDir(TestWorld::instance()->root()).mkpath("import");
        const QStringList columns = {"--mediaid", "1", "--lastname", "0", "--firstname", "2"};
        Run r = tarvexctl(QStringList{"import-csv", ws, csv} + columns);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 5\nImported: 2\n"));
        r = tarvexctl({"show", ws});
        QVERIFY(r.out.startsWith("{\"employees\":[{\"mediaId\":\"6300001A2B3C4D01\",\"lastName\":"
                                 "\"Doe\",\"firstName\":\"Jane\"},"));

        r = tarvexctl(QStringList{"import-csv", ws, csv, "--media-type", "rf"} + columns);
        QCOMPARE(r.out, QByteArray("Total found: 5\nImported: 2\n"));
        r = tarvexctl(QStringList{"import-csv", ws, csv, "--media-type", "rf"} + columns);
        QCOMPARE(r.out, QByteArray("Total found: 5\nImported: 0\n"));
    }

    // The wizard's database import on a schedule: names with blanks, an integer card column.
    void importDb() {
        const QString error = runStatements(
            "hr.db", {"create table \"HR People\"(\"Badge\" integer, \"Sur Name\" text, first "
                      "text)",
                      "insert into \"HR People\" values(12345678, 'Doe', 'Jane')",
                      "insert into \"HR People\" values(12345678, 'Doe', 'Again')",
                      "insert into \"HR People\" values(87654321, NULL, 'Ed')",
                      "create table nobody(a text, b text, c text)"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString ws = path("hr.VR-12");
        const QStringList args = {"import-db",   ws,
                                  "--connect",   TestWorld::instance()->sqliteConnection("hr.db"),
                                  "--table",     "HR People",
                                  "--mediaid",   "Badge",
                                  "--lastname",  "Sur Name",
                                  "--firstname", "first"};
        Run r = tarvexctl(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 3\nImported: 2\n"));
        r = tarvexctl({"show", ws});
        QVERIFY2(r.out.contains("\"lastName\":\"Doe\",\"firstName\":\"Jane\""), r.out.constData());
        r = tarvexctl(args + QStringList{"--media-type", "rf"});
        QCOMPARE(r.out, QByteArray("Total found: 3\nImported: 2\n"));
        r = tarvexctl(args + QStringList{"--media-type", "rf"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 3\nImported: 0\n"));

        QStringList other = args;
        other[5] = "nobody";
        r = tarvexctl(other);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith("tarvexctl: Database error:\n\nQuery = select Badge, \"Sur "
                                  "Name\", first from nobody\n"),
                 r.err.constData());
        other[7] = "a";
        other[9] = "b";
        other[11] = "c";
        r = tarvexctl(other);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Nothing to import.\n"));
        other = args;
        other[3] = TestWorld::instance()->sqliteConnection("absent.db");
        r = tarvexctl(other);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.startsWith("tarvexctl: Unable to connect to source database.\n"));
        QCOMPARE(tarvexctl(args.mid(0, 6)).exitCode, 2);
    }

    void importCsvFailures() {
        const QString csv = path("one.csv");
        writeBytes(csv, "1a2b3c4d,Doe,Jane\n");
        const QStringList columns = {"--mediaid", "0", "--lastname", "1", "--firstname", "2"};

        // A missing text file creates no workspace.
        Run r = tarvexctl(QStringList{"import-csv", path("w1.VR-12"), path("none.csv")} + columns);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFile::exists(path("w1.VR-12")));

        // A file that is not a workspace is not overwritten.
        writeBytes(path("notes.txt"), "important notes");
        r = tarvexctl(QStringList{"import-csv", path("notes.txt"), csv} + columns);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(fileBytes(path("notes.txt")), QByteArray("important notes"));
        writeBytes(path("v3.VR-12"), text("Tarvex") + int32(3));
        r = tarvexctl(QStringList{"import-csv", path("v3.VR-12"), csv} + columns);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(fileBytes(path("v3.VR-12")), text("Tarvex") + int32(3));

        QCOMPARE(tarvexctl({"import-csv", path("w2.VR-12"), csv, "--mediaid", "0"}).exitCode, 2);
        QCOMPARE(tarvexctl(QStringList{"import-csv", path("w2.VR-12"), csv, "--mediaid", "-1",
                                       "--lastname", "1", "--firstname", "2"})
                     .exitCode,
                 2);
        QVERIFY(!QFile::exists(path("w2.VR-12")));
    }

    void addController() {
        const QString ws = path("site.VR-12");
        QCOMPARE(tarvexctl({"add-controller", ws, "--port", "10", "--name", "Gate", "--id", "7",
                            "--code", "3", "--relay1", "2"})
                     .exitCode,
                 0);
        QCOMPARE(tarvexctl({"add-controller", ws, "--port", "9", "--name", "Door"}).exitCode, 0);
        const QByteArray before = fileBytes(ws);
        // The port is the key: a second controller on it changes nothing.
        QCOMPARE(tarvexctl({"add-controller", ws, "--port", "9", "--name", "Other"}).exitCode, 1);
        QCOMPARE(fileBytes(ws), before);
        for (const QStringList& bad :
             {QStringList{"--port", "0"}, QStringList{"--port", "256"},
              QStringList{"--port", "3", "--relay2", "8"}, QStringList{"--name", "NoPort"}})
            QCOMPARE(tarvexctl(QStringList{"add-controller", ws} + bad).exitCode, 2);
        QCOMPARE(fileBytes(ws), before);

        const Run r = tarvexctl({"show", ws});
        QVERIFY(r.out.contains("{\"comPort\":9,\"id\":0,\"code\":0,\"name\":\"Door\""));
        QVERIFY(r.out.indexOf("\"comPort\":9") < r.out.indexOf("\"comPort\":10"));
        QVERIFY(r.out.contains("\"id\":7,\"code\":3,\"name\":\"Gate\",\"relay1Time\":2"));
    }

    void textGoesInThroughTheCodePage() {
        const QString csv = path("polish.csv");
        writeBytes(csv, "1a2b3c4d,\xC5\x81ukasz,\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\n"
                        "11111111,\xD0\x96uk,Ok\n");
        const QStringList columns = {"--mediaid", "0", "--lastname", "1", "--firstname", "2"};
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brindlo", "Tarvex").clear();
        // The commands run in the locale set here.
        struct Locale {
            QByteArray saved = qgetenv("LC_ALL");
            bool wasSet = qEnvironmentVariableIsSet("LC_ALL");
            void set(const char* name) { qputenv("LC_ALL", name); }
            ~Locale() {
                if (wasSet)
                    qputenv("LC_ALL", saved);
                else
                    qunsetenv("LC_ALL");
            }
        } locale;
        locale.set("C.UTF-8");
        const auto lastNameOfFirst = [&](const QString& ws, const QString& codePage) {
            const Run shown = tarvexctl({"show", "--codepage", codePage, ws});
            const qsizetype at = shown.out.indexOf("\"lastName\":\"");
            return at < 0 ? QByteArray()
                          : shown.out.mid(at + 12, shown.out.indexOf('"', at + 12) - at - 12);
        };

        // A bare number names the code page; what it cannot hold is reported once, with the
        // count and the first example.
        Run r = tarvexctl(QStringList{"import-csv", path("cp1.VR-12"), csv, "--codepage", "1250"} +
                          columns);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Total found: 2\nImported: 2\n"));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains(QString::fromUtf8("1 character cannot be stored in code page "
                                                  "windows-1250 and became \"?\", the first: "
                                                  "\"Ж\" in \"Жuk\"")
                                    .toUtf8()),
                 r.err.constData());
        QCOMPARE(lastNameOfFirst(path("cp1.VR-12"), "CP1250"),
                 QString::fromUtf8("Łukasz").toUtf8());

        // Nothing lost, nothing said.
        writeBytes(csv, "1a2b3c4d,\xC5\x81ukasz,\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\n");
        r = tarvexctl(
            QStringList{"import-csv", path("cp2.VR-12"), csv, "--codepage", "windows-1250"} +
            columns);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());

        // With neither option nor setting the locale's language decides.
        locale.set("pl_PL.UTF-8");
        r = tarvexctl(QStringList{"import-csv", path("cp3.VR-12"), csv} + columns);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QCOMPARE(lastNameOfFirst(path("cp3.VR-12"), "1250"), QString::fromUtf8("Łukasz").toUtf8());
        locale.set("C.UTF-8");
        r = tarvexctl(QStringList{"import-csv", path("cp4.VR-12"), csv} + columns);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("4 characters cannot be stored in code page windows-1252"),
                 r.err.constData());

        // Typed names are checked the same way.
        r = tarvexctl({"add-controller", path("cp5.VR-12"), "--port", "3", "--name",
                       QString::fromUtf8("Brama Łódź"), "--codepage", "1252"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(QString::fromUtf8("2 characters cannot be stored in code page "
                                                  "windows-1252 and became \"?\", the first: "
                                                  "\"Ł\" in \"Brama Łódź\"")
                                    .toUtf8()),
                 r.err.constData());
        r = tarvexctl({"add-controller", path("cp6.VR-12"), "--port", "3", "--name",
                       QString::fromUtf8("Brama Łódź"), "--codepage", "CP1250"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QVERIFY(tarvexctl({"show", "--codepage", "1250", path("cp6.VR-12")})
                    .out.contains(QString::fromUtf8("\"name\":\"Brama Łódź\"").toUtf8()));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestTarvexctl)
#include "tst_tarvexctl.moc"
