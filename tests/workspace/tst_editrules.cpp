// The checks of the employee and controller dialogs and the workspace side of the editing
// commands, without any window: refusal order, ranges, the panel life cycle and what marks the
// workspace modified.
#include "recordinghost.h"

#include "editinput.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "workspaceedits.h"

#include <QSignalSpy>
#include <QtTest>

using namespace res;
using EditInput::Refusal;

namespace {
const std::string kId = "0123456789ABCDEF";

QString refusalText(const Refusal& r) {
    return r.accepted() ? QStringLiteral("accepted")
                        : QStringLiteral("%1 @%2").arg(r.Text()).arg(r.item);
}

Refusal checkController(const CTarvexDoc* doc, bool adding, const QString& name, const QString& id,
                        const QString& code, const QString& com) {
    EditInput::ControllerNumbers numbers;
    return EditInput::CheckController(doc, adding, name, id, code, com, numbers);
}

CTermRecord controller(const char* name, int id = 1, int code = 2) {
    CTermRecord record;
    record.Name = name;
    record.ID = id;
    record.Code = code;
    return record;
}
} // namespace

class TestEditRules : public QObject {
    Q_OBJECT
private slots:
    void employeeChecksInOrder() {
        CTarvexDoc doc;
        doc.InsertEmployee(kId, {"Old", "Entry"});
        auto check = [&](bool adding, const std::string& id, const std::string& last,
                         const std::string& first) {
            return refusalText(EditInput::CheckEmployee(&doc, adding, id, last, first));
        };
        const QString length = QStringLiteral("Invalid MediaID length. @%1").arg(IDC_EMP_MEDIAID);
        // The length comes first, whatever else is wrong; 15 and 17 are both refused.
        QCOMPARE(check(true, kId.substr(0, 15), "", ""), length);
        QCOMPARE(check(true, kId + "0", "A", "B"), length);
        QCOMPARE(check(true, "", "A", "B"), length);
        // Editing still checks the length of the MediaID it was given.
        QCOMPARE(check(false, kId.substr(0, 15), "A", "B"), length);
        // A duplicate only when adding, and before the names.
        QCOMPARE(check(true, kId, "", ""),
                 QStringLiteral("MediaID already exists. @%1").arg(IDC_EMP_MEDIAID));
        QCOMPARE(check(false, kId, "New", "Name"), QStringLiteral("accepted"));
        // Last name before first name.
        QCOMPARE(check(true, "FEDCBA9876543210", "", ""),
                 QStringLiteral("You must enter last name. @%1").arg(IDC_EMP_LASTNAME));
        QCOMPARE(check(false, kId, "", "B"),
                 QStringLiteral("You must enter last name. @%1").arg(IDC_EMP_LASTNAME));
        QCOMPARE(check(true, "FEDCBA9876543210", "A", ""),
                 QStringLiteral("You must enter first name. @%1").arg(IDC_EMP_FIRSTNAME));
        // Sixteen characters of anything are a MediaID: blanks, lower case, a code page letter.
        QCOMPARE(check(true, "ABCD EFGH ijkl  ", "A", "B"), QStringLiteral("accepted"));
        QCOMPARE(check(true,
                       "\xC4"
                       "BCDEFGHIJKLMNOP",
                       "A", "B"),
                 QStringLiteral("accepted"));
        // Without a workspace nothing is a duplicate.
        QVERIFY(EditInput::CheckEmployee(nullptr, true, kId, "A", "B").accepted());
    }

    void numbersDigitsOnlyWithinRange() {
        int value = -1;
        QVERIFY(EditInput::ParseNumber(QStringLiteral("0"), 0, 65535, value));
        QCOMPARE(value, 0);
        QVERIFY(EditInput::ParseNumber(QStringLiteral("65535"), 0, 65535, value));
        QCOMPARE(value, 65535);
        QVERIFY(EditInput::ParseNumber(QStringLiteral("007"), 1, 255, value));
        QCOMPARE(value, 7);
        value = -1;
        for (const char* bad : {"", "65536", "-1", "+1", " 1", "1 ", "1a", "0x10", "\xD9\xA1",
                                "99999999999999999999999999"}) {
            QVERIFY2(!EditInput::ParseNumber(QString::fromUtf8(bad), 0, 65535, value), bad);
            QCOMPARE(value, -1);
        }
        QVERIFY(!EditInput::ParseNumber(QStringLiteral("0"), 1, 255, value));
        QVERIFY(!EditInput::ParseNumber(QStringLiteral("256"), 1, 255, value));
    }

    void controllerChecksInOrder() {
        CTarvexDoc doc;
        doc.InsertController(5, controller("Gate", 7, 9));
        const QString idRange =
            QStringLiteral("Please enter an integer between 0 and 65535. @%1").arg(IDC_TERMDLG_ID);
        const QString codeRange = QStringLiteral("Please enter an integer between 0 and 65535. @%1")
                                      .arg(IDC_TERMDLG_CODE);
        const QString comRange = QStringLiteral("Please enter an integer between 1 and 255. @%1")
                                     .arg(IDC_TERMDLG_COMPORT);
        // Ranges first (ID, Code, COM port), even with an empty name and a taken port.
        QCOMPARE(refusalText(checkController(&doc, true, "", "65536", "x", "5")), idRange);
        QCOMPARE(refusalText(checkController(&doc, true, "", "", "0", "5")), idRange);
        QCOMPARE(refusalText(checkController(&doc, true, "", "1", "70000", "0")), codeRange);
        QCOMPARE(refusalText(checkController(&doc, true, "", "1", "2", "0")), comRange);
        QCOMPARE(refusalText(checkController(&doc, true, "", "1", "2", "256")), comRange);
        // Then the name, then the COM port when adding.
        QCOMPARE(refusalText(checkController(&doc, true, "", "1", "2", "5")),
                 QStringLiteral("You must enter controller's name. @%1").arg(IDC_TERMDLG_NAME));
        QCOMPARE(refusalText(checkController(&doc, true, "Shed", "1", "2", "5")),
                 QStringLiteral("COM port already exists. @%1").arg(IDC_TERMDLG_COMPORT));
        QCOMPARE(refusalText(checkController(&doc, false, "Shed", "1", "2", "5")),
                 QStringLiteral("accepted"));
        // ID and code may be shared with another controller.
        EditInput::ControllerNumbers numbers;
        QVERIFY(
            EditInput::CheckController(&doc, true, "Shed", "7", "9", "255", numbers).accepted());
        QCOMPARE(numbers.id, 7);
        QCOMPARE(numbers.code, 9);
        QCOMPARE(numbers.comPort, 255);
    }

    void typedTextCleanedAndUpperCased() {
        int pos = 6;
        // A pasted line break, tab and C1 control go; the cursor keeps its place in the text.
        QCOMPARE(EditInput::WithoutControls(QStringLiteral("a\tb\r\nc\u0085d\u2028e"), &pos),
                 QStringLiteral("abcde"));
        QCOMPARE(pos, 3);
        QCOMPARE(EditInput::WithoutControls(QStringLiteral("Anna-Lena")),
                 QStringLiteral("Anna-Lena"));
        pos = 3;
        QCOMPARE(EditInput::MediaIdAsTyped(QStringLiteral("ab cdef\n"), &pos),
                 QStringLiteral("AB CDEF"));
        QCOMPARE(pos, 3);
        // One character for one: the sharp s has no single upper-case letter and stays.
        QCOMPARE(EditInput::MediaIdAsTyped(QStringLiteral("\u00df\u00e4")),
                 QStringLiteral("\u00df\u00c4"));
        QCOMPARE(EditInput::MediaIdAsTyped(QStringLiteral("\U00010428x")),
                 QStringLiteral("\U00010400X"));
    }

    void employeeEditsMarkAndRefill() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        doc.InsertEmployee(kId, {"Old", "Entry"});
        CTermRecord gate = controller("Gate");
        gate.IdTable = {{kId, "00"}, {"FFFFFFFFFFFFFFFF", "01"}};
        doc.InsertController(1, gate);
        const QStringList refill = {"fill employees", "fill controller employees"};

        // A MediaID already there changes nothing and marks nothing.
        QVERIFY(!WorkspaceEdits::AddEmployee(doc, kId, {"Other", "One"}));
        QVERIFY(!doc.IsModified());
        QVERIFY(host.log.isEmpty());
        QVERIFY(WorkspaceEdits::AddEmployee(doc, "1111111111111111", {"New", "One"}));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.log, refill);

        doc.SetModifiedFlag(false);
        host.log.clear();
        QVERIFY(!WorkspaceEdits::EditEmployee(doc, "2222222222222222", {"X", "Y"}));
        QVERIFY(!doc.IsModified());
        QVERIFY(WorkspaceEdits::EditEmployee(doc, kId, {"Renamed", "Person"}));
        QCOMPARE(doc.FindEmployee(kId)->LastName, std::string("Renamed"));
        QCOMPARE(doc.FindEmployee(kId)->FirstName, std::string("Person"));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.log, refill);

        // Deleting skips unknown MediaIDs and leaves every ID table alone.
        doc.SetModifiedFlag(false);
        host.log.clear();
        QCOMPARE(WorkspaceEdits::DeleteEmployees(doc, {"9999999999999999"}), 0);
        QVERIFY(!doc.IsModified());
        QCOMPARE(WorkspaceEdits::DeleteEmployees(doc, {"9999999999999999", kId}), 1);
        QVERIFY(!doc.FindEmployee(kId));
        QCOMPARE(doc.FindController(1)->IdTable.size(), std::size_t(2));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.log, refill);

        // Copy to database: only the unknown ones, and a second run adds nothing.
        doc.SetModifiedFlag(false);
        host.log.clear();
        const std::vector<std::string> ids = {kId, "FFFFFFFFFFFFFFFF", "1111111111111111"};
        QCOMPARE(WorkspaceEdits::CopyToDatabase(doc, ids, {"Last Name", "First Name"}), 2);
        QCOMPARE(doc.FindEmployee(kId)->LastName, std::string("Last Name"));
        QCOMPARE(doc.FindEmployee("FFFFFFFFFFFFFFFF")->FirstName, std::string("First Name"));
        QCOMPARE(doc.FindEmployee("1111111111111111")->LastName, std::string("New"));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.log, refill);
        doc.SetModifiedFlag(false);
        host.log.clear();
        QCOMPARE(WorkspaceEdits::CopyToDatabase(doc, ids, {"Again", "Again"}), 0);
        QCOMPARE(doc.Employees().size(), std::size_t(3));
        QVERIFY(!doc.IsModified());
        QVERIFY(host.log.isEmpty());
    }

    void controllerEditsFollowThePanelLifeCycle() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        CTermRecord gate = controller("Gate", 3, 4);
        gate.Master = "00000000000000AA";
        gate.MasterName = "Doe John";
        gate.Relay1Time = 5;
        doc.InsertController(2, gate);
        doc.CreatePanel(2);
        doc.ShowInControllerPane(doc.FindController(2)->Panel);
        QCOMPARE(WorkspaceEdits::CurrentComPort(doc), 2);
        host.log.clear();

        // Adding: the empty form first, then the new panel opens its port, then the lists.
        QVERIFY(WorkspaceEdits::AddController(doc, 7, "Shed", 3, 4));
        QCOMPARE(host.log, QStringList({"show empty", "create COM7", "bind 3|Shed|4|7|0|0|||",
                                        "fill controllers", "fill controller employees"}));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.alive, 2);
        QCOMPARE(WorkspaceEdits::CurrentComPort(doc), 0);
        // A taken COM port adds nothing.
        doc.SetModifiedFlag(false);
        host.log.clear();
        QVERIFY(!WorkspaceEdits::AddController(doc, 7, "Again", 1, 1));
        QVERIFY(host.log.isEmpty());
        QVERIFY(!doc.IsModified());

        // Editing: the old panel goes (its port closes) before the new one is made from the
        // record, with the stored master and relays.
        doc.ShowInControllerPane(doc.FindController(2)->Panel);
        host.log.clear();
        QVERIFY(WorkspaceEdits::EditController(doc, 2, "Front gate", 30, 40));
        QCOMPARE(host.log, QStringList({"show empty", "destroy COM2", "create COM2",
                                        "bind 30|Front gate|40|2|5|0|00000000000000AA|Doe John|",
                                        "fill controllers", "fill controller employees"}));
        QVERIFY(doc.IsModified());
        QCOMPARE(host.alive, 2);
        doc.SetModifiedFlag(false);
        host.log.clear();
        QVERIFY(!WorkspaceEdits::EditController(doc, 9, "Nobody", 1, 1));
        QVERIFY(host.log.isEmpty());
        QVERIFY(!doc.IsModified());

        // Deleting: the panel goes with its port, then the record.
        doc.ShowInControllerPane(doc.FindController(7)->Panel);
        host.log.clear();
        QVERIFY(WorkspaceEdits::DeleteController(doc, 7));
        QCOMPARE(host.log, QStringList({"show empty", "destroy COM7", "fill controllers",
                                        "fill controller employees"}));
        QVERIFY(!doc.FindController(7));
        QCOMPARE(host.alive, 1);
        QVERIFY(doc.IsModified());
        QVERIFY(!WorkspaceEdits::DeleteController(doc, 7));
        doc.ClearWorkspace();
        QCOMPARE(host.alive, 0);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestEditRules)
#include "tst_editrules.moc"
