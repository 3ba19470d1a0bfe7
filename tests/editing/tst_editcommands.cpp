// The employee and controller commands in the main window: enabling, shortcuts, the
// dialogs answered as a user would, the confirmations, the selections by a controller's ID
// table, copy to database, and the controller's port closed and opened again around an edit.
#include "../operations/commandsworld.h"

#include "catalogue.h"
#include "empdlg.h"
#include "emptyform.h"
#include "empview.h"
#include "resourceids.h"
#include "termdlg.h"
#include "termempview.h"
#include "termview.h"
#include "vr12simulator.h"
#include "workspacefile.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace res;

namespace {
constexpr int kWaitMs = 15000;
const std::string kAnna = "0100000000000001";
const std::string kBert = "0200000000000002";
const std::string kCarl = "0300000000000003";
const std::string kStranger = "0900000000000009";

// The main window on a workspace of employees and controllers, with its own prompts.
struct EditWorld : CommandsWorld {
    CTarvexDoc& doc() const { return *document; }
    CCommandManager& commands() const { return frame->commands(); }
    bool enabled(int id) const { return commands().query(id).enabled(); }
};

CEmpView* employees() {
    return CEmpView::Instance();
}
CTermView* controllers() {
    return CTermView::Instance();
}
CTermEmpView* inController() {
    return CTermEmpView::Instance();
}

int rowOf(const CReportView* list, int column, const QString& text) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->text(row, column) == text)
            return row;
    return -1;
}

QStringList selectedColumn(const CReportView* list, int column) {
    QStringList out;
    for (int row : list->selectedRows())
        out << list->text(row, column);
    return out;
}

void selectController(int comPort) {
    controllers()->selectRow(
        rowOf(controllers(), CTermView::kComPortColumn, QString::number(comPort)));
}

// Answers the dialog the next command opens: `act` gets it while it is shown; a dialog the
// action left open is cancelled so that the test cannot hang.
template <class Dialog> void answerDialog(std::function<void(Dialog*)> act, bool* seen = nullptr) {
    QTimer::singleShot(0, [act, seen] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (seen)
            *seen = dlg != nullptr;
        if (!dlg)
            return;
        act(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
}

void setText(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void clickOk(QDialog* dlg) {
    QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("item%1").arg(IDOK)),
                      Qt::LeftButton);
}

CTermRecord term(const std::string& name, int id, int code,
                 std::map<std::string, std::string> table = {}) {
    CTermRecord r = controller(name, id, code);
    r.IdTable = std::move(table);
    return r;
}

CTarvexDoc::EmployeeMap staff() {
    return {{kAnna, {"Adams", "Anna"}}, {kBert, {"Brown", "Bert"}}, {kCarl, {"Clark", "Carl"}}};
}

// A language whose "Last Name" and "First Name" are its own; everything else is English.
class OtherLanguage : public CCatalogue::Source {
public:
    bool string(int id, QString& out) const override {
        if (id == IDS_LAST_NAME || id == IDS_FIRST_NAME) {
            out = id == IDS_LAST_NAME ? QStringLiteral("Nachname") : QStringLiteral("Vorname");
            return true;
        }
        return CCatalogue::instance().builtIn().string(id, out);
    }
};
} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void enablingShortcutsAndSelections() {
        EditWorld w;
        QVERIFY(w.start(QStringLiteral("select"), staff(),
                        {{11, term("Gate", 1, 1, {{kAnna, "00"}, {kStranger, "01"}})},
                         {12, term("Empty", 2, 2)}}));
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));

        // Nothing selected: only the commands that are always there.
        const int all[] = {ID_EMP_ADD,         ID_EMP_EDIT,      ID_EMP_DELETE,
                           ID_EMP_SELECTALL,   ID_EMP_SELECTIN,  ID_EMP_SELECTNOTIN,
                           ID_TERM_SELNOTINDB, ID_TERM_COPYTODB, ID_TERM_ADD,
                           ID_TERM_EDIT,       ID_TERM_DELETE};
        auto enabledSet = [&] {
            QList<int> on;
            for (int id : all)
                if (w.enabled(id))
                    on << id;
            return on;
        };
        QCOMPARE(enabledSet(), QList<int>({ID_EMP_ADD, ID_EMP_SELECTALL, ID_TERM_ADD}));
        employees()->selectRow(0);
        QCOMPARE(enabledSet(), QList<int>({ID_EMP_ADD, ID_EMP_EDIT, ID_EMP_DELETE, ID_EMP_SELECTALL,
                                           ID_TERM_ADD}));
        employees()->selectRow(1, true);
        QVERIFY(!w.enabled(ID_EMP_EDIT));
        QVERIFY(w.enabled(ID_EMP_DELETE));

        // A controller selected: its table lists two rows, one of them unknown.
        selectController(11);
        QCOMPARE(inController()->rowCount(), 2);
        for (int id : {ID_EMP_SELECTIN, ID_EMP_SELECTNOTIN, ID_TERM_SELNOTINDB, ID_TERM_EDIT,
                       ID_TERM_DELETE})
            QVERIFY2(w.enabled(id), qPrintable(QString::number(id)));
        QVERIFY(!w.enabled(ID_TERM_COPYTODB));

        // Ctrl+T: the employees in the controller's table, and the list gets the focus. The
        // shortcut acts once the idle pass has enabled its command.
        QTRY_VERIFY(w.commands().action(ID_EMP_SELECTIN)->isEnabled());
        controllers()->setFocus();
        QTest::keyClick(controllers(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(selectedColumn(employees(), 2), QStringList({QString::fromStdString(kAnna)}));
        QCOMPARE(QApplication::focusWidget(), employees());
        // Ctrl+N: the others (and no new workspace).
        QTest::keyClick(employees(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(selectedColumn(employees(), 2),
                 QStringList({QString::fromStdString(kBert), QString::fromStdString(kCarl)}));
        QCOMPARE(w.doc().Employees().size(), std::size_t(3));
        // Ctrl+A: everyone.
        inController()->setFocus();
        QTest::keyClick(inController(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(employees()->selectedCount(), 3);
        QCOMPARE(QApplication::focusWidget(), employees());

        // Not in database: the row whose MediaID has no employee, in the controller's list.
        inController()->selectRow(0);
        inController()->selectRow(1, true);
        QVERIFY(w.frame->commands().execute(ID_TERM_SELNOTINDB));
        QCOMPARE(selectedColumn(inController(), 2),
                 QStringList({QString::fromStdString(kStranger)}));
        QCOMPARE(QApplication::focusWidget(), inController());
        QVERIFY(w.enabled(ID_TERM_COPYTODB));

        // A controller with an empty table: "in controller" selects nobody, "not in" everybody.
        selectController(12);
        QCOMPARE(inController()->rowCount(), 0);
        QVERIFY(!w.enabled(ID_TERM_SELNOTINDB));
        QVERIFY(w.commands().execute(ID_EMP_SELECTIN));
        QCOMPARE(employees()->selectedCount(), 0);
        QVERIFY(w.commands().execute(ID_EMP_SELECTNOTIN));
        QCOMPARE(employees()->selectedCount(), 3);
        QVERIFY(!w.doc().IsModified());
    }

    void copyToDatabaseAndDeleteEmployees() {
        EditWorld w;
        QVERIFY(
            w.start(QStringLiteral("copy"), staff(),
                    {{11, term("Gate", 1, 1,
                               {{kAnna, "00"}, {kStranger, "01"}, {"0800000000000008", "02"}})}}));
        selectController(11);
        QCOMPARE(inController()->rowCount(), 3);
        inController()->setSelectedRows({0, 1, 2});
        QVERIFY(w.commands().execute(ID_TERM_COPYTODB));
        QCOMPARE(w.doc().Employees().size(), std::size_t(5));
        QCOMPARE(w.doc().FindEmployee(kStranger)->LastName, std::string("Last Name"));
        QCOMPARE(w.doc().FindEmployee(kStranger)->FirstName, std::string("First Name"));
        QCOMPARE(w.doc().FindEmployee(kAnna)->LastName, std::string("Adams"));
        QVERIFY(w.doc().IsModified());
        QCOMPARE(employees()->rowCount(), 5);
        // The refill kept the controller: its list now names everyone.
        QCOMPARE(inController()->rowCount(), 3);
        QCOMPARE(rowOf(inController(), 0, QStringLiteral("Last Name")) >= 0, true);

        // A second run adds nothing and changes nothing.
        QVERIFY(CWorkspaceFile::Save(w.doc(),
                                     TestWorld::instance()->path(QStringLiteral("copy2.VR-12")))
                    .ok);
        w.doc().SetModifiedFlag(false);
        QVERIFY(!w.doc().IsModified());
        inController()->setSelectedRows({0, 1, 2});
        QVERIFY(w.commands().execute(ID_TERM_COPYTODB));
        QCOMPARE(w.doc().Employees().size(), std::size_t(5));
        QVERIFY(!w.doc().IsModified());

        // The names come from the language in use.
        w.doc().RemoveEmployee(kStranger);
        w.doc().FillAllLists();
        selectController(11);
        inController()->selectRow(rowOf(inController(), 2, QString::fromStdString(kStranger)));
        CCatalogue::instance().setSource(std::make_unique<OtherLanguage>());
        const bool copied = w.commands().execute(ID_TERM_COPYTODB);
        CCatalogue::instance().setSource(nullptr);
        QVERIFY(copied);
        QCOMPARE(w.doc().FindEmployee(kStranger)->LastName, std::string("Nachname"));
        QCOMPARE(w.doc().FindEmployee(kStranger)->FirstName, std::string("Vorname"));

        // Deleting asks first; Cancel leaves everything as it was.
        w.doc().SetModifiedFlag(false);
        employees()->selectRow(rowOf(employees(), 2, QString::fromStdString(kAnna)));
        w.prompts.okCancelAnswers = {false};
        QVERIFY(w.commands().execute(ID_EMP_DELETE));
        QCOMPARE(w.prompts.confirmations,
                 QStringList({"Are you sure you wish to delete selected employees?"}));
        QVERIFY(w.doc().FindEmployee(kAnna));
        QVERIFY(!w.doc().IsModified());
        // OK: gone from the employees, still in the controller's table, listed without names.
        employees()->selectRow(rowOf(employees(), 2, QString::fromStdString(kAnna)));
        employees()->selectRow(rowOf(employees(), 2, QString::fromStdString(kBert)), true);
        w.prompts.okCancelAnswers = {true};
        QVERIFY(w.commands().execute(ID_EMP_DELETE));
        QVERIFY(!w.doc().FindEmployee(kAnna));
        QVERIFY(!w.doc().FindEmployee(kBert));
        QVERIFY(w.doc().IsModified());
        QCOMPARE(w.doc().FindController(11)->IdTable.count(kAnna), std::size_t(1));
        selectController(11);
        const int anna = rowOf(inController(), 2, QString::fromStdString(kAnna));
        QVERIFY(anna >= 0);
        QCOMPARE(inController()->text(anna, 0), QString());
        QCOMPARE(inController()->text(anna, 1), QString());
    }

    void employeeDialogsThroughTheCommands() {
        EditWorld w;
        QVERIFY(w.start(QStringLiteral("employees"), staff(), {}));

        // Cancel leaves the workspace as it was and unmarked.
        bool seen = false;
        answerDialog<CEmpDlg>(
            [](CEmpDlg* dlg) {
                QTest::keyClicks(dlg->field(IDC_EMP_MEDIAID), "0400000000000004");
                QTest::keyClicks(dlg->field(IDC_EMP_LASTNAME), "Dunn");
                QTest::keyClicks(dlg->field(IDC_EMP_FIRSTNAME), "Dora");
                dlg->reject();
            },
            &seen);
        QVERIFY(w.commands().execute(ID_EMP_ADD));
        QVERIFY(seen);
        QCOMPARE(w.doc().Employees().size(), std::size_t(3));
        QVERIFY(!w.doc().IsModified());

        // A duplicate is refused with a stop message and the dialog stays; then a new one.
        QStringList afterRefusal;
        answerDialog<CEmpDlg>([&](CEmpDlg* dlg) {
            QTest::keyClicks(dlg->field(IDC_EMP_MEDIAID), QString::fromStdString(kAnna));
            QTest::keyClicks(dlg->field(IDC_EMP_LASTNAME), "Dunn");
            QTest::keyClicks(dlg->field(IDC_EMP_FIRSTNAME), "Dora");
            clickOk(dlg);
            afterRefusal << (dlg->isVisible() ? "open" : "closed")
                         << (dlg->focusWidget() == dlg->field(IDC_EMP_MEDIAID) ? "MediaID" : "?");
            setText(dlg->field(IDC_EMP_MEDIAID), QStringLiteral("0400000000000004"));
            // Ten thousand characters pasted as the last name.
            QApplication::clipboard()->setText(QString(10000, u'x'));
            dlg->field(IDC_EMP_LASTNAME)->selectAll();
            QTest::keyClick(dlg->field(IDC_EMP_LASTNAME), Qt::Key_V, Qt::ControlModifier);
            clickOk(dlg);
        });
        QVERIFY(w.commands().execute(ID_EMP_ADD));
        QCOMPARE(w.prompts.stops, QStringList({"MediaID already exists."}));
        QCOMPARE(afterRefusal, QStringList({"open", "MediaID"}));
        const CEmpRecord* dora = w.doc().FindEmployee("0400000000000004");
        QVERIFY(dora);
        QCOMPARE(dora->LastName, std::string(10000, 'x'));
        QVERIFY(w.doc().IsModified());
        QCOMPARE(employees()->rowCount(), 4);
        const int row = rowOf(employees(), 2, QStringLiteral("0400000000000004"));
        QCOMPARE(employees()->text(row, 0), QString(10000, u'x'));

        // The long name goes through the file and back.
        const QString file = TestWorld::instance()->path(QStringLiteral("long.VR-12"));
        QVERIFY(CWorkspaceFile::Save(w.doc(), file).ok);
        QVERIFY(!CWorkspaceFile::Load(file, w.doc()).failed());
        QCOMPARE(w.doc().FindEmployee("0400000000000004")->LastName, std::string(10000, 'x'));
        QCOMPARE(employees()->rowCount(), 4);

        // Edit: the row with the selection mark fills the dialog; the MediaID cannot change.
        employees()->selectRow(rowOf(employees(), 2, QString::fromStdString(kBert)));
        QStringList filled;
        answerDialog<CEmpDlg>([&](CEmpDlg* dlg) {
            filled << dlg->LastNameText() << dlg->FirstNameText() << dlg->MediaIdText()
                   << (dlg->field(IDC_EMP_MEDIAID)->isEnabled() ? "enabled" : "disabled")
                   << (dlg->focusWidget() == dlg->field(IDC_EMP_LASTNAME) ? "Last" : "?");
            setText(dlg->field(IDC_EMP_LASTNAME), QStringLiteral("Baker"));
            // A letter the code page has, and one it has not: that one is reported.
            QApplication::clipboard()->setText(QStringLiteral("B\u00e9rt\u540d"));
            dlg->field(IDC_EMP_FIRSTNAME)->selectAll();
            QTest::keyClick(dlg->field(IDC_EMP_FIRSTNAME), Qt::Key_V, Qt::ControlModifier);
            clickOk(dlg);
        });
        QVERIFY(w.commands().execute(ID_EMP_EDIT));
        QCOMPARE(filled,
                 QStringList({"Brown", "Bert", QString::fromStdString(kBert), "disabled", "Last"}));
        QCOMPARE(w.doc().FindEmployee(kBert)->LastName, std::string("Baker"));
        const std::string first = w.doc().FindEmployee(kBert)->FirstName;
        QCOMPARE(first.size(), std::size_t(5));
        QCOMPARE(first.back(), '?');
        QCOMPARE(w.prompts.warnings.size(), 1);
        QVERIFY(w.prompts.warnings.first().contains(QStringLiteral("\u540d")));
        QVERIFY(w.doc().IsModified());
        QVERIFY(rowOf(employees(), 0, QStringLiteral("Baker")) >= 0);
        QCOMPARE(w.prompts.stops.size(), 1);
    }

    void controllerPanelsAndPorts() {
        Vr12Simulator sim1, sim3;
        QVERIFY(sim1.start(TestWorld::instance()->deviceDir(), 1));
        QVERIFY(sim3.start(TestWorld::instance()->deviceDir(), 3));
        // COM4 names a device that is not there.
        const QString link4 = TestWorld::instance()->deviceDir() + QStringLiteral("/COM4");
        QFile::remove(link4);
        QVERIFY(QFile::link(TestWorld::instance()->path(QStringLiteral("unplugged")), link4));
        EditWorld w;
        CTermRecord front = term("Front", 11, 513, {{kAnna, "00"}});
        front.Master = "00000000000000AA";
        front.MasterName = "Adams Anna";
        front.Relay1Time = 3;
        QVERIFY(w.start(QStringLiteral("ports"), staff(), {{1, front}}));
        QVERIFY(sim1.lineHeld());
        QVERIFY(!sim3.lineHeld());
        // The factory notes whether the port was free when each new form is made.
        QStringList made;
        CMainPanes::Instance()->setPanelFactory([&](int port, QWidget* parent) -> QWidget* {
            const bool held = port == 1 ? sim1.lineHeld() : port == 3 && sim3.lineHeld();
            made << QStringLiteral("COM%1 %2").arg(port).arg(held ? "held" : "free");
            return new CTermFormView(parent);
        });

        // Cancel adds nothing.
        answerDialog<CTermDlg>([](CTermDlg* dlg) { dlg->reject(); });
        QVERIFY(w.commands().execute(ID_TERM_ADD));
        QCOMPARE(w.doc().Controllers().size(), std::size_t(1));
        QVERIFY(!w.doc().IsModified());
        QVERIFY(made.isEmpty());

        // Adding on COM1 again is refused; on COM3 the new form opens the port.
        answerDialog<CTermDlg>([](CTermDlg* dlg) {
            setText(dlg->field(IDC_TERMDLG_NAME), QStringLiteral("Shed"));
            setText(dlg->field(IDC_TERMDLG_ID), QStringLiteral("11"));
            setText(dlg->field(IDC_TERMDLG_CODE), QStringLiteral("513"));
            clickOk(dlg);
            setText(dlg->field(IDC_TERMDLG_COMPORT), QStringLiteral("3"));
            clickOk(dlg);
        });
        QVERIFY(w.commands().execute(ID_TERM_ADD));
        QCOMPARE(w.prompts.stops, QStringList({"COM port already exists."}));
        QCOMPARE(made, QStringList({"COM3 free"}));
        QVERIFY(w.form(3));
        QCOMPARE(w.form(3)->Status(), QStringLiteral("OK"));
        QCOMPARE(w.form(3)->field(IDC_TERM_NAME)->text(), QStringLiteral("Shed"));
        QVERIFY(w.form(3)->Master().empty());
        QVERIFY(sim3.lineHeld());
        QVERIFY(w.doc().IsModified());
        QCOMPARE(controllers()->rowCount(), 2);
        QCOMPARE(CMainPanes::Instance()->shownWindow(), CMainPanes::Instance()->emptyForm());

        // A port that cannot open: the form says "Error" and the controller stays.
        answerDialog<CTermDlg>([](CTermDlg* dlg) {
            setText(dlg->field(IDC_TERMDLG_NAME), QStringLiteral("Loft"));
            setText(dlg->field(IDC_TERMDLG_COMPORT), QStringLiteral("4"));
            clickOk(dlg);
        });
        QVERIFY(w.commands().execute(ID_TERM_ADD));
        QVERIFY(w.form(4));
        QCOMPARE(w.form(4)->Status(), QStringLiteral("Error"));
        QCOMPARE(w.doc().Controllers().size(), std::size_t(3));

        // Editing the first controller after its master was read and a person registered.
        selectController(1);
        QPointer<CTermFormView> old = w.form(1);
        QCOMPARE(CMainPanes::Instance()->shownWindow(), old.data());
        old->SetMaster("0000000000000BBB", "Someone Else");
        sim1.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(1)));
        QTRY_VERIFY_WITH_TIMEOUT(!old->LastRegistration().isEmpty(), kWaitMs);
        w.doc().SetModifiedFlag(false);
        made.clear();
        QStringList filled;
        answerDialog<CTermDlg>([&](CTermDlg* dlg) {
            for (int item :
                 {IDC_TERMDLG_NAME, IDC_TERMDLG_ID, IDC_TERMDLG_CODE, IDC_TERMDLG_COMPORT})
                filled << dlg->field(item)->text();
            filled << (dlg->field(IDC_TERMDLG_COMPORT)->isEnabled() ? "enabled" : "disabled");
            setText(dlg->field(IDC_TERMDLG_NAME), QStringLiteral("Front door"));
            setText(dlg->field(IDC_TERMDLG_CODE), QStringLiteral("9"));
            clickOk(dlg);
        });
        QVERIFY(w.commands().execute(ID_TERM_EDIT));
        QCOMPARE(filled, QStringList({"Front", "11", "513", "1", "disabled"}));
        // The old form went and gave the port back before the new one opened it.
        QVERIFY(old.isNull());
        QCOMPARE(made, QStringList({"COM1 free"}));
        QVERIFY(sim1.lineHeld());
        CTermFormView* renewed = w.form(1);
        QVERIFY(renewed);
        QCOMPARE(renewed->Status(), QStringLiteral("OK"));
        QCOMPARE(renewed->field(IDC_TERM_NAME)->text(), QStringLiteral("Front door"));
        QCOMPARE(renewed->Code(), 9);
        QCOMPARE(renewed->ID(), 11);
        // The stored master, not the one read since; no last registration yet.
        QCOMPARE(renewed->Master(), std::string("00000000000000AA"));
        QCOMPARE(renewed->MasterName(), std::string("Adams Anna"));
        QCOMPARE(renewed->Relay1Time(), 3);
        QVERIFY(renewed->LastRegistration().isEmpty());
        QCOMPARE(w.doc().FindController(1)->Name, std::string("Front door"));
        QCOMPARE(w.doc().FindController(1)->IdTable.size(), std::size_t(1));
        QVERIFY(w.doc().IsModified());
        QVERIFY(rowOf(controllers(), 0, QStringLiteral("Front door")) >= 0);
        QCOMPARE(controllers()->selectedCount(), 0);
        QCOMPARE(CMainPanes::Instance()->shownWindow(), CMainPanes::Instance()->emptyForm());
        // And it works: a registration reaches the new form.
        sim1.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(2)));
        QTRY_VERIFY_WITH_TIMEOUT(!renewed->LastRegistration().isEmpty(), kWaitMs);

        // Deleting asks; Cancel keeps the controller and its open port.
        selectController(3);
        w.doc().SetModifiedFlag(false);
        w.prompts.okCancelAnswers = {false, true};
        QVERIFY(w.commands().execute(ID_TERM_DELETE));
        QVERIFY(w.form(3));
        QVERIFY(sim3.lineHeld());
        QVERIFY(!w.doc().IsModified());
        QVERIFY(w.commands().execute(ID_TERM_DELETE));
        QCOMPARE(
            w.prompts.confirmations,
            QStringList(2, QStringLiteral("Are you sure you wish to delete selected controller?")));
        QVERIFY(!w.doc().FindController(3));
        QVERIFY(!sim3.lineHeld());
        QVERIFY(w.doc().IsModified());
        QCOMPARE(controllers()->rowCount(), 2);
        QCOMPARE(inController()->rowCount(), 0);
    }
};

TARVEX_TEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
