// The ID table's listing and writing loops against a simulated controller, through a link
// without the program: what goes on the wire, the slot rules, the retry and the stops.
#include "../control/linkfixture.h"
#include "controllerreplies.h"
#include "formoperations.h"
#include "linkline.h"
#include "tarvexdoc.h"

namespace {
QByteArray id(int n) {
    return Vr12Simulator::mediaIdFor(n);
}

QByteArray record(int slot, const QByteArray& mediaId) {
    return "ID" + QString::asprintf("%02X", slot).toLatin1() + ": " + mediaId;
}

IdTableMirror mirrorOf(const Vr12Simulator& sim) {
    IdTableMirror out;
    for (int s = 0; s < 256; ++s)
        if (!sim.slot(s).isEmpty())
            out.emplace(sim.slot(s).toStdString(), QString::asprintf("%02X", s).toStdString());
    return out;
}
} // namespace

class TestIdTableCore : public QObject {
    Q_OBJECT
private slots:
    void recordsAndReplies() {
        const auto r = parseIdRecord(QString::fromLatin1(record(0x1A, id(3))));
        QVERIFY(r);
        QCOMPARE(r->slot, std::string("1A"));
        QCOMPARE(r->mediaId, id(3).toStdString());
        QVERIFY(!parseIdRecord(QString::fromLatin1(record(1, id(3)) + "0")));
        QVERIFY(!parseIdRecord(QStringLiteral("*")));

        // Two decimal digits each, cut to three bits: 09 is 1.
        QCOMPARE(parseRelayTimes(QStringLiteral("0907000000000000")), (RelayTimes{1, 7}));
        QCOMPARE(parseRelayTimes(QStringLiteral("1215000000000000")), (RelayTimes{4, 7}));
        QVERIFY(!parseRelayTimes(QStringLiteral("Erased")));
        QCOMPARE(relayTimesRecord({3, 5}), QStringLiteral("0305000000000000"));
        QCOMPARE(slotNumber("1A"), std::optional<int>(26));
        QCOMPARE(slotNumber("FF"), std::optional<int>(255));
        QVERIFY(!slotNumber(""));
        QVERIFY(!slotNumber("G1"));
    }

    void listingKeepsFirstSlotOfEachMediaId() {
        LinkFixture f;
        QVERIFY(f.start());
        f.sim.fillTable(5);
        f.sim.setSlot(0x20, id(1)); // listed again further down
        LinkLine line(*f.link);
        int between = 0;
        const IdTableRead read = readIdTable(line, [&] { return ++between, true; });
        QCOMPARE(f.sim.receivedBytes(), QByteArray("S"));
        QCOMPARE(read.records, 6);
        QCOMPARE(between, 6);
        QCOMPARE(read.status, StatusChange::ok());
        QVERIFY(!read.failed);
        QCOMPARE(read.table.size(), size_t(5));
        QCOMPARE(read.table.at(id(1).toStdString()), std::string("01"));
        f.sim.setSlot(0x20, {});
        QCOMPARE(read.table, mirrorOf(f.sim));
    }

    void emptySilentAndBrokenListings() {
        LinkFixture f;
        QVERIFY(f.start());
        LinkLine line(*f.link);
        // Empty: nothing listed, the status stays.
        IdTableRead read = readIdTable(line);
        QVERIFY(read.table.empty());
        QCOMPARE(read.status.kind, StatusChange::Unchanged);
        QVERIFY(!read.failed);

        // Silent from the start: the control's text.
        f.sim.setFault('S', Vr12Simulator::Fault::Silent, 1);
        read = readIdTable(line);
        QVERIFY(read.failed);
        QVERIFY(read.table.empty());
        QCOMPARE(read.status, StatusChange::reply(QStringLiteral("Error")));

        // Silent after three records: not "OK" with a third of the table, but the failure
        // and no table.
        f.sim.setReply('S', record(0, id(0)) + record(1, id(1)) + record(2, id(2)), {}, 1);
        read = readIdTable(line);
        QCOMPARE(read.records, 3);
        QVERIFY(read.failed);
        QVERIFY(read.table.empty());
        QCOMPARE(read.status, StatusChange::reply(QStringLiteral("Error")));
        // The control is free for the next command.
        f.sim.clearReceived();
        f.sim.fillTable(2);
        read = readIdTable(line);
        QCOMPARE(read.table, mirrorOf(f.sim));
    }

    void writeRetriesOnceAfterCodeTen() {
        LinkFixture f;
        QVERIFY(f.start());
        LinkLine line(*f.link);
        f.sim.setFault('A', Vr12Simulator::Fault::StatusD, 1);
        const IdTableWrite w = writeIdTable(line, {id(7).toStdString(), id(8).toStdString()});
        QCOMPARE(f.sim.receivedBytes(), "A" + id(7) + "A" + id(7) + "A" + id(8));
        QCOMPARE(w.code, 0);
        QCOMPARE(w.written, 2);
        QVERIFY(w.readBack());
        QCOMPARE(f.sim.usedSlots(), 2);
    }

    void writeStopsAtFirstFailureIncludingTheRetry() {
        LinkFixture f;
        QVERIFY(f.start());
        LinkLine line(*f.link);
        const std::vector<std::string> ids{id(301).toStdString(), id(302).toStdString(),
                                           id(303).toStdString()};
        // Code 10, then a full table answers "f": the second result stops the run.
        f.sim.fillTable(256);
        f.sim.setFault('A', Vr12Simulator::Fault::StatusD, 1);
        IdTableWrite w = writeIdTable(line, ids);
        QCOMPARE(f.sim.receivedBytes(), "A" + id(301) + "A" + id(301));
        QCOMPARE(w.code, 6);
        QCOMPARE(w.failedAt, 0);
        QCOMPARE(w.status, StatusChange::failed(6));
        QVERIFY(!w.readBack());

        // A MediaID the controller keeps answering with code 10 fails on its second try.
        f.sim.fillTable(0);
        f.sim.setSlot(5, id(302));
        f.sim.clearReceived();
        w = writeIdTable(line, ids);
        QCOMPARE(f.sim.receivedBytes(), "A" + id(301) + "A" + id(302) + "A" + id(302));
        QCOMPARE(w.code, 10);
        QCOMPARE(w.failedAt, 1);
        QCOMPARE(w.written, 1);

        // Any other failure stops at once; what went in before stays in.
        f.sim.fillTable(0);
        f.sim.clearReceived();
        f.sim.setFault('A', Vr12Simulator::Fault::Silent, -1);
        w = writeIdTable(line, ids);
        QCOMPARE(f.sim.receivedBytes(), "A");
        QCOMPARE(w.code, 1);
        QCOMPARE(w.failedAt, 0);
    }

    void eraseReadsTheSlotAsHexadecimal() {
        LinkFixture f;
        QVERIFY(f.start());
        LinkLine line(*f.link);
        f.sim.setSlot(0x1A, id(4));
        f.sim.setSlot(0x00, id(5));
        CTarvexDoc doc;
        CTermRecord term;
        term.IdTable = {{id(4).toStdString(), "1A"}, {id(5).toStdString(), "00"}};
        doc.InsertController(1, term);
        // A MediaID the mirror does not hold sends nothing (it has no slot to name).
        const IdTableRemoval r =
            eraseFromIdTable(line, doc, 1, {id(4).toStdString(), id(9).toStdString()});
        QCOMPARE(f.sim.receivedBytes(), QByteArray("D1A"));
        QCOMPARE(r.erased, 1);
        QCOMPARE(r.unknown, 1);
        QCOMPARE(r.code, 0);
        QVERIFY(f.sim.slot(0x1A).isEmpty());
        QCOMPARE(f.sim.slot(0), id(5));
    }

    // A controller switched off in the middle of a long removal: three unanswered EraseIDs
    // end the run instead of one time-out per entry left. Silence that breaks off, and
    // refusals, are a controller still there: every entry is tried.
    void eraseStopsWhenTheControllerFallsSilent() {
        LinkFixture f;
        QVERIFY(f.start());
        LinkLine line(*f.link);
        CTarvexDoc doc;
        CTermRecord term;
        std::vector<std::string> ids;
        auto refill = [&] {
            f.sim.fillTable(10);
            term.IdTable = mirrorOf(f.sim);
            doc.RemoveController(1);
            doc.InsertController(1, term);
            f.sim.clearReceived();
        };
        for (int s = 0; s < 10; ++s)
            ids.push_back(Vr12Simulator::mediaIdFor(s).toStdString());

        // Two erased, then no answer to the command letter.
        refill();
        QCOMPARE(term.IdTable.size(), size_t(10));
        f.sim.setFault('D', Vr12Simulator::Fault::Silent, -1, 2);
        int calls = 0;
        IdTableRemoval r = eraseFromIdTable(line, doc, 1, ids, [&] { return ++calls, true; });
        QCOMPARE(f.sim.receivedBytes(), QByteArray("D00D01DDD"));
        QVERIFY(r.controllerGone);
        QCOMPARE(r.erased, 2);
        QCOMPARE(r.toErase, 10);
        QCOMPARE(r.code, 1);
        QCOMPARE(calls, 4);
        QCOMPARE(f.sim.usedSlots(), 8);

        // No answer to the slot number counts alike.
        refill();
        f.sim.setReply('D', "D>#", {}, -1);
        r = eraseFromIdTable(line, doc, 1, ids);
        QCOMPARE(f.sim.receivedBytes(), QByteArray("D00D01D02"));
        QVERIFY(r.controllerGone);
        QCOMPARE(r.code, 2);

        // Two silent, then answers again: all ten tried.
        refill();
        f.sim.setFault('D', Vr12Simulator::Fault::Silent, 2);
        r = eraseFromIdTable(line, doc, 1, ids);
        QVERIFY(!r.controllerGone);
        QCOMPARE(r.erased, 8);
        QCOMPARE(r.code, 1);
        QCOMPARE(f.sim.receivedBytes().count('D'), 10);

        // Every erase refused ("ER?"): the controller answers, so all are tried.
        refill();
        f.sim.setReply('D', "D>#", "ER?", -1);
        r = eraseFromIdTable(line, doc, 1, ids);
        QVERIFY(!r.controllerGone);
        QCOMPARE(r.erased, 0);
        QCOMPARE(r.code, 3);
        QCOMPARE(f.sim.receivedBytes().count('D'), 10);
        f.sim.clearFaults();

        // `between` false after the first erase abandons the run.
        refill();
        r = eraseFromIdTable(line, doc, 1, ids, [] { return false; });
        QVERIFY(r.abandoned);
        QCOMPARE(f.sim.receivedBytes(), QByteArray("D00"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestIdTableCore)
#include "tst_idtablecore.moc"
