// Reading the monthly registrations files: the line format as the control writes it, damage
// skipped and counted, a line still being written, a change of month, a file appended to
// while it is read, and the follower that keeps up without holding a file open.
#include "historyfollower.h"
#include "historystore.h"
#include "messagedecoder.h"
#include "regfiles.h"
#include "testworld.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <thread>

#include <sys/stat.h>

using namespace RegFiles;

namespace {

QString folderNamed(const QString& name) {
    return freshFolder(TestWorld::instance()->path(name));
}

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

struct Seen {
    QString moment;
    QByteArray message;
    QByteArray action;
    QByteArray mediaId;
    int port;
    bool person;

    bool operator==(const Seen&) const = default;
};

QList<Seen> seen(const CHistoryStore& store) {
    QList<Seen> all;
    for (const HistoryRecord& r : store.records())
        all.append(
            {regDateText(regDay(r.when)) + QLatin1Char(' ') + regTimeText(regSecondOfDay(r.when)),
             bytesOf(store.message(r)), bytesOf(store.action(r.action)),
             bytesOf(store.mediaId(r.media)), int(r.port), r.person});
    return all;
}

// The descriptors of this process open on `path`.
int openDescriptorsOn(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int open = 0;
    for (const QFileInfo& fd :
         QDir(QStringLiteral("/proc/self/fd"))
             .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        open += fd.symLinkTarget() == target ? 1 : 0;
    return open;
}

char* toString(const Seen& s) {
    return QTest::toString(QStringLiteral("%1|%2|%3|%4|COM%5|%6")
                               .arg(s.moment, QString::fromLatin1(s.message),
                                    QString::fromLatin1(s.action), QString::fromLatin1(s.mediaId))
                               .arg(s.port)
                               .arg(s.person));
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT

private slots:
    void linesAsTheControlWritesThem() {
        const QString folder = folderNamed("format");
        append(monthly(folder, "2025-03"),
               "2025-03-01 07:58:12,X0123456789ABCDEF,,0123456789ABCDEF,COM3\r\n"
               // A long message with commas of its own: the action is its last character.
               "2025-03-01 07:59:00,X0123456789ABCDEF+a,b,b,0123456789ABCDEF,COM3\r\n"
               // Status messages: the action is the message without its leading signs, commas
               // and all.
               "2025-03-01 08:00:05,+Door, open,Door, open,,COM2\r\n"
               "2025-03-01 08:01:00,<+,,+,,,COM12\r\n"
               "2025-03-01 08:02:00,+OK,OK,,COM1\r\n"
               "2025-03-01 08:03:00,X0123456789ABCDEFM,M,0123456789ABCDEF,COM255\r\n"
               "2025-03-01 08:04:00,X0123456789ABCDEF O,O,0123456789ABCDEF,COM4\r\n"
               // An empty message (the controller sent a zero byte first).
               "2025-03-01 08:05:00,,,,COM1\r\n"
               // A copy that lost its carriage returns still reads.
               "2025-03-01 23:59:59,X1111111111111111,,1111111111111111,COM1\n");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        const QList<Seen> expected = {
            {"2025-03-01 07:58:12", "X0123456789ABCDEF", "", "0123456789ABCDEF", 3, true},
            {"2025-03-01 07:59:00", "X0123456789ABCDEF+a,b", "b", "0123456789ABCDEF", 3, false},
            {"2025-03-01 08:00:05", "+Door, open", "Door, open", "", 2, false},
            {"2025-03-01 08:01:00", "<+,", "+,", "", 12, false},
            {"2025-03-01 08:02:00", "+OK", "OK", "", 1, false},
            {"2025-03-01 08:03:00", "X0123456789ABCDEFM", "M", "0123456789ABCDEF", 255, false},
            {"2025-03-01 08:04:00", "X0123456789ABCDEF O", "O", "0123456789ABCDEF", 4, true},
            {"2025-03-01 08:05:00", "", "", "", 1, false},
            {"2025-03-01 23:59:59", "X1111111111111111", "", "1111111111111111", 1, true}};
        QCOMPARE(seen(store), expected);
        QCOMPARE(store.damagedLines(), 0);
        QVERIFY(!store.hasPendingLine());
        // Each medium is kept once, however often it registered.
        QCOMPARE(store.mediaCount(), 3u);
    }

    // The control's own decoder writes the lines; the history reads back what it decoded.
    void readsWhatTheControlDecoded() {
        const QString folder = folderNamed("decoded");
        const QList<QByteArray> messages = {"+OK",
                                            ">>Tamper, door 2",
                                            "<<+Power",
                                            "+",
                                            "X0123456789ABCDEF",
                                            "X0123456789ABCDEFM",
                                            "X0123456789ABCDEF O",
                                            "X0123456789ABCDEF ",
                                            "X0123456789ABCDEF+,",
                                            "X0123456789ABCDEF+a,b",
                                            "X0123456789ABCDEF#",
                                            "a,b,c",
                                            "+,,,",
                                            "X0123456789ABCDE"};
        const QDateTime when(QDate(2025, 7, 31), QTime(23, 59, 58));
        QList<Seen> expected;
        for (const QByteArray& message : messages) {
            const vr12comm::Registration r = vr12comm::decodeMessage(message, when, "COM9");
            append(monthly(folder, "2025-07"), r.logLine);
            expected.append({"2025-07-31 23:59:58", r.lastReg, r.action, r.iButtonId, 9,
                             r.iButtonId.size() == 16 && (r.action.isEmpty() || r.action == "O")});
        }
        CHistoryStore store;
        QVERIFY(store.load(folder));
        const QList<Seen> got = seen(store);
        QCOMPARE(got.size(), expected.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            // A long message ending in "+," has the comma for its action; the line reads as a
            // message ending in a comma with no action, the one form read otherwise.
            if (expected[i].message == "X0123456789ABCDEF+,")
                continue;
            QCOMPARE(got[i], expected[i]);
        }
        QCOMPARE(store.damagedLines(), 0);
    }

    void damagedLinesAreSkippedAndCounted() {
        const QString folder = folderNamed("damaged");
        const QByteArray good = "2025-04-02 09:00:00,X0123456789ABCDEF,,0123456789ABCDEF,COM1\r\n";
        QByteArray bytes = good;
        const QList<QByteArray> damaged = {
            "no date at all,,,,COM1\r\n",
            "2025-13-02 09:00:00,+OK,OK,,COM1\r\n",                           // month 13
            "2025-02-30 09:00:00,+OK,OK,,COM1\r\n",                           // no such day
            "2025-04-02 24:00:00,+OK,OK,,COM1\r\n",                           // no such hour
            "2025-04-02 9:00:00,+OK,OK,,COM1\r\n",                            // not the fixed width
            "2025-04-02 09:00:00 +OK,OK,,COM1\r\n",                           // no comma after it
            "2025-04-02 09:00:00,X0123456789AB\r\n",                          // cut short
            "2025-04-02 09:00:00,+OK,OK,,\r\n",                               // no port
            "2025-04-02 09:00:00,+OK,OK,,COM0\r\n",                           // no such port
            "2025-04-02 09:00:00,+OK,OK,,COM256\r\n",                         // no such port
            "2025-04-02 09:00:00,+OK,OK,,LPT1\r\n",                           // not a COM port
            "2025-04-02 09:00:00,X0123456789ABCDE,,0123456789ABCDE,COM1\r\n", // 15 characters
            raw("2025-04-02 09:00:00,\x02\x00\x1b,,,COM1\r\n"),               // control bytes
            raw("\x00\x00\x00\x00\xff\xfe\x01\x02\x03\r\n"),                  // binary junk
            "\r\n",                                                           // empty
            "2025-04-02 09:00:00," + QByteArray(5000, 'A') + ",,,COM1\r\n"};  // over-long
        for (const QByteArray& d : damaged)
            bytes += d + good;
        append(monthly(folder, "2025-04"), bytes);
        CHistoryStore store;
        QVERIFY(store.load(folder));
        QCOMPARE(store.damagedLines(), int(damaged.size()));
        QCOMPARE(store.size(), std::size_t(damaged.size() + 1));
        for (const HistoryRecord& r : store.records())
            QCOMPARE(bytesOf(store.message(r)), QByteArray("X0123456789ABCDEF"));
        // An 8-bit message is no damage: it goes through the code page when shown.
        append(monthly(folder, "2025-04"), "2025-04-02 10:00:00,+T\xfcr zu,T\xfcr zu,,COM1\r\n");
        QVERIFY(store.refresh().changed);
        QCOMPARE(store.damagedLines(), int(damaged.size()));
        QCOMPARE(bytesOf(store.action(store.records().back().action)), QByteArray("T\xfcr zu"));
    }

    // An over-long line that arrives in pieces is one damaged line, and the next is read.
    void overLongLineInPieces() {
        const QString folder = folderNamed("overlong");
        const QString file = monthly(folder, "2025-04");
        append(file, "2025-04-02 09:00:00,");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        for (int i = 0; i < 10; ++i) {
            append(file, QByteArray(1000, 'B'));
            store.refresh();
            QVERIFY(store.damagedLines() <= 1);
        }
        append(file, ",,,COM1\r\n2025-04-02 09:00:01,+OK,OK,,COM1\r\n");
        store.refresh();
        QCOMPARE(store.damagedLines(), 1);
        QCOMPARE(store.size(), std::size_t(1));
        QCOMPARE(bytesOf(store.message(store.records()[0])), QByteArray("+OK"));
    }

    void lastLineIsReadOnceComplete() {
        const QString folder = folderNamed("pending");
        const QString march = monthly(folder, "2025-03");
        append(march, "2025-03-31 23:59:58,+OK,OK,,COM1\r\n2025-03-31 23:59:59,X0123456");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        QCOMPARE(store.size(), std::size_t(1));
        QVERIFY(store.hasPendingLine());
        QCOMPARE(store.damagedLines(), 0);

        // Nothing new: nothing changes.
        QVERIFY(!store.refresh().changed);
        append(march, "789ABCDEF,,0123456789ABCDEF,COM2\r");
        QCOMPARE(store.refresh().firstNew, std::size_t(1));
        QCOMPARE(store.size(), std::size_t(1)); // the line feed is still to come
        append(march, "\n2025-03-31 23:59:59,X1111");
        const CHistoryStore::Refresh r = store.refresh();
        QVERIFY(r.changed);
        QVERIFY(!r.reloaded);
        QCOMPARE(r.firstNew, std::size_t(1));
        QCOMPARE(store.size(), std::size_t(2));
        QCOMPARE(bytesOf(store.mediaId(store.records()[1].media)), QByteArray("0123456789ABCDEF"));
        QCOMPARE(store.records()[1].port, 2);
        QCOMPARE(store.damagedLines(), 0);

        // April begins: nobody will finish March's last line now.
        append(monthly(folder, "2025-04"), "2025-04-01 00:00:01,+OK,OK,,COM1\r\n");
        QVERIFY(store.refresh().changed);
        QCOMPARE(store.fileCount(), 2);
        QCOMPARE(store.damagedLines(), 1);
        QVERIFY(!store.hasPendingLine());
        QCOMPARE(store.size(), std::size_t(3));
    }

    void filesInMonthOrderAndTheNextMonth() {
        const QString folder = folderNamed("months");
        append(monthly(folder, "2025-03"), "2025-03-01 08:00:00,+March,March,,COM1\r\n");
        append(monthly(folder, "2024-12"), "2024-12-31 08:00:00,+December,December,,COM1\r\n");
        append(monthly(folder, "2025-01"), "2025-01-01 08:00:00,+January,January,,COM1\r\n");
        // Not monthly files of the control.
        for (const char* other :
             {"TarvexRegs-2025-3.txt", "TarvexRegs-2025-13.txt", "TarvexRegs-2025-03.txt.bak",
              "tarvexregs-2025-02.txt", "TarvexRegs-2025-02.TXT"})
            append(folder + QLatin1Char('/') + QLatin1String(other),
                   "2025-02-01 08:00:00,+Other,Other,,COM1\r\n");
        QDir().mkpath(monthly(folder, "2025-05")); // a folder of that name is no file
        CHistoryStore store;
        QVERIFY(store.load(folder));
        QCOMPARE(store.fileCount(), 3);
        QStringList messages;
        for (const HistoryRecord& r : store.records())
            messages.append(QString::fromLatin1(bytesOf(store.message(r))));
        QCOMPARE(messages, QStringList({"+December", "+January", "+March"}));

        append(monthly(folder, "2025-04"), "2025-04-01 00:00:00,+April,April,,COM1\r\n");
        const CHistoryStore::Refresh r = store.refresh();
        QVERIFY(!r.reloaded);
        QCOMPARE(r.firstNew, std::size_t(3));
        QCOMPARE(store.size(), std::size_t(4));
        QCOMPARE(store.fileName(3), QStringLiteral("TarvexRegs-2025-04.txt"));
        QCOMPARE(bytesOf(store.message(store.records()[3])), QByteArray("+April"));

        // A month that turns up out of order (copied in late) is put in its place.
        append(monthly(folder, "2025-02"), "2025-02-01 08:00:00,+February,February,,COM1\r\n");
        QVERIFY(store.refresh().reloaded);
        messages.clear();
        for (const HistoryRecord& rec : store.records())
            messages.append(QString::fromLatin1(bytesOf(store.message(rec))));
        QCOMPARE(messages, QStringList({"+December", "+January", "+February", "+March", "+April"}));
    }

    // The control appends line after line, each in more than one write, while the history
    // reads: every line is read once, none is taken for damage.
    void fileAppendedWhileRead() {
        const QString folder = folderNamed("appending");
        const QString file = monthly(folder, "2025-06");
        append(file, "2025-06-01 00:00:00,+Start,Start,,COM1\r\n");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        constexpr int kLines = 3000;
        std::atomic<bool> done{false};
        std::atomic<bool> written{true};
        std::thread writer([&] {
            for (int i = 0; i < kLines; ++i) {
                const QByteArray media = QByteArray::number(i).rightJustified(16, '0');
                const QByteArray l = person("2025-06-01 08:00:00", media, 1 + i % 3);
                const qsizetype cut = 1 + i % (l.size() - 1);
                written = written && appendBytes(file, l.left(cut));
                if (i % 7 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                written = written && appendBytes(file, l.mid(cut));
            }
            done = true;
        });
        while (!done)
            store.refresh();
        writer.join();
        QVERIFY(written);
        store.refresh();
        QCOMPARE(store.size(), std::size_t(kLines + 1));
        QCOMPARE(store.damagedLines(), 0);
        QVERIFY(!store.hasPendingLine());
        for (int i = 0; i < kLines; ++i) {
            const HistoryRecord& r = store.records()[std::size_t(i) + 1];
            QCOMPARE(bytesOf(store.mediaId(r.media)),
                     QByteArray::number(i).rightJustified(16, '0'));
            QCOMPARE(int(r.port), 1 + i % 3);
        }
    }

    void replacedOrShrunkFilesAreReadAgain() {
        const QString folder = folderNamed("replaced");
        const QString file = monthly(folder, "2025-06");
        append(file,
               "2025-06-01 08:00:00,+One,One,,COM1\r\n2025-06-01 08:00:01,+Two,Two,,COM1\r\n");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        QCOMPARE(store.size(), std::size_t(2));

        writeBytes(file, "2025-06-01 09:00:00,+Three,Three,,COM1\r\n"); // shorter
        CHistoryStore::Refresh r = store.refresh();
        QVERIFY(r.reloaded);
        QCOMPARE(store.size(), std::size_t(1));
        QCOMPARE(bytesOf(store.message(store.records()[0])), QByteArray("+Three"));

        // Replaced by another file, as long or longer.
        const QString other = folder + QStringLiteral("/new.tmp");
        writeBytes(other, "2025-06-01 10:00:00,+Four,Four,,COM1\r\n2025-06-01 10:00:01,+Five,"
                          "Five,,COM1\r\n");
        QVERIFY(QFile::remove(file));
        QVERIFY(QFile::rename(other, file));
        r = store.refresh();
        QVERIFY(r.reloaded);
        QCOMPARE(store.size(), std::size_t(2));
        QCOMPARE(bytesOf(store.message(store.records()[0])), QByteArray("+Four"));

        // Gone altogether.
        QVERIFY(QFile::remove(file));
        QVERIFY(store.refresh().reloaded);
        QCOMPARE(store.size(), std::size_t(0));
        QCOMPARE(store.fileCount(), 0);
    }

    void missingFolderAndUnreadableFiles() {
        CHistoryStore store;
        QVERIFY(!store.load(TestWorld::instance()->path("no-such-folder")));
        QCOMPARE(store.size(), std::size_t(0));

        const QString folder = folderNamed("unreadable");
        append(monthly(folder, "2025-01"), "2025-01-01 08:00:00,+OK,OK,,COM1\r\n");
        append(monthly(folder, "2025-02"), "2025-02-01 08:00:00,+OK,OK,,COM1\r\n");
        QVERIFY(QFile::setPermissions(monthly(folder, "2025-01"), QFileDevice::WriteOwner));
        if (QFileInfo(monthly(folder, "2025-01")).isReadable())
            QSKIP("the user reads files without read permission (root)");
        QVERIFY(store.load(folder));
        QCOMPARE(store.size(), std::size_t(1));
        QCOMPARE(store.errors().size(), 1);
        QVERIFY(store.errors().first().startsWith(QStringLiteral("TarvexRegs-2025-01.txt: ")));
    }

    // The follower reports an appended line within a second, a new month's file as well, and
    // between its looks no file is open.
    void followerKeepsUpWithoutHoldingFilesOpen() {
        const QString folder = folderNamed("follow");
        const QString file = monthly(folder, "2025-08");
        append(file, "2025-08-01 08:00:00,+OK,OK,,COM1\r\n");
        CHistoryStore store;
        QVERIFY(store.load(folder));
        CHistoryFollower follower(store);
        QSignalSpy added(&follower, &CHistoryFollower::recordsAdded);
        QSignalSpy damaged(&follower, &CHistoryFollower::damagedLinesChanged);
        follower.start();
        QVERIFY(follower.isFollowing());

        QElapsedTimer t;
        t.start();
        append(file, "2025-08-01 08:00:01,X0123456789ABCDEF,,0123456789ABCDEF,COM1\r\n");
        QVERIFY(added.wait(1000));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(added.takeFirst().at(0).toULongLong(), 1ull);
        QCOMPARE(openDescriptorsOn(file), 0);

        append(monthly(folder, "2025-09"), "2025-09-01 00:00:00,+OK,OK,,COM1\r\ngarbage\r\n");
        QVERIFY(added.wait(1000));
        QCOMPARE(added.takeFirst().at(0).toULongLong(), 2ull);
        QCOMPARE(store.size(), std::size_t(3));
        QTRY_COMPARE(damaged.size(), 1);
        QCOMPARE(damaged.first().at(0).toInt(), 1);

        QSignalSpy reloaded(&follower, &CHistoryFollower::reloaded);
        writeBytes(file, "");
        QVERIFY(reloaded.wait(1000));
        QCOMPARE(store.size(), std::size_t(1));
        follower.stop();
        QVERIFY(!follower.isFollowing());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
