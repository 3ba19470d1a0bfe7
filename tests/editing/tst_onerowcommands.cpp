// Which row a command takes: the commands on one row act on the selected row, never on a row
// that merely holds the selection mark, and every command finds its employee by the row's
// stored MediaID rather than by its shown text. Driven through the real lists (clicks as a user
// makes them) and through selections filled without a window.
#include "scriptedprompts.h"

#include "editcommands.h"
#include "empdlg.h"
#include "empview.h"
#include "mainpanes.h"
#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termempview.h"
#include "termrecord.h"
#include "testworld.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace res;

namespace {
const std::string kAnna = "0100000000000001";
const std::string kBert = "0200000000000002";
const std::string kCarl = "0300000000000003";

// A list as a test fills it: rows, their keys, the selection and the mark.
class FakeList : public IListSelection {
public:
    std::vector<std::string> keys;
    QList<int> selected;
    int mark = -1;
    QList<int> lastSelected;

    int rowCount() const override { return int(keys.size()); }
    QList<int> selectedRows() const override { return selected; }
    int selectedCount() const override { return int(selected.size()); }
    int selectedMarkRow() const override { return selected.contains(mark) ? mark : -1; }
    std::string key(int row) const override { return keys.at(size_t(row)); }
    void selectRowsAndFocus(const QList<int>& rows) override { lastSelected = selected = rows; }
};

// Opens the dialog of the next command and notes what it was filled with: last name and
// MediaID; OK is pressed when a last name to type is given, else it is cancelled.
void answerEmployeeDialog(QStringList* filled, const QString& typeLastName = QString()) {
    QTimer::singleShot(0, [filled, typeLastName] {
        auto* dlg = qobject_cast<CEmpDlg*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        *filled << dlg->LastNameText() << dlg->MediaIdText();
        if (!typeLastName.isEmpty()) {
            QLineEdit* last = dlg->field(IDC_EMP_LASTNAME);
            last->selectAll();
            QTest::keyClicks(last, typeLastName);
            QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("item%1").arg(IDOK)),
                              Qt::LeftButton);
        }
        if (dlg->isVisible())
            dlg->reject();
    });
}

void clickRow(CReportView* list, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, cell.center());
}

// Found through the model's key role, so that the row is found whatever the commands read.
int rowOfKey(const CReportView* list, const std::string& key) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->model()->index(row, 0).data(CReportModel::KeyRole).toByteArray().toStdString() ==
            key)
            return row;
    return -1;
}
} // namespace

class TestOneRowCommands : public QObject {
    Q_OBJECT
private slots:
    // The rule every one-row command shares, on selections filled without a window.
    void actedOnRowIsTheSelectedOne() {
        FakeList list;
        list.keys = {kAnna, kBert, kCarl};
        struct Case {
            QList<int> selected;
            int mark;
            int expected;
        };
        const Case cases[] = {
            {{1}, 1, 1},     // the mark on the one selected row
            {{0}, 2, 0},     // the mark on a row no longer selected: the selected row
            {{}, 2, -1},     // the mark alone selects nothing
            {{0, 2}, 2, 2},  // several selected: the one under the mark
            {{0, 2}, 1, -1}, // several selected, the mark on neither: no single row
            {{}, -1, -1},
        };
        for (const Case& c : cases) {
            list.selected = c.selected;
            list.mark = c.mark;
            QCOMPARE(actedOnRow(list), c.expected);
        }
    }

    // Click A, Ctrl+click B, Ctrl+click B again: A alone is selected while the mark stays on
    // B, and Edit employee opens A.
    void editEmployeeOpensTheSelectedRowAfterCtrlClicks() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.resize(900, 600);
        doc.InsertEmployee(kAnna, {"Adams", "Anna"});
        doc.InsertEmployee(kBert, {"Brown", "Bert"});
        doc.InsertEmployee(kCarl, {"Clark", "Carl"});
        doc.FillAllLists();
        panes.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panes));
        CEmpView* list = panes.empView();
        const int anna = rowOfKey(list, kAnna);
        const int bert = rowOfKey(list, kBert);

        clickRow(list, anna);
        clickRow(list, bert, Qt::ControlModifier);
        QCOMPARE(list->selectedRows(), QList<int>({anna, bert}));
        clickRow(list, bert, Qt::ControlModifier);
        QCOMPARE(list->selectedRows(), QList<int>({anna}));
        QCOMPARE(list->selectionMarkRow(), bert);

        ScriptedPrompts prompts;
        CEditCommands commands(doc, prompts, [&] { return panes.selection(); });
        QStringList filled;
        answerEmployeeDialog(&filled, QStringLiteral("Archer"));
        QVERIFY(commands.OnCommand(ID_EMP_EDIT));
        QCOMPARE(filled, QStringList({"Adams", QString::fromStdString(kAnna)}));
        QCOMPARE(doc.FindEmployee(kAnna)->LastName, std::string("Archer"));
        QCOMPARE(doc.FindEmployee(kBert)->LastName, std::string("Brown"));
    }

    // With one controller selected and the mark on another row, Delete selected controller
    // deletes the selected one; Edit controller, without a panel in the pane, edits it too.
    void deleteControllerTakesTheSelectedRow() {
        CTarvexDoc doc;
        CTermRecord gate;
        gate.Name = "Gate";
        CTermRecord door;
        door.Name = "Door";
        doc.InsertController(1, gate);
        doc.InsertController(2, door);
        FakeList controllers;
        controllers.keys = {"2", "1"};
        controllers.selected = {1};
        controllers.mark = 0;
        ScriptedPrompts prompts;
        prompts.okCancelAnswers = {true};
        CEditCommands commands(doc, prompts, [&] {
            return WorkspaceSelection{nullptr, &controllers, nullptr};
        });
        QVERIFY(commands.OnCommand(ID_TERM_DELETE));
        QVERIFY(!doc.FindController(1));
        QVERIFY(doc.FindController(2));
    }

    // An employee whose stored MediaID holds a byte the code page does not define shows
    // another character, which would not convert back: the commands use the stored bytes.
    void commandsFindEmployeesByTheirStoredBytes() {
        PaneText::setCodePage(QStringLiteral("windows-1252"));
        const std::string undefined("000000000000\x81\xE9"
                                    "43",
                                    16);
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertEmployee(undefined, {"Fox", "Fay"});
        doc.InsertEmployee(kAnna, {"Adams", "Anna"});
        CTermRecord gate;
        gate.IdTable = {{undefined, "00"}, {kBert, "01"}};
        doc.InsertController(1, gate);
        doc.FillAllLists();
        CEmpView* list = panes.empView();
        const int fox = rowOfKey(list, undefined);
        QVERIFY(fox >= 0);
        QVERIFY(list->text(fox, CEmpView::kMediaIdColumn).contains(QChar(0xFFFD)));

        ScriptedPrompts prompts;
        CEditCommands commands(doc, prompts, [&] { return panes.selection(); });
        list->setSelectedRows({fox});
        QStringList filled;
        answerEmployeeDialog(&filled, QStringLiteral("Fuchs"));
        QVERIFY(commands.OnCommand(ID_EMP_EDIT));
        QCOMPARE(filled.value(0), QStringLiteral("Fox"));
        QCOMPARE(doc.FindEmployee(undefined)->LastName, std::string("Fuchs"));

        // Not in database: only the MediaID that has no employee, the other one found by its
        // bytes. Select in controller likewise.
        panes.termEmpView()->FillList(&doc, 1);
        QVERIFY(commands.OnCommand(ID_TERM_SELNOTINDB));
        CTermEmpView* inController = panes.termEmpView();
        QCOMPARE(inController->selectedCount(), 1);
        QCOMPARE(inController->key(inController->selectedRows().first()), kBert);

        FakeList controllers;
        controllers.keys = {"1"};
        controllers.selected = {0};
        FakeList employees;
        employees.keys = {kAnna, undefined};
        CEditCommands onFakes(doc, prompts, [&] {
            return WorkspaceSelection{&employees, &controllers, nullptr};
        });
        QVERIFY(onFakes.OnCommand(ID_EMP_SELECTIN));
        QCOMPARE(employees.lastSelected, QList<int>({1}));

        // Delete selected employees removes it.
        prompts.okCancelAnswers = {true};
        list = panes.empView();
        list->setSelectedRows({rowOfKey(list, undefined)});
        QVERIFY(commands.OnCommand(ID_EMP_DELETE));
        QVERIFY(!doc.FindEmployee(undefined));
        QVERIFY(doc.FindEmployee(kAnna));
    }
};

TARVEX_TEST_MAIN(TestOneRowCommands)
#include "tst_onerowcommands.moc"
