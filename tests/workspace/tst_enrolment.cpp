// The enrolment list without a window: which presented media it takes, what Add stores through
// the Employee dialog's checks, and what it leaves.
#include "enrolment.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QtTest>

using namespace res;

namespace {
const QString kNew1 = QStringLiteral("0100000000000A01");
const QString kNew2 = QStringLiteral("0100000000000A02");
const QString kNew3 = QStringLiteral("0100000000000A03");
const std::string kKnown = "0100000000000001";

QStringList mediaOf(const CEnrolment& e) {
    QStringList out;
    for (const CEnrolment::Row& row : e.rows())
        out << row.mediaId;
    return out;
}
} // namespace

class TestEnrolment : public QObject {
    Q_OBJECT
private slots:
    void takesEachUnknownMediumOnce() {
        CTarvexDoc doc;
        doc.InsertEmployee(kKnown, {"Adams", "Anna"});
        CEnrolment e;
        QVERIFY(
            e.Offer(doc.Employees(), kNew1, QStringLiteral("Gate"), QStringLiteral("08:00:01")));
        // An employee's medium, the same medium again (at another door), a status message.
        QVERIFY(!e.Offer(doc.Employees(), QString::fromStdString(kKnown), QStringLiteral("Gate"),
                         QStringLiteral("08:00:02")));
        QVERIFY(
            !e.Offer(doc.Employees(), kNew1, QStringLiteral("Store"), QStringLiteral("08:00:03")));
        QVERIFY(!e.Offer(doc.Employees(), QString(), QStringLiteral("Gate"),
                         QStringLiteral("08:00:04")));
        QVERIFY(!e.Offer(doc.Employees(), QStringLiteral("0BADC0DE"), QStringLiteral("Gate"),
                         QStringLiteral("08:00:05")));
        QVERIFY(
            e.Offer(doc.Employees(), kNew2, QStringLiteral("Store"), QStringLiteral("08:00:06")));
        QCOMPARE(mediaOf(e), (QStringList{kNew1, kNew2}));
        // The first sighting is the one kept.
        QCOMPARE(e.rows()[0].controller, QStringLiteral("Gate"));
        QCOMPARE(e.rows()[0].time, QStringLiteral("08:00:01"));
        QCOMPARE(e.StartedRows(), 0);
    }

    void addStoresNamedRowsAndKeepsTheRest() {
        CTarvexDoc doc;
        CEnrolment e;
        for (const QString& id : {kNew1, kNew2, kNew3})
            QVERIFY(e.Offer(doc.Employees(), id, QStringLiteral("Gate"), QStringLiteral("t")));
        e.SetNames(0, QStringLiteral("Ames"), QStringLiteral("Ada"));
        e.SetNames(1, QStringLiteral("Bold"), QString()); // half named: stays
        e.SetNames(2, QStringLiteral("Cole"), QStringLiteral("Cy"));
        e.SetNames(7, QStringLiteral("No"), QStringLiteral("Row")); // ignored
        QCOMPARE(e.StartedRows(), 3);

        const CEnrolment::Outcome out = e.AddNamed(doc);
        QVERIFY(out.refusal.accepted());
        QCOMPARE(out.refusedRow, -1);
        QCOMPARE(out.added, (std::vector<std::string>{kNew1.toStdString(), kNew3.toStdString()}));
        QVERIFY(out.unmapped.IsEmpty());
        QCOMPARE(doc.Employees().size(), size_t(2));
        QCOMPARE(doc.FindEmployee(kNew3.toStdString())->LastName, std::string("Cole"));
        QVERIFY(doc.IsModified());
        QCOMPARE(mediaOf(e), QStringList{kNew2});
        QCOMPARE(e.rows()[0].lastName, QStringLiteral("Bold"));
        QCOMPARE(e.StartedRows(), 1);

        // Nothing named: nothing happens, nothing is refused.
        const CEnrolment::Outcome none = e.AddNamed(doc);
        QVERIFY(none.added.empty() && none.refusal.accepted());
        QCOMPARE(doc.Employees().size(), size_t(2));
    }

    void addGoesThroughTheDialogsChecks() {
        CTarvexDoc doc;
        CEnrolment e;
        QVERIFY(e.Offer(doc.Employees(), kNew1, QStringLiteral("Gate"), QStringLiteral("t")));
        QVERIFY(e.Offer(doc.Employees(), kNew2, QStringLiteral("Gate"), QStringLiteral("t")));
        QVERIFY(e.Offer(doc.Employees(), kNew3, QStringLiteral("Gate"), QStringLiteral("t")));
        // Meanwhile the first medium became an employee through the Employee dialog.
        doc.InsertEmployee(kNew1.toStdString(), {"Other", "Person"});
        e.SetNames(0, QStringLiteral("Ames"), QStringLiteral("Ada"));
        // A name the code page cannot hold is stored with "?" and warned about.
        e.SetNames(1, QStringLiteral("Bo\u540d"), QStringLiteral("Bea"));
        e.SetNames(2, QStringLiteral("Cole"), QStringLiteral("Cy"));

        const CEnrolment::Outcome out = e.AddNamed(doc);
        QCOMPARE(out.refusal.stringId, IDS_MEDIAID_EXISTS);
        QCOMPARE(out.refusal.Text(), QStringLiteral("MediaID already exists."));
        // The known medium has nothing left to enrol: it leaves the list, the employee stays.
        QCOMPARE(out.refusedRow, -1);
        QCOMPARE(doc.FindEmployee(kNew1.toStdString())->LastName, std::string("Other"));
        QCOMPARE(out.added, (std::vector<std::string>{kNew2.toStdString(), kNew3.toStdString()}));
        QCOMPARE(doc.FindEmployee(kNew2.toStdString())->LastName, std::string("Bo?"));
        QCOMPARE(out.unmapped.Count(), 1);
        QCOMPARE(out.unmapped.FirstCharacter(), QStringLiteral("\u540d"));
        QVERIFY(e.rows().empty());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestEnrolment)
#include "tst_enrolment.moc"
