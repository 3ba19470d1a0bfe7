#include "testworld.h"

#include "cmdui.h"
#include "controllerpane.h"
#include "emptyform.h"
#include "empview.h"
#include "mainpanes.h"
#include "regview.h"
#include "resourceids.h"
#include "storedpanel.h"
#include "tarvexdoc.h"
#include "termempview.h"
#include "termview.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
// A panel window that keeps what it was bound with, as the controller form does.
class TestPanel : public QWidget, public CStoredPanel {
public:
    using QWidget::QWidget;
    void DestroyWindow() override { delete this; }
};

TestPanel* shownPanel(const CMainPanes& panes) {
    return dynamic_cast<TestPanel*>(panes.shownWindow());
}

QStringList column(const CReportView* v, int col) {
    QStringList out;
    for (int r = 0; r < v->rowCount(); ++r)
        out << v->text(r, col);
    return out;
}

CTermRecord term(const std::string& name, int id, int code) {
    CTermRecord t;
    t.Name = name;
    t.ID = id;
    t.Code = code;
    return t;
}
} // namespace

class TestLists : public QObject {
    Q_OBJECT
private slots:
    void columnsAndSelectionModes() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        struct Expect {
            CReportView* view;
            QStringList headers;
            QList<int> widths;
            QAbstractItemView::SelectionMode mode;
        };
        const QList<Expect> all = {
            {panes.empView(),
             {"Last Name", "First Name", "MediaID"},
             {100, 100, 114},
             QAbstractItemView::ExtendedSelection},
            {panes.termView(),
             {"Name", "ID", "Code", "COM Port", "Last heard"},
             {100, 32, 40, 64, 140},
             QAbstractItemView::SingleSelection},
            {panes.termEmpView(),
             {"Last Name", "First Name", "MediaID"},
             {100, 100, 114},
             QAbstractItemView::ExtendedSelection},
        };
        // The designed pixels stand, except where the font's MediaIDs or times need more.
        for (const Expect& e : all) {
            QCOMPARE(e.view->model()->columnCount(), e.headers.size());
            for (int c = 0; c < e.headers.size(); ++c) {
                QCOMPARE(e.view->model()->headerData(c, Qt::Horizontal).toString(),
                         e.headers.at(c));
                if (e.headers.at(c) == QLatin1String("MediaID") ||
                    e.headers.at(c) == QLatin1String("Last heard"))
                    QVERIFY(e.view->columnWidth(c) >= e.widths.at(c));
                else
                    QCOMPARE(e.view->columnWidth(c), e.widths.at(c));
            }
            QCOMPARE(e.view->selectionMode(), e.mode);
            QCOMPARE(e.view->selectionBehavior(), QAbstractItemView::SelectRows);
            QVERIFY(!e.view->header()->sectionsClickable());
            // The selection looks the same with and without the focus.
            QCOMPARE(e.view->palette().color(QPalette::Inactive, QPalette::Highlight),
                     e.view->palette().color(QPalette::Active, QPalette::Highlight));
        }
    }

    // In a large font every MediaID of both employee lists shows whole, as the toolkit's own
    // measure of the cell says.
    void mediaIdsShowWholeInALargeFont() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        QFont big = panes.empView()->font();
        big.setPointSize(20);
        CTermRecord t = term("Alpha", 1, 1);
        for (QChar h : QStringLiteral("0123456789ABCDEF")) {
            const std::string id = QString(16, h).toStdString();
            doc.InsertEmployee(id, {"Name", "First"});
            t.IdTable[id] = "00";
        }
        doc.InsertController(3, t);
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        for (CReportView* v : {static_cast<CReportView*>(panes.empView()),
                               static_cast<CReportView*>(panes.termEmpView())}) {
            v->setFont(big);
            QCOMPARE(v->rowCount(), 16);
            for (int r = 0; r < v->rowCount(); ++r)
                QVERIFY2(v->sizeHintForIndex(v->model()->index(r, 2)).width() <= v->columnWidth(2),
                         qPrintable(v->text(r, 2)));
            QCOMPARE(v->columnWidth(0), 100); // free text keeps its designed pixels
        }
    }

    void listModelsStayConsistentThroughRefills() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
        for (CReportView* v : {static_cast<CReportView*>(panes.empView()),
                               static_cast<CReportView*>(panes.termView()),
                               static_cast<CReportView*>(panes.termEmpView())})
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                v->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        // Fill.
        for (int i = 0; i < 30; ++i)
            doc.InsertEmployee(QString("%1").arg(i, 16, 16, QChar('0')).toUpper().toStdString(),
                               {"Name" + std::to_string(29 - i), "F"});
        CTermRecord a = term("Alpha", 1, 1);
        for (int i = 0; i < 12; ++i)
            a.IdTable[QString("%1").arg(i * 2, 16, 16, QChar('0')).toUpper().toStdString()] =
                QString("%1").arg(i, 2, 16, QChar('0')).toUpper().toStdString();
        doc.InsertController(3, a);
        doc.InsertController(4, term("Beta", 2, 2));
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        QCOMPARE(panes.empView()->rowCount(), 30);
        QCOMPARE(panes.termView()->rowCount(), 2);
        QCOMPARE(panes.termEmpView()->rowCount(), 12);
        // Refill with fewer rows, then more.
        for (int i = 0; i < 20; ++i)
            doc.RemoveEmployee(QString("%1").arg(i, 16, 16, QChar('0')).toUpper().toStdString());
        doc.RemoveController(4);
        doc.FillAllLists();
        QCOMPARE(panes.empView()->rowCount(), 10);
        QCOMPARE(panes.termView()->rowCount(), 1);
        panes.termView()->selectRow(0);
        QCOMPARE(panes.termEmpView()->rowCount(), 12);
        doc.InsertController(9, term("Gamma", 3, 3));
        doc.FillAllLists();
        QCOMPARE(panes.termView()->rowCount(), 2);
        // Clear.
        panes.termView()->selectRow(0);
        panes.termView()->clearRowSelection();
        QCOMPARE(panes.termEmpView()->rowCount(), 0);
        doc.ClearWorkspace();
        QCOMPARE(panes.empView()->rowCount(), 0);
        QCOMPARE(panes.termView()->rowCount(), 0);
        QCOMPARE(panes.termEmpView()->rowCount(), 0);
    }

    void employeesSortedByLastNameAfterEachChange() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertEmployee("1000000000000001", {"smith", "Ann"});
        doc.InsertEmployee("0A00000000000001", {"Brown", "Bob"});
        doc.InsertEmployee("A000000000000001", {"Smith", "Carl"});
        doc.InsertEmployee("2000000000000001", {"adams", "Dora"});
        doc.FillAllLists();
        CEmpView* v = panes.empView();
        QCOMPARE(column(v, 0), QStringList({"adams", "Brown", "smith", "Smith"}));
        // Equal names keep the workspace's MediaID order.
        QCOMPARE(column(v, 2), QStringList({"2000000000000001", "0A00000000000001",
                                            "1000000000000001", "A000000000000001"}));
        QCOMPARE(column(v, 1), QStringList({"Dora", "Bob", "Ann", "Carl"}));

        // Adding, editing and deleting each show in the next refill.
        doc.InsertEmployee("3000000000000001", {"Baker", "Eve"});
        doc.FillList(WorkspaceList::Employees);
        QCOMPARE(column(v, 0), QStringList({"adams", "Baker", "Brown", "smith", "Smith"}));
        doc.FindEmployee("2000000000000001")->LastName = "Zeller";
        doc.FillList(WorkspaceList::Employees);
        QCOMPARE(column(v, 0), QStringList({"Baker", "Brown", "smith", "Smith", "Zeller"}));
        doc.RemoveEmployee("0A00000000000001");
        doc.FillList(WorkspaceList::Employees);
        QCOMPARE(column(v, 0), QStringList({"Baker", "smith", "Smith", "Zeller"}));
        // Code-page texts are shown as Unicode.
        doc.InsertEmployee("4000000000000001", {"M\xfcller", "J\xf6rg"});
        doc.FillList(WorkspaceList::Employees);
        QVERIFY(column(v, 0).contains(QString::fromUtf8("Müller")));
        doc.ClearWorkspace();
        QCOMPARE(v->rowCount(), 0);
    }

    void controllersInDecimalSortedByName() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertController(10, term("Gate", 7, 1200));
        doc.InsertController(9, term("back door", 65535, 0));
        doc.InsertController(2, term("Archive", 12, 34));
        doc.FillAllLists();
        CTermView* v = panes.termView();
        QCOMPARE(column(v, 0), QStringList({"Archive", "back door", "Gate"}));
        QCOMPARE(column(v, 1), QStringList({"12", "65535", "7"}));
        QCOMPARE(column(v, 2), QStringList({"34", "0", "1200"}));
        QCOMPARE(column(v, 3), QStringList({"2", "9", "10"}));
        QCOMPARE(v->ComPortOfRow(2), 10);
        QCOMPARE(v->selectedCount(), 0);
    }

    void controllerSelectionShowsPanelAndIdTable() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.setPanelFactory([](int, QWidget* parent) { return new TestPanel(parent); });
        doc.InsertEmployee("1111111111111111", {"Zed", "Zoe"});
        doc.InsertEmployee("2222222222222222", {"Abel", "Al"});
        CTermRecord a = term("Alpha", 1, 1);
        a.IdTable = {
            {"1111111111111111", "00"}, {"2222222222222222", "01"}, {"0F0F0F0F0F0F0F0F", "02"}};
        doc.InsertController(3, a);
        doc.InsertController(4, term("Beta", 2, 2));
        doc.CreateAllPanels();
        doc.FillAllLists();
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));

        CTermView* tv = panes.termView();
        CTermEmpView* te = panes.termEmpView();
        tv->selectRow(0); // Alpha, COM 3
        auto* shown = shownPanel(panes);
        QVERIFY(shown);
        QCOMPARE(shown->ComPort(), 3);
        QVERIFY(shown->isVisibleTo(panes.controllerPane()));
        QCOMPARE(doc.PanelInControllerPane(), doc.FindController(3)->Panel);
        QCOMPARE(shown->Name(), std::string("Alpha"));
        // The unknown MediaID is listed with empty names.
        QCOMPARE(column(te, 0), QStringList({"", "Abel", "Zed"}));
        QCOMPARE(column(te, 2),
                 QStringList({"0F0F0F0F0F0F0F0F", "2222222222222222", "1111111111111111"}));

        tv->selectRow(1); // Beta, COM 4, empty ID table
        QCOMPARE(shownPanel(panes)->ComPort(), 4);
        QCOMPARE(te->rowCount(), 0);
        QVERIFY(!shown->isVisibleTo(panes.controllerPane()));

        // Nothing selected: the empty form and an empty list.
        tv->selectRow(0);
        QCOMPARE(te->rowCount(), 3);
        tv->clearRowSelection();
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));
        QCOMPARE(te->rowCount(), 0);
        QVERIFY(panes.emptyForm()->isVisibleTo(panes.controllerPane()));

        // A refill of the controllers list loses the selection and brings the empty form back.
        tv->selectRow(0);
        QVERIFY(panes.shownWindow() != panes.emptyForm());
        doc.InsertController(1, term("Aardvark", 9, 9));
        doc.CreatePanel(1);
        doc.FillAllLists();
        QCOMPARE(tv->selectedCount(), 0);
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));
        QCOMPARE(te->rowCount(), 0);
        QCOMPARE(column(tv, 0), QStringList({"Aardvark", "Alpha", "Beta"}));

        // Deleting the shown controller destroys its panel and never leaves the pane on it.
        tv->selectRow(1);
        QCOMPARE(shownPanel(panes)->ComPort(), 3);
        doc.RemoveController(3);
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));
        doc.FillAllLists();
        QCOMPARE(column(tv, 0), QStringList({"Aardvark", "Beta"}));
    }

    void clickIntoEmptySpaceBringsEmptyForm() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.setPanelFactory([](int, QWidget* parent) { return new TestPanel(parent); });
        panes.resize(900, 700);
        panes.show();
        CTermRecord a = term("Alpha", 1, 1);
        a.IdTable = {{"1111111111111111", "00"}};
        doc.InsertController(3, a);
        doc.CreateAllPanels();
        doc.FillAllLists();
        QCoreApplication::processEvents();
        CTermView* tv = panes.termView();
        const QRect row0 = tv->visualRect(tv->model()->index(0, 0));
        QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, row0.center());
        QVERIFY(panes.shownWindow() != panes.emptyForm());
        QCOMPARE(panes.termEmpView()->rowCount(), 1);
        QTest::mouseClick(tv->viewport(), Qt::LeftButton, {},
                          QPoint(10, tv->viewport()->height() - 5));
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));
        QCOMPARE(panes.termEmpView()->rowCount(), 0);
    }

    void selectionInRowOrder() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        for (int i = 0; i < 10; ++i)
            doc.InsertEmployee(QString("%1").arg(i, 16, 10, QChar('0')).toStdString(),
                               {"N" + std::to_string(i), "F"});
        doc.FillAllLists();
        CEmpView* v = panes.empView();
        v->setSelectedRows({7, 2, 3, 4, 9, 3, 42, -1});
        QCOMPARE(v->selectedRows(), QList<int>({2, 3, 4, 7, 9}));
        QCOMPARE(v->selectedCount(), 5);
        QCOMPARE(v->selectionMarkRow(), 2);
        v->setSelectedRows({5});
        QCOMPARE(v->selectedRows(), QList<int>({5}));
        QVERIFY(v->canCopyMediaId());
        v->setSelectedRows({});
        QCOMPARE(v->selectedCount(), 0);
    }

    void infoTipsOnlyForCutTexts() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.resize(1000, 700);
        panes.show();
        const std::string longName(60, 'W');
        doc.InsertEmployee("1000000000000001", {longName, "A"});
        doc.InsertEmployee("2000000000000001", {"Zed", "B"});
        CTermRecord t = term("x", 1, 1);
        t.IdTable = {{"1000000000000001", "00"}};
        doc.InsertController(1, t);
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        QCoreApplication::processEvents();
        auto tipAt = [](CReportView* v, int row) {
            const QRect cell = v->visualRect(v->model()->index(row, 0));
            QHelpEvent ev(QEvent::ToolTip, cell.center(),
                          v->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(v->viewport(), &ev);
            // A list that shows no tip leaves the event unaccepted.
            return ev.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(panes.empView(), 0), QString::fromStdString(longName));
        QCOMPARE(tipAt(panes.empView(), 1), QString());
        // The employees-in-controller list has no info tips.
        QCOMPARE(panes.termEmpView()->rowCount(), 1);
        QCOMPARE(tipAt(panes.termEmpView(), 0), QString());
    }

    void contextMenusByList() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        const QList<QPair<CReportView*, int>> lists = {
            {static_cast<CReportView*>(panes.empView()), res::IDR_MENU_EMP},
            {static_cast<CReportView*>(panes.termView()), res::IDR_MENU_TERM},
            {static_cast<CReportView*>(panes.termEmpView()), res::IDR_MENU_TERMEMP},
            {static_cast<CReportView*>(panes.regView()), res::IDR_MENU_REG}};
        for (const auto& [view, menuId] : lists) {
            QSignalSpy spy(view, &CReportView::contextMenuRequested);
            QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(105, 205));
            QApplication::sendEvent(view->viewport(), &ev);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), menuId);
            QCOMPARE(spy.at(0).at(1).toPoint(), QPoint(105, 205));
        }
    }

    void controllerWithoutPanelShowsEmptyForm() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertController(5, term("Lonely", 1, 1));
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        QCOMPARE(panes.shownWindow(), static_cast<QWidget*>(panes.emptyForm()));
    }

    void copyMediaIdEnablingAndText() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertEmployee("ABCDEF0123456789", {"One", "A"});
        doc.InsertEmployee("0123456789ABCDEF", {"Two", "B"});
        doc.FillAllLists();
        CEmpView* v = panes.empView();
        CCmdUI ui(res::ID_COPY_MEDIAID);
        QVERIFY(v->OnUpdateCommand(res::ID_COPY_MEDIAID, ui));
        QVERIFY(!ui.enabled());
        QApplication::clipboard()->setText("before");
        QVERIFY(v->OnCommand(res::ID_COPY_MEDIAID)); // handled, but nothing to copy
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));

        v->selectRow(1);
        CCmdUI one(res::ID_COPY_MEDIAID);
        v->OnUpdateCommand(res::ID_COPY_MEDIAID, one);
        QVERIFY(one.enabled());
        QVERIFY(v->OnCommand(res::ID_COPY_MEDIAID));
        QCOMPARE(QApplication::clipboard()->text(), QString("0123456789ABCDEF"));

        v->selectRow(0, true);
        CCmdUI two(res::ID_COPY_MEDIAID);
        v->OnUpdateCommand(res::ID_COPY_MEDIAID, two);
        QVERIFY(!two.enabled());
        // The key alone copies nothing while the command is disabled.
        QApplication::clipboard()->setText("kept");
        QTest::keyClick(v, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
        // Commands that are not the list's own go further along the route.
        CCmdUI other(res::ID_EMP_ADD);
        QVERIFY(!v->OnUpdateCommand(res::ID_EMP_ADD, other));
        QVERIFY(!v->OnCommand(res::ID_EMP_ADD));
    }

    void copyMediaIdFromTheListsThatShowOne() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        doc.InsertEmployee("ABCDEF0123456789", {"Known", "A"});
        CTermRecord t = term("Gate", 1, 1);
        t.IdTable = {{"ABCDEF0123456789", "00"}, {"00000000000000FF", "01"}};
        doc.InsertController(2, t);
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        CTermEmpView* te = panes.termEmpView();
        QCOMPARE(te->rowCount(), 2);
        te->selectRow(0); // the MediaID without an employee: empty names first
        CCmdUI ui(res::ID_COPY_MEDIAID);
        QVERIFY(te->OnUpdateCommand(res::ID_COPY_MEDIAID, ui));
        QVERIFY(ui.enabled());
        QVERIFY(te->OnCommand(res::ID_COPY_MEDIAID));
        QCOMPARE(QApplication::clipboard()->text(), QString("00000000000000FF"));
        // The controllers list shows no MediaID: the command goes past it.
        QApplication::clipboard()->setText("kept");
        CTermView* tv = panes.termView();
        QCOMPARE(tv->selectedCount(), 1);
        CCmdUI fromTerm(res::ID_COPY_MEDIAID);
        QVERIFY(!tv->OnUpdateCommand(res::ID_COPY_MEDIAID, fromTerm));
        QVERIFY(!tv->OnCommand(res::ID_COPY_MEDIAID));
        QVERIFY(!tv->CopyMediaId());
        QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
    }
    // A MediaID cell's tip names the ID's parts, in every list that shows MediaIDs, whether
    // or not the list has info tips; other cells and texts that are no MediaID keep theirs.
    void mediaIdCellsTellTheirParts() {
        CTarvexDoc doc;
        CMainPanes panes(&doc);
        panes.resize(1000, 700);
        panes.show();
        // 00001A2B3C4D with family 44 calls for check byte 6D; 01 for 63.
        doc.InsertEmployee("6D00001A2B3C4D44", {"Card", "A"});
        doc.InsertEmployee("1200001A2B3C4D01", {"Key", "B"});
        CTermRecord t = term("Gate", 1, 1);
        t.IdTable = {{"6D00001A2B3C4D44", "00"}};
        doc.InsertController(1, t);
        doc.FillAllLists();
        panes.termView()->selectRow(0);
        panes.regView()->AddRow("09.12.2026", "08:00:00", "Access", "6D00001A2B3C4D44", 1);
        panes.regView()->AddRow("09.12.2026", "08:00:01", "Power up", "", 1);
        QCoreApplication::processEvents();
        auto tipAt = [](CReportView* v, int row, int column) {
            const QRect cell = v->visualRect(v->model()->index(row, column));
            QToolTip::hideText();
            QHelpEvent ev(QEvent::ToolTip, cell.center(),
                          v->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(v->viewport(), &ev);
            return ev.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        const QString card = QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 6D: "
                                            "correct");
        CEmpView* emp = panes.empView();
        QCOMPARE(emp->text(0, CEmpView::kMediaIdColumn), QStringLiteral("6D00001A2B3C4D44"));
        QCOMPARE(tipAt(emp, 0, CEmpView::kMediaIdColumn), card);
        QCOMPARE(tipAt(emp, 1, CEmpView::kMediaIdColumn),
                 QStringLiteral("iButton, serial number 00001A2B3C4D, check byte 12: wrong, "
                                "expected 63"));
        QCOMPARE(tipAt(emp, 0, 0), QString());
        QCOMPARE(tipAt(panes.termEmpView(), 0, CTermEmpView::kMediaIdColumn), card);
        QCOMPARE(tipAt(panes.regView(), 0, CRegView::kMediaIdColumn), card);
        QCOMPARE(tipAt(panes.regView(), 1, CRegView::kMediaIdColumn), QString());
    }
};

TARVEX_TEST_MAIN(TestLists)
#include "tst_lists.moc"
