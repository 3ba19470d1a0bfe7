#include "recordinghost.h"
#include "storedpanel.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

CTermRecord controller(const char* name, int id = 1, int code = 2) {
    CTermRecord record;
    record.Name = name;
    record.ID = id;
    record.Code = code;
    return record;
}

std::vector<std::string> employeeKeys(const CTarvexDoc& doc) {
    std::vector<std::string> keys;
    for (const auto& [key, record] : doc.Employees())
        keys.push_back(key);
    return keys;
}

} // namespace

class TestWorkspaceModel : public QObject {
    Q_OBJECT
private slots:
    void insertionNeverOverwrites() {
        CTarvexDoc doc;
        QVERIFY(doc.InsertEmployee("0100000000000001", {"First", "Kept"}));
        QVERIFY(!doc.InsertEmployee("0100000000000001", {"Second", "Dropped"}));
        QCOMPARE(doc.Employees().size(), std::size_t(1));
        QCOMPARE(doc.FindEmployee("0100000000000001")->LastName, std::string("First"));

        QVERIFY(doc.InsertController(3, controller("A")));
        QVERIFY(!doc.InsertController(3, controller("B")));
        QCOMPARE(doc.FindController(3)->Name, std::string("A"));

        // Look-ups are exact: case matters and nothing is created by looking.
        doc.InsertEmployee("0A00000000000001", {"Case", "Sensitive"});
        QVERIFY(!doc.FindEmployee("0a00000000000001"));
        QVERIFY(!doc.FindEmployee("0100000000000001 "));
        QVERIFY(!doc.FindController(4));
        QCOMPARE(doc.Controllers().size(), std::size_t(1));
    }

    void mapsKeepKeyOrder() {
        CTarvexDoc doc;
        for (const char* id :
             {"A000000000000000", "1000000000000000", "0A00000000000000", "a000000000000000",
              "\xC4"
              "000000000000000",
              "0000000000000000"})
            doc.InsertEmployee(id, {});
        const std::vector<std::string> expected = {"0000000000000000",
                                                   "0A00000000000000",
                                                   "1000000000000000",
                                                   "A000000000000000",
                                                   "a000000000000000",
                                                   "\xC4"
                                                   "000000000000000"};
        QCOMPARE(employeeKeys(doc), expected);

        for (int port : {10, 9, 255, 1, 100})
            doc.InsertController(port, controller("x"));
        std::vector<int> ports;
        for (const auto& [port, record] : doc.Controllers())
            ports.push_back(port);
        QCOMPARE(ports, (std::vector<int>{1, 9, 10, 100, 255}));
    }

    void deletingAnEmployeeKeepsIdTables() {
        CTarvexDoc doc;
        doc.InsertEmployee("0100000000000001", {"Doe", "Jane"});
        CTermRecord record = controller("Door");
        record.IdTable["0100000000000001"] = "00";
        doc.InsertController(1, record);
        QVERIFY(doc.RemoveEmployee("0100000000000001"));
        QVERIFY(!doc.RemoveEmployee("0100000000000001"));
        QCOMPARE(doc.FindController(1)->IdTable.count("0100000000000001"), std::size_t(1));
    }

    void panelsAreCreatedAndBoundInOrder() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        CTermRecord record = controller("Gate", 7, 8);
        record.Relay1Time = 3;
        record.Relay2Time = 5;
        record.Master = "M";
        record.MasterName = "Doe Jane";
        record.Firmware = "FW";
        doc.InsertController(4, record);
        doc.CreatePanel(4);
        QCOMPARE(host.log, QStringList({"create COM4", "bind 7|Gate|8|4|3|5|M|Doe Jane|FW"}));
        QVERIFY(doc.FindController(4)->Panel);

        // A second CreatePanel must not leave the first panel holding the port.
        host.log.clear();
        doc.CreatePanel(4);
        QCOMPARE(host.log,
                 QStringList({"destroy COM4", "create COM4", "bind 7|Gate|8|4|3|5|M|Doe Jane|FW"}));
        QCOMPARE(host.alive, 1);

        // Unknown port: nothing happens.
        host.log.clear();
        doc.CreatePanel(5);
        doc.DestroyPanel(5);
        QVERIFY(host.log.isEmpty());
        doc.ClearWorkspace();
        QCOMPARE(host.alive, 0);
    }

    void destroyingTheShownPanelShowsTheEmptyForm() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        doc.InsertController(2, controller("A"));
        doc.CreatePanel(2);
        ITermPanel* panel = doc.FindController(2)->Panel;
        QCOMPARE(doc.ShowInControllerPane(panel), nullptr);
        QCOMPARE(doc.PanelInControllerPane(), panel);
        host.log.clear();
        QVERIFY(doc.RemoveController(2));
        QCOMPARE(host.log, QStringList({"show empty", "destroy COM2"}));
        QCOMPARE(host.alive, 0);
        QCOMPARE(doc.PanelInControllerPane(), nullptr);
        QVERIFY(!doc.FindController(2));
    }

    void clearWorkspaceDestroysEveryPanelFirst() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        doc.InsertEmployee("0100000000000001", {"Doe", "Jane"});
        for (int port : {12, 3}) {
            CTermRecord record = controller("C");
            record.IdTable["0100000000000001"] = "01";
            doc.InsertController(port, record);
            doc.CreatePanel(port);
        }
        doc.ShowInControllerPane(doc.FindController(12)->Panel);
        host.log.clear();
        doc.ClearWorkspace();
        QCOMPARE(host.log,
                 QStringList({"show empty", "destroy COM3", "destroy COM12", "fill employees",
                              "fill controllers", "fill controller employees"}));
        QCOMPARE(host.alive, 0);
        QVERIFY(doc.Employees().empty());
        QVERIFY(doc.Controllers().empty());

        // With nothing shown and no controllers, only the lists are refilled.
        host.log.clear();
        doc.ClearWorkspace();
        QCOMPARE(host.log,
                 QStringList({"fill employees", "fill controllers", "fill controller employees"}));
    }

    void aPanelGoingAwayTellsTheDocumentThatMadeIt() {
        RecordingHost host;
        CTarvexDoc doc(&host);
        doc.InsertController(1, controller("A"));
        doc.InsertController(2, controller("B"));
        doc.CreatePanel(1);
        doc.CreatePanel(2);
        ITermPanel* panel = doc.FindController(1)->Panel;

        // A document made later is the global one; it must hear nothing of doc's panels.
        CTarvexDoc later(&host);
        later.InsertController(1, controller("Other"));
        later.CreatePanel(1);
        ITermPanel* laterPanel = later.FindController(1)->Panel;

        delete panel; // its window closing with the frame
        QCOMPARE(doc.FindController(1)->Panel, nullptr);
        QVERIFY(doc.FindController(2)->Panel != nullptr);
        QCOMPARE(later.FindController(1)->Panel, laterPanel);
        // Nothing left to destroy twice.
        host.log.clear();
        doc.DestroyPanel(1);
        QVERIFY(host.log.isEmpty());
        doc.ClearWorkspace();
        later.ClearWorkspace();
        QCOMPARE(host.alive, 0);
    }

    void aPanelOutlivingItsDocumentTellsNobody() {
        RecordingHost host;
        auto doc = std::make_unique<CTarvexDoc>(&host);
        doc->InsertController(3, controller("A"));
        doc->CreatePanel(3);
        ITermPanel* panel = doc->FindController(3)->Panel;
        doc.reset();
        CTarvexDoc next(&host);
        next.InsertController(3, controller("B"));
        // The frame's windows go after the document; the sanitizer build sees any late call.
        delete panel;
        QCOMPARE(host.alive, 0);
        QCOMPARE(next.FindController(3)->Name, std::string("B"));
    }

    void storedPanelsWithoutHost() {
        CTarvexDoc doc;
        CTermRecord record = controller("A", 11, 12);
        record.Relay1Time = 2;
        record.Firmware = "v1";
        doc.InsertController(9, record);
        doc.CreatePanel(9);
        auto* panel = dynamic_cast<CStoredPanel*>(doc.FindController(9)->Panel);
        QVERIFY(panel);
        QCOMPARE(panel->ID(), 11);
        QCOMPARE(panel->Code(), 12);
        QCOMPARE(panel->ComPort(), 9);
        QCOMPARE(panel->Relay1Time(), 2);
        QCOMPARE(panel->Firmware(), std::string("v1"));
        QCOMPARE(doc.ShowInControllerPane(panel), nullptr);
        QCOMPARE(doc.ShowInControllerPane(nullptr), panel);
        // The document frees its stored panels itself (checked by the sanitizer build).
    }

    void modifiedFlagAndGlobalReference() {
        CTarvexDoc first;
        QCOMPARE(CTarvexDoc::Instance(), &first);
        {
            CTarvexDoc second;
            QCOMPARE(CTarvexDoc::Instance(), &second);
            QSignalSpy spy(&second, &CTarvexDoc::modifiedChanged);
            QVERIFY(!second.IsModified());
            second.SetModifiedFlag();
            second.SetModifiedFlag(true);
            QVERIFY(second.IsModified());
            second.SetModifiedFlag(false);
            QCOMPARE(spy.count(), 2);
            QCOMPARE(spy.at(0).at(0).toBool(), true);
            QCOMPARE(spy.at(1).at(0).toBool(), false);
        }
        QCOMPARE(CTarvexDoc::Instance(), nullptr);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestWorkspaceModel)
#include "tst_workspacemodel.moc"
