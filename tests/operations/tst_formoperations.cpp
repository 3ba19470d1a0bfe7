// The controller commands that change the form: firmware, master, parameters and the lock, in
// the program against a simulated controller, with the bytes each one puts on the wire; and
// when each of the ten commands is offered.
#include "operationsworld.h"

#include "../workspace/workspacebytes.h"
#include "panetext.h"

#include <QComboBox>
#include <QLineEdit>

using namespace res;

namespace {
QByteArray id(int n) {
    return Vr12Simulator::mediaIdFor(n);
}

const std::map<std::string, CEmpRecord> kEmployees = {
    {id(1).toStdString(), employee("Abbot", "Ann")},
    {id(2).toStdString(), employee("Baker", "Bob")},
    {id(3).toStdString(), employee("Cole", "Cid")},
};
} // namespace

class TestFormOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void commandsOfferedByTheListSelections() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("enabling"), kEmployees, {{1, controller("Front", 1, 0)}}));
        auto offered = [&] {
            QList<int> out;
            for (const int c : OperationsWorld::kCommands)
                if (w.enabled(c))
                    out << c;
            return out;
        };
        QCOMPARE(offered(), QList<int>());

        // A controller: everything but the writes of employees and the removal.
        QVERIFY(w.selectController(1));
        const QList<int> controllerOnly{
            ID_TERM_FIRMWARE,    ID_TERM_READMASTER,  ID_TERM_OPENLOCK,    ID_TERM_READPARAMS,
            ID_TERM_WRITEPARAMS, ID_TERM_READIDTABLE, ID_TERM_CLEARIDTABLE};
        QCOMPARE(offered(), controllerOnly);

        // One employee as well: both writes; two: Write master is for exactly one.
        OperationsWorld::select(CEmpView::Instance(), {id(2)});
        QVERIFY(w.enabled(ID_TERM_WRITEMASTER));
        QVERIFY(w.enabled(ID_TERM_WRITEIDTABLE));
        OperationsWorld::select(CEmpView::Instance(), {id(2), id(3)});
        QVERIFY(!w.enabled(ID_TERM_WRITEMASTER));
        QVERIFY(w.enabled(ID_TERM_WRITEIDTABLE));

        // The removal needs a row in the controller's employees.
        QVERIFY(!w.enabled(ID_TERM_REMOVEIDTABLE));
        w.doc()->FindController(1)->IdTable = {{id(3).toStdString(), "00"}};
        w.doc()->FillList(WorkspaceList::ControllerEmployees);
        OperationsWorld::select(CTermEmpView::Instance(), {id(3)});
        QVERIFY(w.enabled(ID_TERM_REMOVEIDTABLE));

        // Employees without a controller: none of the controller's commands.
        CTermView::Instance()->clearRowSelection();
        OperationsWorld::select(CEmpView::Instance(), {id(1)});
        QVERIFY(!w.enabled(ID_TERM_WRITEMASTER));
        QVERIFY(!w.enabled(ID_TERM_WRITEIDTABLE));
        QVERIFY(!w.enabled(ID_TERM_FIRMWARE));
    }

    void firmwareMasterParametersAndLock() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        sim.setFirmware("VR-12 v3.01 test  ");
        OperationsWorld w;
        CTermRecord front = controller("Front", 1, 0);
        front.Relay1Time = 2;
        front.Relay2Time = 2;
        QVERIFY(w.startWith(QStringLiteral("form"), kEmployees, {{1, front}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        auto status = [&] { return form->field(IDC_TERM_STATUS)->text(); };

        // Firmware: "V", the control's text in the field.
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_FIRMWARE));
        QCOMPARE(sim.receivedBytes(), QByteArray("V"));
        QCOMPARE(form->field(IDC_TERM_FIRMWARE)->text(), QStringLiteral("VR-12 v3.01 test  "));
        QCOMPARE(status(), QStringLiteral("OK"));
        // A silent controller: the code, and no firmware.
        sim.setFault('V', Vr12Simulator::Fault::Silent, 1);
        QVERIFY(w.run(ID_TERM_FIRMWARE));
        QCOMPARE(form->field(IDC_TERM_FIRMWARE)->text(), QString());
        QCOMPARE(status(), QStringLiteral("Error 1"));

        // Read master: the employee's name; an unknown medium has none but is "OK".
        w.doc()->SetModifiedFlag(false);
        sim.setMaster(id(2));
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_READMASTER));
        QCOMPARE(sim.receivedBytes(), QByteArray("M"));
        QCOMPARE(form->field(IDC_TERM_MASTER)->text(), QString::fromLatin1(id(2)));
        QCOMPARE(form->field(IDC_TERM_EMPLOYEE)->text(), QStringLiteral("Baker Bob"));
        QCOMPARE(status(), QStringLiteral("OK"));
        sim.setMaster(id(9));
        QVERIFY(w.run(ID_TERM_READMASTER));
        QCOMPARE(form->field(IDC_TERM_MASTER)->text(), QString::fromLatin1(id(9)));
        QCOMPARE(form->field(IDC_TERM_EMPLOYEE)->text(), QString());
        QCOMPARE(status(), QStringLiteral("OK"));
        sim.setMaster({});
        QVERIFY(w.run(ID_TERM_READMASTER));
        QCOMPARE(form->field(IDC_TERM_MASTER)->text(), QString());
        QCOMPARE(status(), QStringLiteral("Erased"));
        QVERIFY(!w.doc()->IsModified());

        // Write master: the selected employee, then the master read back.
        // The selected row counts, not another that holds the selection mark.
        CEmpView* list = CEmpView::Instance();
        OperationsWorld::select(list, {id(3)});
        list->selectionModel()->setCurrentIndex(
            list->model()->index(OperationsWorld::rowOf(list, id(1)), 0),
            QItemSelectionModel::NoUpdate);
        QCOMPARE(list->selectionMarkRow(), OperationsWorld::rowOf(list, id(1)));
        QCOMPARE(list->selectedCount(), 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEMASTER));
        QCOMPARE(sim.receivedBytes(), "N" + id(3) + "M");
        QCOMPARE(sim.master(), id(3));
        QCOMPARE(form->Master(), id(3).toStdString());
        QCOMPARE(form->field(IDC_TERM_EMPLOYEE)->text(), QStringLiteral("Cole Cid"));
        QCOMPARE(status(), QStringLiteral("OK"));
        QVERIFY(w.doc()->IsModified());
        // Refused: the code, no read-back.
        sim.setFault('N', Vr12Simulator::Fault::StatusD, 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEMASTER));
        QCOMPARE(sim.receivedBytes(), "N" + id(3));
        QCOMPARE(status(), QStringLiteral("Error 6"));

        // Read parameters: two decimal digits each, cut to three bits; the record and the
        // modified flag stay.
        w.doc()->SetModifiedFlag(false);
        sim.setParams("0907000000000000");
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_READPARAMS));
        QCOMPARE(sim.receivedBytes(), QByteArray("T"));
        QCOMPARE(form->relayList(IDC_TERM_RELAY1)->currentIndex(), 1);
        QCOMPARE(form->relayList(IDC_TERM_RELAY2)->currentIndex(), 7);
        QCOMPARE(form->Relay1Time(), 1);
        QCOMPARE(w.doc()->FindController(1)->Relay1Time, 2);
        QVERIFY(!w.doc()->IsModified());
        QCOMPARE(status(), QStringLiteral("OK"));

        // Write parameters: the indices as "%02d%02d" and twelve zeros.
        form->relayList(IDC_TERM_RELAY1)->setCurrentIndex(3);
        form->relayList(IDC_TERM_RELAY2)->setCurrentIndex(5);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEPARAMS));
        QCOMPARE(sim.receivedBytes(), QByteArray("J0305000000000000"));
        QCOMPARE(sim.params(), QByteArray("0305000000000000"));
        QCOMPARE(status(), QStringLiteral("OK"));
        // A write that failed does not leave the last "OK" standing.
        sim.setFault('J', Vr12Simulator::Fault::Silent, 1);
        QVERIFY(w.run(ID_TERM_WRITEPARAMS));
        QCOMPARE(status(), QStringLiteral("Error 1"));

        // Open lock: one byte, nothing shown.
        form->SetStatus(QStringLiteral("before"));
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_OPENLOCK));
        QTRY_COMPARE(sim.receivedBytes(), QByteArray("O"));
        QTRY_COMPARE(sim.lockOpenings(), 1);
        QCOMPARE(status(), QStringLiteral("before"));
    }

    // What the controller sends is stored as the bytes that came, and what goes to it is the
    // stored bytes, whatever the code page shows for them: windows-1252 has letters for 0xE9
    // and 0x80 and nothing for 0x81 (the list shows U+FFFD).
    void controllerTextsAreStoredByteForByte() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 2));
        PaneText::setCodePage(QStringLiteral("windows-1252"));
        const QByteArray accented("\xE9\x80"
                                  "00000000000042",
                                  16);
        const QByteArray undefined("000000000000\x81\xE9"
                                   "43",
                                   16);
        const std::map<std::string, CEmpRecord> employees = {
            {accented.toStdString(), employee("Dupr\xE9", "Eve")},
            {undefined.toStdString(), employee("Fox", "Fay")},
        };
        OperationsWorld w;
        QVERIFY(w.startWith(QStringLiteral("bytes"), employees, {{2, controller("Side", 2, 0)}}));
        CTermFormView* form = w.selectController(2);
        QVERIFY(form);
        QCOMPARE(
            CEmpView::Instance()->text(OperationsWorld::rowOfKey(CEmpView::Instance(), undefined),
                                       CEmpView::kMediaIdColumn),
            QStringLiteral("000000000000\uFFFD\u00e943"));

        const QByteArray firmware("VR-12 caf\xE9 \x81\x80 1.0");
        sim.setFirmware(firmware);
        QVERIFY(w.run(ID_TERM_FIRMWARE));
        QCOMPARE(form->Firmware(), firmware.leftJustified(18, ' ').toStdString());

        // The master as it came finds its employee.
        sim.setMaster(accented);
        QVERIFY(w.run(ID_TERM_READMASTER));
        QCOMPARE(form->Master(), accented.toStdString());
        QCOMPARE(form->MasterName(), std::string("Dupr\xE9 Eve"));
        QCOMPARE(form->field(IDC_TERM_EMPLOYEE)->text(), QStringLiteral("Dupr\u00e9 Eve"));

        // Write master sends the selected employee's stored bytes, not its shown text.
        OperationsWorld::selectKeys(CEmpView::Instance(), {undefined});
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEMASTER));
        QCOMPARE(sim.receivedBytes(), "N" + undefined + "M");
        QCOMPARE(sim.master(), undefined);
        QCOMPARE(form->Master(), undefined.toStdString());
        QCOMPARE(form->MasterName(), std::string("Fox Fay"));

        // Write to ID table likewise; the table read back holds the IDs and slots as they came.
        const QByteArray fromController("\xFF\xE9"
                                        "00000000000044",
                                        16);
        sim.setSlot(0x2A, fromController);
        OperationsWorld::selectKeys(CEmpView::Instance(), {accented, undefined});
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
        QVERIFY(sim.receivedBytes().startsWith("A" + accented + "A" + undefined));
        const std::map<std::string, std::string> expected = {
            {accented.toStdString(), "00"},
            {undefined.toStdString(), "01"},
            {fromController.toStdString(), "2A"},
        };
        QCOMPARE(tableOf(sim), expected);
        QCOMPARE(w.mirror(2), expected);
        QCOMPARE(form->field(IDC_TERM_STATUS)->text(), QStringLiteral("OK"));
        PaneText::setCodePage(QString());
    }

    // A relay index the lists do not hold (a workspace file can carry any number) shows as an
    // unknown time and stays what the file holds until the user picks a time; Write parameters
    // does not send it as some other time.
    void relayTimeOutsideTheListIsKept() {
        using namespace WorkspaceBytes;
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 3));
        auto shed = [](int relay1, int relay2) {
            return kHeader + int32(0) + int32(1) + int32(3) + int32(33) + int32(7) + text("Shed") +
                   int32(relay1) + int32(relay2) + text("") + text("") + text("") + int32(0);
        };
        const QString file = TestWorld::instance()->path(QStringLiteral("relays.VR-12"));
        writeBytes(file, shed(9, -1));
        OperationsWorld w;
        QVERIFY(w.startOn(file));
        CTermFormView* form = w.selectController(3);
        QVERIFY(form);
        QComboBox* relay1 = form->relayList(IDC_TERM_RELAY1);
        QComboBox* relay2 = form->relayList(IDC_TERM_RELAY2);
        QCOMPARE(relay1->currentIndex(), -1);
        QCOMPARE(relay1->placeholderText(), QStringLiteral("unknown (9)"));
        QCOMPARE(relay1->accessibleDescription(), QStringLiteral("unknown (9)"));
        QCOMPARE(relay2->currentIndex(), -1);
        QCOMPARE(relay2->placeholderText(), QStringLiteral("unknown (-1)"));
        QCOMPARE(relay1->count(), 8);
        QCOMPARE(form->Relay1Time(), 9);
        QCOMPARE(form->Relay2Time(), -1);
        QVERIFY(!w.doc()->IsModified());
        // Saved back as it came.
        QCOMPARE(QByteArray::fromStdString(CWorkspaceFile::Serialize(*w.doc())), shed(9, -1));

        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEPARAMS));
        QTest::qWait(100);
        QCOMPARE(sim.receivedBytes(), QByteArray());
        QCOMPARE(form->field(IDC_TERM_STATUS)->text(),
                 QStringLiteral("Choose both relay times first"));
        QCOMPARE(form->Relay1Time(), 9);

        // The user picks relay 2's time: that one changes, relay 1 keeps the file's value.
        QTest::keyClick(relay2, Qt::Key_Down);
        QCOMPARE(relay2->currentIndex(), 0);
        QCOMPARE(relay2->accessibleDescription(), QString());
        QVERIFY(w.doc()->IsModified());
        const CTermRecord* record = w.doc()->FindController(3);
        QCOMPARE(record->Relay1Time, 9);
        QCOMPARE(record->Relay2Time, 0);
        QCOMPARE(relay1->currentIndex(), -1);
        QCOMPARE(QByteArray::fromStdString(CWorkspaceFile::Serialize(*w.doc())), shed(9, 0));
    }

    // Click A, Ctrl+click B, Ctrl+click B again: A alone is selected, the mark stays on B, and
    // Write master writes A.
    void writeMasterTakesTheSelectedRowAfterCtrlClicks() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("clicks"), kEmployees, {{1, controller("Front", 1, 0)}}));
        QVERIFY(w.selectController(1));
        CEmpView* list = CEmpView::Instance();
        auto click = [list](int row, Qt::KeyboardModifiers modifiers) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                              list->visualRect(list->model()->index(row, 0)).center());
        };
        const int a = OperationsWorld::rowOf(list, id(1));
        const int b = OperationsWorld::rowOf(list, id(2));
        click(a, {});
        click(b, Qt::ControlModifier);
        click(b, Qt::ControlModifier);
        QCOMPARE(list->selectedRows(), QList<int>({a}));
        QCOMPARE(list->selectionMarkRow(), b);
        QVERIFY(w.enabled(ID_TERM_WRITEMASTER));
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEMASTER));
        QCOMPARE(sim.receivedBytes(), "N" + id(1) + "M");
        QCOMPARE(sim.master(), id(1));
    }
};

TARVEX_TEST_MAIN(TestFormOperations)
#include "tst_formoperations.moc"
