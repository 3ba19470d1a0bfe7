// The report queue's files: the lines as they are written, what a damaged or cut-short file
// still gives, the slots, the refused file, and the queue's bound, without a database.
#include "reportqueue.h"
#include "reportqueuefiles.h"
#include "reportrecord.h"
#include "testworld.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {
const ReportEntry kQuoted{ReportForm::Exec, "012345O'NEIL5678", "2026-03-14", "14:21:59", 7, 513};
// A controller's bytes can be anything: a tab, a percent sign, a line end.
const ReportEntry kOdd{ReportForm::Call, "AB\tCD%EF\n12345", "2026-03-14", "14:22:00", 65535, 0};

// Written by hand; the CRC-32 of each line's fields computed with zlib's crc32.
const QByteArray kQuotedLine = "R1\t7\texec\t012345O'NEIL5678\t2026-03-14\t14:21:59\t7\t513\t"
                               "c1753297\n";
const QByteArray kOddLine = "R1\t8\tcall\tAB%09CD%25EF%0A12345\t2026-03-14\t14:22:00\t65535\t0\t"
                            "df48e86b\n";
const QByteArray kMarkerLine = "S1\t00000000000000000042\tcda7c929\n";
const QByteArray kRefusedLine = "F1\t9\tcall\t0000000000000001\t2026-03-14\t14:23:00\t1\t2\t"
                                "2026-03-14T13:23:05Z\tSQLSTATE P0001: refused%0Afor the test\t"
                                "63c93029\n";

QString freshFolder(const QString& name) {
    const QString dir = TestWorld::instance()->path(name);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ReportEntry entry(int n) {
    return {ReportForm::Call,
            QStringLiteral("0000%1").arg(n, 12, 10, QLatin1Char('0')),
            "2026-03-14",
            "08:00:00",
            n,
            100 + n};
}

QByteArray line(quint64 seq, const ReportEntry& e) {
    return encodeQueued({seq, e});
}
} // namespace

class TestReportQueueFiles : public QObject {
    Q_OBJECT
private slots:
    void linesAreWrittenAsExpected() {
        QCOMPARE(encodeQueued({7, kQuoted}), kQuotedLine);
        QCOMPARE(encodeQueued({8, kOdd}), kOddLine);
        QCOMPARE(encodeMarker(42), kMarkerLine);
        const RefusedReport refused{
            9,
            {ReportForm::Call, "0000000000000001", "2026-03-14", "14:23:00", 1, 2},
            QDateTime(QDate(2026, 3, 14), QTime(13, 23, 5), Qt::UTC),
            "SQLSTATE P0001: refused\nfor the test"};
        QCOMPARE(encodeRefused(refused), kRefusedLine);

        const auto quoted = decodeQueued(kQuotedLine.chopped(1));
        QVERIFY(quoted);
        QCOMPARE(quoted->seq, quint64(7));
        QCOMPARE(quoted->entry, kQuoted);
        QCOMPARE(decodeQueued(kOddLine.chopped(1))->entry, kOdd);
        QCOMPARE(decodeMarker(kMarkerLine.chopped(1)), std::optional<quint64>(42));
        const auto back = decodeRefused(kRefusedLine.chopped(1));
        QVERIFY(back);
        QCOMPARE(back->entry, refused.entry);
        QCOMPARE(back->refusedAt, refused.refusedAt);
        QCOMPARE(back->error, refused.error);
    }

    // A flipped byte, a line of another kind, a line cut short at the end: each is left out and
    // counted, every complete line before and after it stays.
    void damagedLinesAreLeftOut() {
        QByteArray flipped = kOddLine;
        flipped[20] = 'X';
        const QByteArray bytes =
            kQuotedLine + flipped + kMarkerLine + line(9, entry(9)) + line(10, entry(10)).left(30);
        int skipped = 0;
        const QList<QueuedReport> lines = decodeQueuedLines(bytes, &skipped);
        QCOMPARE(skipped, 3);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].entry, kQuoted);
        QCOMPARE(lines[1].seq, quint64(9));
        QCOMPARE(lines[1].entry, entry(9));
    }

    // Whatever a file holds, reading it never fails hard.
    void arbitraryBytesNeverCrash() {
        QRandomGenerator random(25);
        const QByteArray good = kQuotedLine + kOddLine + kRefusedLine + kMarkerLine;
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes = good;
            for (int i = 0; i < 1 + int(random.bounded(8)); ++i)
                bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
            if (round % 3 == 0)
                bytes.truncate(int(random.bounded(bytes.size())));
            for (const QByteArray& l : bytes.split('\n')) {
                decodeQueued(l);
                decodeRefused(l);
                decodeMarker(l);
            }
            QVERIFY(decodeQueuedLines(bytes).size() <= 2);
            QVERIFY(decodeRefusedLines(bytes).size() <= 1);
        }
    }

    // A program killed inside its write leaves a line without its end. The next start cuts it,
    // so that the next entry is a line of its own and is not lost glued to the torn one.
    void tornTailIsCutBeforeTheNextAppend() {
        const QString folder = freshFolder("torn");
        const QString path = ReportQueueFiles::queuePath(folder, 1);
        QVERIFY(writeFile(path, line(1, entry(1)) + line(2, entry(2)).left(25)));
        {
            ReportQueueFiles files;
            QVERIFY2(files.open(folder, 1), qPrintable(files.error()));
            QCOMPARE(files.loaded().size(), 1);
            QCOMPARE(files.skipped(), 1);
            QVERIFY(files.append({3, entry(3)}));
        }
        QCOMPARE(fileBytes(path), line(1, entry(1)) + line(3, entry(3)));
        ReportQueueFiles again;
        QVERIFY(again.open(folder, 1));
        QCOMPARE(again.loaded().size(), 2);
        QCOMPARE(again.lastSeq(), quint64(3));
    }

    // Only what follows the marker waits; a marker that does not read sends everything again
    // rather than drop an entry.
    void markerDecidesWhatWaits() {
        const QString folder = freshFolder("marker");
        QVERIFY(writeFile(ReportQueueFiles::queuePath(folder, 1),
                          line(1, entry(1)) + line(2, entry(2)) + line(3, entry(3))));
        {
            ReportQueueFiles files;
            QVERIFY(files.open(folder, 1));
            QCOMPARE(files.loaded().size(), 3);
            QVERIFY(files.markSent(2, true));
        }
        QCOMPARE(fileBytes(ReportQueueFiles::markerPath(folder, 1)), encodeMarker(2));
        {
            ReportQueueFiles files;
            QVERIFY(files.open(folder, 1));
            QCOMPARE(files.loaded().size(), 1);
            QCOMPARE(files.loaded().first().entry, entry(3));
            QCOMPARE(files.lastSeq(), quint64(3));
            QCOMPARE(ReportQueueFiles::peek(folder, 1).size(), 1);
            // Rewritten with what still waits, the numbers go on.
            QVERIFY(files.rewrite(files.loaded()));
            QVERIFY(files.append({4, entry(4)}));
        }
        QCOMPARE(fileBytes(ReportQueueFiles::queuePath(folder, 1)),
                 line(3, entry(3)) + line(4, entry(4)));
        QVERIFY(writeFile(ReportQueueFiles::markerPath(folder, 1), "S1\t0000000000000000000"));
        ReportQueueFiles files;
        QVERIFY(files.open(folder, 1));
        QCOMPARE(files.loaded().size(), 2);
    }

    // A slot is one program's: a second one takes the next, and a listing reads a held slot.
    void slotIsOneProgramsAtATime() {
        const QString folder = freshFolder("slots");
        ReportQueueFiles first, second;
        QVERIFY(first.openFirstFree(folder));
        QCOMPARE(first.slot(), 1);
        QVERIFY(!second.open(folder, 1));
        QVERIFY(second.openFirstFree(folder));
        QCOMPARE(second.slot(), 2);
        QVERIFY(first.append({1, entry(1)}));
        QCOMPARE(ReportQueueFiles::peek(folder, 1).size(), 1);
        QCOMPARE(ReportQueueFiles::slotsIn(folder), (QList<int>{1, 2}));
        first.close();
        ReportQueueFiles third;
        QVERIFY(third.openFirstFree(folder));
        QCOMPARE(third.slot(), 1);
        QCOMPARE(third.loaded().size(), 1);
    }

    // Refused entries stay until something took them over.
    void refusedFileKeepsEntriesUntilTaken() {
        const QString folder = freshFolder("refused");
        const QDateTime at(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC);
        QVERIFY(ReportRefusedFile::append(folder, {1, entry(1), at, "no"}));
        QVERIFY(ReportRefusedFile::append(folder, {2, entry(2), at, "never"}));
        QCOMPARE(ReportRefusedFile::read(folder).size(), 2);
        QList<RefusedReport> handed;
        QVERIFY(!ReportRefusedFile::take(folder, [&](const QList<RefusedReport>& r) {
            handed = r;
            return false;
        }));
        QCOMPARE(handed.size(), 2);
        QCOMPARE(ReportRefusedFile::read(folder).size(), 2);
        QVERIFY(ReportRefusedFile::take(folder, [](const QList<RefusedReport>&) { return true; }));
        QVERIFY(ReportRefusedFile::read(folder).isEmpty());
    }

    // A queue whose database never answers keeps its entries on disk up to its bound, then
    // turns new ones away, counts them and says it is full. Every line is in the file when
    // enqueue returns.
    void boundTurnsNewEntriesAway() {
        const QString folder = freshFolder("bound");
        ReportQueueOptions options;
        options.folder = folder;
        options.connection = QStringLiteral("Driver=NoSuchDriver;Database=x");
        options.maxEntries = 3;
        ReportQueue queue(options);
        QSignalSpy turned(&queue, &ReportQueue::turnedAway);
        QVERIFY2(queue.start(), qPrintable(queue.error()));
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(queue.enqueue(entry(i)));
            QCOMPARE(ReportQueueFiles::peek(folder, queue.slot()).size(), i);
        }
        QVERIFY(queue.status().full);
        QVERIFY(!queue.enqueue(entry(4)));
        QVERIFY(!queue.enqueue(entry(5)));
        const ReportQueueStatus status = queue.status();
        QCOMPARE(status.waiting, 3);
        QVERIFY(status.full);
        QCOMPARE(status.turnedAway, qint64(2));
        QCOMPARE(turned.count(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!queue.status().answering, 5000);
        QVERIFY(queue.status().problem.contains("NoSuchDriver"));
        QVERIFY(!queue.finish(0));

        ReportQueue next(options);
        QVERIFY(next.start());
        QCOMPARE(next.status().waiting, 3);
        QVERIFY(next.finish(0) == false);
        const QList<QueuedReport> waiting = ReportQueueFiles::peek(folder, 1);
        QCOMPARE(waiting.size(), 3);
        QCOMPARE(waiting.last().entry, entry(3));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestReportQueueFiles)
#include "tst_reportqueuefiles.moc"
