// tarvexctl history and attendance as processes on monthly files written out by hand; the
// comma-separated output read back with a parser of the test's own.
#include "appsettings.h"
#include "processrun.h"
#include "regfiles.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "workspacefile.h"

#include <QSettings>
#include <QtTest>

#include <memory>

using namespace RegFiles;

namespace {

using Rows = QList<QStringList>;

// RFC 4180 read independently of the writer: records end in CR LF, a field in double quotes
// may hold commas, line ends and doubled quotes. Anything else is a parse error.
std::optional<Rows> parseCsv(const QByteArray& utf8) {
    const QString text = QString::fromUtf8(utf8);
    Rows rows;
    QStringList row;
    QString field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == QLatin1Char('"') && field.isEmpty()) {
            ++i;
            for (;;) {
                if (i >= text.size())
                    return std::nullopt; // unterminated
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r'))
                return std::nullopt; // text after the closing quote
            continue;
        }
        if (text[i] == QLatin1Char(',')) {
            row.append(field);
            field.clear();
            ++i;
        } else if (text[i] == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n'))
                return std::nullopt; // a bare CR
            row.append(field);
            field.clear();
            rows.append(row);
            row.clear();
            i += 2;
        } else if (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\n')) {
            return std::nullopt; // a quote or a line feed in an unquoted field
        } else {
            field += text[i++];
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        return std::nullopt; // the last record has no line end
    return rows;
}

ProcessRun tarvexctl(const QStringList& args) {
    return runProgram(QStringLiteral("tarvexctl"), args);
}

QString worldPath(const QString& name) {
    return TestWorld::instance()->path(name);
}

void storeSetting(const QString& name, const QVariant& value) {
    const std::unique_ptr<QSettings> store = CAppSettings::openStore();
    store->setValue(QStringLiteral("Settings/") + name, value);
    store->sync();
}

// Names in windows-1252 with the characters CSV must quote.
QString writeWorkspace() {
    CTarvexDoc doc;
    doc.InsertEmployee("0123456789ABCDEF", {"M\xfcller, Jr.", "Anna \"Nan\""});
    doc.InsertEmployee("1111111111111111", {"Berg", "Bo\tB"});
    doc.InsertEmployee("2222222222222222", {"Adler", "Cem"});
    CTermRecord door;
    door.Name = "Main door";
    door.ID = 21;
    doc.InsertController(1, door);
    door.Name = "Yard, north";
    door.ID = 22;
    doc.InsertController(2, door);
    const QString path = worldPath("site.VR-12");
    return CWorkspaceFile::Save(doc, path).ok ? path : QString();
}

QString writeFolder() {
    const QString folder = freshFolder(worldPath("regs"));
    append(monthly(folder, "2025-02"),
           "2025-02-28 22:00:00,X1111111111111111,,1111111111111111,COM1\r\n");
    append(monthly(folder, "2025-03"),
           "2025-03-03 07:59:59,+Say \"hi\", then,Say \"hi\", then,,COM1\r\n"
           "2025-03-03 08:00:00,X0123456789ABCDEF,,0123456789ABCDEF,COM1\r\n"
           "2025-03-03 12:30:00,X0123456789ABCDEF O,O,0123456789ABCDEF,COM2\r\n"
           "2025-03-03 16:45:59,X0123456789ABCDEF,,0123456789ABCDEF,COM1\r\n"
           "2025-03-03 23:59:59,X1111111111111111,,1111111111111111,COM9\r\n"
           "2025-03-04 00:00:00,X1111111111111111,,1111111111111111,COM2\r\n"
           "2025-03-04 00:00:30,XEEEEEEEEEEEEEEEE,,EEEEEEEEEEEEEEEE,COM2\r\n"
           "2025-03-04 00:01:00,X2222222222222222M,M,2222222222222222,COM1\r\n"
           "2025-03-05 09:00:00,+T\xfcr,T\xfcr,,COM1\r\n");
    return folder;
}

QByteArray count(const QStringList& args) {
    const ProcessRun r = tarvexctl(QStringList{"history", "--count"} + args);
    return r.exitCode == 0 ? r.out : "exit " + QByteArray::number(r.exitCode) + ": " + r.err;
}

} // namespace

class TestHistoryCtl : public QObject {
    Q_OBJECT

    QString m_folder;
    QString m_workspace;

private slots:
    void initTestCase() {
        storeSetting(QStringLiteral("CodePage"), QStringLiteral("1252"));
        m_folder = writeFolder();
        m_workspace = writeWorkspace();
        QVERIFY(!m_workspace.isEmpty());
    }

    void historyAsCsv() {
        const ProcessRun r =
            tarvexctl({"history", "--folder", m_folder, "--workspace", m_workspace, "--csv"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        const std::optional<Rows> rows = parseCsv(r.out);
        QVERIFY2(rows, r.out.constData());
        const Rows expected = {
            {"date", "time", "com_port", "controller", "media_id", "last_name", "first_name",
             "action", "message"},
            {"2025-02-28", "22:00:00", "1", "Main door", "1111111111111111", "Berg", "Bo\tB", "",
             "X1111111111111111"},
            {"2025-03-03", "07:59:59", "1", "Main door", "", "", "", "Say \"hi\", then",
             "+Say \"hi\", then"},
            {"2025-03-03", "08:00:00", "1", "Main door", "0123456789ABCDEF",
             QString::fromUtf8("Müller, Jr."), "Anna \"Nan\"", "", "X0123456789ABCDEF"},
            {"2025-03-03", "12:30:00", "2", "Yard, north", "0123456789ABCDEF",
             QString::fromUtf8("Müller, Jr."), "Anna \"Nan\"", "O", "X0123456789ABCDEF O"},
            {"2025-03-03", "16:45:59", "1", "Main door", "0123456789ABCDEF",
             QString::fromUtf8("Müller, Jr."), "Anna \"Nan\"", "", "X0123456789ABCDEF"},
            // A port no longer in the workspace is shown as its port.
            {"2025-03-03", "23:59:59", "9", "COM9", "1111111111111111", "Berg", "Bo\tB", "",
             "X1111111111111111"},
            {"2025-03-04", "00:00:00", "2", "Yard, north", "1111111111111111", "Berg", "Bo\tB", "",
             "X1111111111111111"},
            {"2025-03-04", "00:00:30", "2", "Yard, north", "EEEEEEEEEEEEEEEE", "", "", "",
             "XEEEEEEEEEEEEEEEE"},
            {"2025-03-04", "00:01:00", "1", "Main door", "2222222222222222", "Adler", "Cem", "M",
             "X2222222222222222M"},
            {"2025-03-05", "09:00:00", "1", "Main door", "", "", "", QString::fromUtf8("Tür"),
             QString::fromUtf8("+Tür")}};
        QCOMPARE(*rows, expected);
    }

    void historyAsTabsAndWithoutAWorkspace() {
        ProcessRun r = tarvexctl(
            {"history", "--folder", m_folder, "--workspace", m_workspace, "--match", "berg"});
        QCOMPARE(r.exitCode, 0);
        // No header; a tab inside a field is written as an escape.
        QCOMPARE(r.out, QByteArray("2025-02-28\t22:00:00\t1\tMain door\t1111111111111111\tBerg\t"
                                   "Bo\\tB\t\tX1111111111111111\n"
                                   "2025-03-03\t23:59:59\t9\tCOM9\t1111111111111111\tBerg\t"
                                   "Bo\\tB\t\tX1111111111111111\n"
                                   "2025-03-04\t00:00:00\t2\tYard, north\t1111111111111111\tBerg\t"
                                   "Bo\\tB\t\tX1111111111111111\n"));

        // Without a workspace no names, and every controller is its port.
        r = tarvexctl({"history", "--folder", m_folder, "--port", "2"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out,
                 QByteArray(
                     "2025-03-03\t12:30:00\t2\tCOM2\t0123456789ABCDEF\t\t\tO\tX0123456789ABCDEF O\n"
                     "2025-03-04\t00:00:00\t2\tCOM2\t1111111111111111\t\t\t\tX1111111111111111\n"
                     "2025-03-04\t00:00:30\t2\tCOM2\tEEEEEEEEEEEEEEEE\t\t\t\tXEEEEEEEEEEEEEEEE\n"));
    }

    void filtersAndCount() {
        const QStringList f = {"--folder", m_folder};
        const QStringList w = f + QStringList{"--workspace", m_workspace};
        QCOMPARE(count(f), QByteArray("10\n"));
        // --to without a time takes in its whole day; with one, its whole minute.
        QCOMPARE(count(f + QStringList{"--from", "2025-03-03", "--to", "2025-03-03"}),
                 QByteArray("5\n"));
        QCOMPARE(count(f + QStringList{"--to", "2025-03-03T16:45"}), QByteArray("5\n"));
        QCOMPARE(count(f + QStringList{"--to", "2025-03-03T16:44"}), QByteArray("4\n"));
        QCOMPARE(count(f + QStringList{"--from", "2025-03-04T00:01"}), QByteArray("2\n"));
        QCOMPARE(count(f + QStringList{"--port", "1", "--port", "9"}), QByteArray("7\n"));
        QCOMPARE(count(f + QStringList{"--persons"}), QByteArray("7\n"));
        QCOMPARE(count(f + QStringList{"--match", "0123456789abcdef"}), QByteArray("3\n"));
        QCOMPARE(count(w + QStringList{"--match", QString::fromUtf8("MÜLLER")}), QByteArray("3\n"));
        QCOMPARE(count(w + QStringList{"--unknown"}), QByteArray("1\n"));
        QCOMPARE(count(w + QStringList{"--unknown", "--port", "1"}), QByteArray("0\n"));
        QCOMPARE(count(w + QStringList{"--persons", "--port", "1", "--from", "2025-03-01",
                                       "--match", "anna"}),
                 QByteArray("2\n"));
        // --csv does not change a count.
        QCOMPARE(count(f + QStringList{"--csv"}), QByteArray("10\n"));
    }

    void attendance() {
        ProcessRun r =
            tarvexctl({"attendance", "--folder", m_folder, "--workspace", m_workspace, "--csv"});
        QCOMPARE(r.exitCode, 0);
        const std::optional<Rows> rows = parseCsv(r.out);
        QVERIFY2(rows, r.out.constData());
        const Rows expected = {
            {"date", "media_id", "last_name", "first_name", "first_in", "last_out", "span",
             "count"},
            {"2025-02-28", "1111111111111111", "Berg", "Bo\tB", "22:00:00", "22:00:00", "0:00",
             "1"},
            {"2025-03-03", "1111111111111111", "Berg", "Bo\tB", "23:59:59", "23:59:59", "0:00",
             "1"},
            {"2025-03-03", "0123456789ABCDEF", QString::fromUtf8("Müller, Jr."), "Anna \"Nan\"",
             "08:00:00", "16:45:59", "8:45", "3"},
            // Across midnight, a day of its own; the unknown medium (no name) first; the
            // master's "M" is no one's attendance.
            {"2025-03-04", "EEEEEEEEEEEEEEEE", "", "", "00:00:30", "00:00:30", "0:00", "1"},
            {"2025-03-04", "1111111111111111", "Berg", "Bo\tB", "00:00:00", "00:00:00", "0:00",
             "1"}};
        QCOMPARE(*rows, expected);

        r = tarvexctl({"attendance", "--folder", m_folder, "--from", "2025-03-03", "--to",
                       "2025-03-03", "--port", "1"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out,
                 QByteArray("2025-03-03\t0123456789ABCDEF\t\t\t08:00:00\t16:45:59\t8:45\t2\n"));
        r = tarvexctl({"attendance", "--folder", m_folder, "--count"});
        QCOMPARE(r.out, QByteArray("5\n"));
    }

    void damagedLinesAreCountedOnStderr() {
        const QString folder = freshFolder(worldPath("damaged"));
        append(monthly(folder, "2025-01"), "2025-01-02 08:00:00,+OK,OK,,COM1\r\n"
                                           "2025-01-02 08:00:0");
        append(monthly(folder, "2025-02"), "junk\r\n2025-02-02 08:00:00,+OK,OK,,COM1\r\n");
        ProcessRun r = tarvexctl({"history", "--folder", folder, "--count"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("2\n"));
        QCOMPARE(r.err, QByteArray("tarvexctl: 2 damaged lines skipped\n"));

        // The newest file's last line cut short: skipped and said so, the control may be
        // writing it.
        append(monthly(folder, "2025-02"), "2025-02-02 08:00:0");
        r = tarvexctl({"attendance", "--folder", folder});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray("tarvexctl: 3 damaged lines skipped\n"));

        const QString one = freshFolder(worldPath("onedamaged"));
        append(monthly(one, "2025-01"), "\x01\x02\r\n2025-01-02 08:00:00,+OK,OK,,COM1\r\n");
        r = tarvexctl({"history", "--folder", one});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray("tarvexctl: 1 damaged line skipped\n"));
    }

    void defaultFolderIsTheRegFilePathSetting() {
        storeSetting(QStringLiteral("RegFilePath"), m_folder);
        const ProcessRun r = tarvexctl({"history", "--count"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("10\n"));
        storeSetting(QStringLiteral("RegFilePath"), worldPath("nowhere"));
        QCOMPARE(tarvexctl({"attendance"}).exitCode, 1);
    }

    void failures() {
        const QString empty = freshFolder(worldPath("empty"));
        append(empty + QStringLiteral("/notes.txt"), "2025-01-02 08:00:00,+OK,OK,,COM1\r\n");
        const QList<std::tuple<QStringList, int, QByteArray>> runs = {
            {{"history", "--folder", worldPath("missing")},
             1,
             "tarvexctl: " + worldPath("missing").toUtf8() + ": no such folder\n"},
            {{"attendance", "--folder", empty},
             1,
             "tarvexctl: " + empty.toUtf8() +
                 ": no registrations files (TarvexRegs-YYYY-MM.txt)\n"},
            {{"history", "--folder", m_folder, "--workspace", worldPath("absent.VR-12")}, 1, ""},
            {{"history", "--folder", m_folder, "--unknown"},
             2,
             "tarvexctl: --unknown needs --workspace"},
            {{"attendance", "--folder", m_folder, "--unknown", "--count"},
             2,
             "tarvexctl: --unknown needs --workspace"},
            {{"history", "--from", "2025-3-1"},
             2,
             "tarvexctl: --from needs YYYY-MM-DD or YYYY-MM-DDTHH:MM\n"},
            {{"history", "--to", "2025-02-30"},
             2,
             "tarvexctl: --to needs YYYY-MM-DD or YYYY-MM-DDTHH:MM\n"},
            {{"history", "--to", "2025-02-03T24:00"}, 2, "tarvexctl: --to needs"},
            {{"history", "--from", "2025-02-03 08:00"}, 2, "tarvexctl: --from needs"},
            {{"history", "--port", "0"}, 2, "tarvexctl: --port needs a COM port number"},
            {{"history", "--port", "256"}, 2, "tarvexctl: --port needs a COM port number"},
            {{"history", "--port"}, 2, "tarvexctl: option '--port' needs a value\n"},
            {{"attendance", "--frob"}, 2, "tarvexctl: unknown option '--frob'\n"},
            {{"history", "extra"}, 2, "tarvexctl: unexpected argument 'extra'\n"}};
        for (const auto& [args, status, err] : runs) {
            const ProcessRun r = tarvexctl(args);
            QVERIFY2(r.exitCode == status, qPrintable(args.join(' ') + ": " + r.err));
            QVERIFY2(r.err.startsWith(err), r.err.constData());
            QVERIFY(r.out.isEmpty());
        }
    }

    void helpNamesBothCommands() {
        for (const QStringList& args : {QStringList{"--help"}, QStringList{"history", "--help"},
                                        QStringList{"attendance", "--help"}}) {
            const ProcessRun r = tarvexctl(args);
            QCOMPARE(r.exitCode, 0);
            QVERIFY(r.out.contains("  tarvexctl history [--folder DIR] [--workspace FILE.VR-12]"));
            QVERIFY(r.out.contains("  tarvexctl attendance "));
        }
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHistoryCtl)
#include "tst_historyctl.moc"
