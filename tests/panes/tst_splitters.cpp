#include "testworld.h"

#include "controllerpane.h"
#include "emptyform.h"
#include "empview.h"
#include "flatsplitterwnd.h"
#include "mainpanes.h"
#include "rbsplitterwnd.h"
#include "regview.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termempview.h"
#include "termview.h"
#include "titlesplitterwnd.h"
#include "titleview.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSplitterHandle>
#include <QtTest>

namespace {
// Presses on a splitter handle, moves by delta and lets go, as a user drags it.
void dragHandle(QSplitterHandle* handle, QPoint delta) {
    const QPoint from = handle->rect().center();
    const QPoint to = from + delta;
    QMouseEvent press(QEvent::MouseButtonPress, from, handle->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &release);
}

struct RBFixture {
    QWidget top;
    CRBSplitterWnd* s;
    QWidget* first;
    QWidget* second;
    explicit RBFixture(int keep) {
        s = new CRBSplitterWnd(1, keep, &top);
        // Plain widgets, like the nested splitters: they may shrink to nothing.
        first = new QWidget;
        second = new QWidget;
        s->addWidget(first);
        s->addWidget(second);
    }
    void resize(int h) {
        s->setGeometry(0, 0, 300, h);
        QCoreApplication::processEvents();
    }
};
} // namespace

class TestSplitters : public QObject {
    Q_OBJECT
private slots:
    void rbSecondPaneKeepsItsSize() {
        RBFixture f(200);
        f.top.resize(300, 800);
        f.top.show();
        for (int h : {800, 600, 1000, 420, 900}) {
            f.resize(h);
            // The second pane's room also holds the bar and the one-pixel border.
            QCOMPARE(f.second->height(), 200 - f.s->handleWidth() - 2 * f.s->frameWidth());
            QCOMPARE(f.first->height(), h - 200);
        }
    }

    void rbSmallWindowGivesFirstPaneZero() {
        RBFixture f(222);
        f.top.resize(300, 800);
        f.top.show();
        for (int h : {222, 150, 40, 0}) {
            f.resize(h);
            QCOMPARE(f.s->sizes().value(0), 0);
            QCOMPARE(f.first->height(), 0);
            // The second pane keeps all there is.
            QCOMPARE(f.second->height(),
                     std::max(0, h - f.s->handleWidth() - 2 * f.s->frameWidth()));
        }
        // Growing again brings the remembered size back.
        f.resize(700);
        QCOMPARE(f.second->height(), 222 - f.s->handleWidth() - 2 * f.s->frameWidth());
        QCOMPARE(f.s->keepSize(), 222);
    }

    void rbFinishedDragIsRemembered() {
        RBFixture f(200);
        f.top.resize(300, 800);
        f.top.show();
        f.resize(800);
        QCOMPARE(f.s->sizes().value(0), 600);
        // Drag the bar 100 pixels up: the second pane grows to 300.
        dragHandle(f.s->handle(1), QPoint(0, -100));
        QCOMPARE(f.s->sizes().value(0), 500);
        QCOMPARE(f.s->keepSize(), 300);
        f.resize(1000);
        QCOMPARE(f.s->sizes().value(0), 700);
        QCOMPARE(f.second->height(), 300 - f.s->handleWidth() - 2 * f.s->frameWidth());
        f.resize(500);
        QCOMPARE(f.s->sizes().value(0), 200);
    }

    void rbCancelledDragChangesNothing() {
        RBFixture f(200);
        f.top.resize(300, 800);
        f.top.show();
        f.resize(800);
        QSplitterHandle* h = f.s->handle(1);
        const QPoint from = h->rect().center();
        const QPoint to = from + QPoint(0, -100);
        QMouseEvent press(QEvent::MouseButtonPress, from, h->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h, &press);
        QMouseEvent move(QEvent::MouseMove, to, h->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(h, &move);
        QTest::keyClick(&f.top, Qt::Key_Escape);
        QMouseEvent release(QEvent::MouseButtonRelease, to, h->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(h, &release);
        QCOMPARE(f.s->sizes().value(0), 600);
        QCOMPARE(f.s->keepSize(), 200);
        // The next drag works as usual.
        dragHandle(h, QPoint(0, -50));
        QCOMPARE(f.s->keepSize(), 250);
    }

    void columnsVariantKeepsSecondColumn() {
        QWidget top;
        auto* s = new CRBSplitterWnd(0, 120, &top);
        auto* a = new QLabel("a");
        auto* b = new QLabel("b");
        s->addWidget(a);
        s->addWidget(b);
        top.show();
        for (int w : {600, 400, 900}) {
            s->setGeometry(0, 0, w, 100);
            QCOMPARE(b->width(), 120 - s->handleWidth() - 2 * s->frameWidth());
            QCOMPARE(a->width(), w - 120);
        }
    }

    void titleBarIsInert() {
        QWidget top;
        auto* s = new CTitleSplitterWnd(&top);
        auto* title = new CTitleView;
        auto* list = new CEmpView;
        s->addWidget(title);
        s->addWidget(list);
        top.resize(300, 400);
        s->setGeometry(0, 0, 300, 400);
        top.show();
        QCoreApplication::processEvents();
        QSplitterHandle* h = s->handle(1);
        QCOMPARE(s->handleWidth(), 1);
        // The bar is one pixel: the list starts one pixel below the title.
        QCOMPARE(list->y() - (title->y() + title->height()), 1);
        QVERIFY(h->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(h->cursor().shape() != Qt::SplitVCursor);
        QVERIFY(h->cursor().shape() != Qt::SizeVerCursor);
        const int titleH = title->height();
        QCOMPARE(titleH, CTitleSplitterWnd::captionHeight());
        // A drag changes nothing (a handle that did react would move the bar).
        dragHandle(h, QPoint(0, 60));
        QCOMPARE(title->height(), titleH);
        // Resizing keeps the title's height; the list takes the change.
        s->setGeometry(0, 0, 300, 250);
        QCOMPARE(title->height(), titleH);
        QCOMPARE(list->height(), 250 - 2 * s->frameWidth() - 1 - titleH);
        // Too small for the title: the title keeps what there is, the list gets nothing.
        s->setGeometry(0, 0, 300, 5);
        QCOMPARE(title->height(), 5 - 2 * s->frameWidth() - 1);
        QCOMPARE(list->height(), 0);
    }

    void titleStripText() {
        CTitleView t;
        QCOMPARE(t.title(), QString("Empty"));
        QVERIFY(t.captionFont().bold());
        t.SetTitle(res::IDS_EMPLOYEES);
        QCOMPARE(t.title(), QString("Employees"));
        t.SetTitle(QString("R&D and a very long title that cannot fit"));
        t.resize(60, 20);
        const QString shown = t.shownText();
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(shown.startsWith("R&"));
        t.resize(2000, 20);
        QCOMPARE(t.shownText(), t.title());
    }

    void panesSitWhereTheUserLooksForThem() {
        CTarvexDoc doc;
        QWidget top;
        auto* panes = new CMainPanes(&doc, &top);
        panes->setGeometry(0, 0, 1000, 800);
        top.resize(1000, 800);
        top.show();
        QCoreApplication::processEvents();
        auto at = [&](QWidget* w) { return QRect(w->mapTo(panes, QPoint(0, 0)), w->size()); };
        const QList<QWidget*> lists = {panes->empView(), panes->regView(), panes->termView(),
                                       panes->termEmpView()};
        const QStringList titles = {"Employees", "Registrations", "Controllers",
                                    "Employees in controller"};
        // Each list has its title strip right above it, as wide as the list.
        for (int i = 0; i < 4; ++i) {
            CTitleView* title = panes->titleView(i);
            QCOMPARE(title->title(), titles.at(i));
            QVERIFY(title->isVisible() && lists.at(i)->isVisible());
            QCOMPARE(title->height(), CTitleSplitterWnd::captionHeight());
            QCOMPARE(at(title).left(), at(lists.at(i)).left());
            QCOMPARE(at(title).width(), at(lists.at(i)).width());
            QCOMPARE(at(lists.at(i)).top() - at(title).bottom() - 1, 1);
        }
        // Left: employees above registrations. Right: controllers beside employees in
        // controller, both above the controller pane, which shows the empty form.
        const QRect emp = at(panes->empView()), reg = at(panes->regView());
        const QRect term = at(panes->termView()), termEmp = at(panes->termEmpView());
        const QRect pane = at(panes->controllerPane());
        QCOMPARE(reg.left(), emp.left());
        QVERIFY(reg.top() > emp.bottom());
        QVERIFY(term.left() > emp.right());
        QVERIFY(termEmp.left() > term.right());
        QCOMPARE(termEmp.top(), term.top());
        QVERIFY(pane.top() > term.bottom() && pane.top() > termEmp.bottom());
        QVERIFY(pane.left() <= term.left() && pane.right() >= termEmp.right());
        // The registrations and the controller pane share the bottom of the window.
        QVERIFY(reg.top() < pane.bottom() && pane.top() < reg.bottom());
        QVERIFY(panes->emptyForm()->isVisible());
        QCOMPARE(panes->shownWindow(), static_cast<QWidget*>(panes->emptyForm()));
        // Other parts reach the panes through the program-wide references.
        QCOMPARE(CMainPanes::EmptyForm(), panes->emptyForm());
        QCOMPARE(CEmpView::Instance(), panes->empView());
        QCOMPARE(CRegView::Instance(), panes->regView());
        QCOMPARE(CTermView::Instance(), panes->termView());
        QCOMPARE(CTermEmpView::Instance(), panes->termEmpView());
    }

    void draggedRegistrationsHeightSurvivesResizing() {
        CTarvexDoc doc;
        QWidget top;
        auto* panes = new CMainPanes(&doc, &top);
        panes->setGeometry(0, 0, 1000, 800);
        top.resize(1000, 800);
        top.show();
        QCoreApplication::processEvents();
        const int regH = panes->regView()->height();
        // The user pulls the bar above the registrations 120 pixels up.
        dragHandle(panes->splitter(2)->handle(1), QPoint(0, -120));
        QCoreApplication::processEvents();
        QCOMPARE(panes->regView()->height(), regH + 120);
        for (QSize sz : {QSize(1000, 650), QSize(1200, 950), QSize(900, 720)}) {
            panes->setGeometry(QRect(QPoint(0, 0), sz));
            QCoreApplication::processEvents();
            QCOMPARE(panes->regView()->height(), regH + 120);
        }
    }

    // The left panes are wider than designed by what their lists' dates, times and MediaIDs
    // need: in the test's own font and in a large one, both lists show every column in full.
    void leftPanesHoldTheirListsInAnyFont() {
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(font); });
        QFont big = font;
        big.setPointSize(20);
        for (const QFont& f : {font, big}) {
            QApplication::setFont(f);
            CTarvexDoc doc;
            QWidget top;
            auto* panes = new CMainPanes(&doc, &top);
            panes->setGeometry(0, 0, 2400, 1400);
            top.resize(2400, 1400);
            top.show();
            QCoreApplication::processEvents();
            for (CReportView* list : {static_cast<CReportView*>(panes->empView()),
                                      static_cast<CReportView*>(panes->regView())}) {
                int columns = 0;
                for (int c = 0; c < list->model()->columnCount(); ++c)
                    columns += list->columnWidth(c);
                QVERIFY2(columns <= list->viewport()->width(),
                         qPrintable(QStringLiteral("%1 pt: %2 of %3")
                                        .arg(f.pointSize())
                                        .arg(columns)
                                        .arg(list->viewport()->width())));
            }
        }
    }

    void mainWindowResizeMovesOnlyTheUpperPanes() {
        CTarvexDoc doc;
        QWidget top;
        auto* panes = new CMainPanes(&doc, &top);
        panes->setGeometry(0, 0, 1000, 800);
        top.resize(1000, 800);
        top.show();
        QCoreApplication::processEvents();
        const int regH = panes->regView()->height();
        const int paneH = panes->controllerPane()->height();
        const int leftW = panes->splitter(2)->width();
        const int termW = panes->splitter(7)->width();
        QCOMPARE(paneH, 222 - 6 - 2); // less the bar and the border
        // The left column wider only by what this font's MediaIDs need beyond their design.
        QVERIFY(leftW >= 340);
        QVERIFY(leftW <= 340 + panes->regView()->columnsBeyondDesign());
        QCOMPARE(termW, 260);
        const int empH = panes->empView()->height();
        const int termH = panes->termView()->height();
        for (QSize sz : {QSize(1000, 650), QSize(1200, 900), QSize(900, 700)}) {
            panes->setGeometry(QRect(QPoint(0, 0), sz));
            QCoreApplication::processEvents();
            QCOMPARE(panes->regView()->height(), regH);
            QCOMPARE(panes->controllerPane()->height(), paneH);
            QCOMPARE(panes->empView()->height(), empH + sz.height() - 800);
            QCOMPARE(panes->termView()->height(), termH + sz.height() - 800);
            QCOMPARE(panes->splitter(2)->width(), leftW);
            QCOMPARE(panes->splitter(7)->width(), termW);
        }
        // A window lower than the remembered sizes leaves the upper panes at zero.
        panes->setGeometry(0, 0, 1000, 150);
        QCoreApplication::processEvents();
        QCOMPARE(panes->splitter(2)->sizes().value(0), 0);
        QCOMPARE(panes->splitter(5)->sizes().value(0), 0);
        QCOMPARE(panes->empView()->height(), 0);
        QCOMPARE(panes->termView()->height(), 0);
        // The lower panes keep all of the height there is.
        QCOMPARE(panes->splitter(4)->height(), panes->splitter(2)->height() -
                                                   panes->splitter(2)->handleWidth() -
                                                   2 * panes->splitter(2)->frameWidth());
        QCOMPARE(panes->controllerPane()->height(), panes->splitter(5)->height() -
                                                        panes->splitter(5)->handleWidth() -
                                                        2 * panes->splitter(5)->frameWidth());
    }

    void everyPaneHasItsFlatFrame() {
        CTarvexDoc doc;
        QWidget top;
        auto* panes = new CMainPanes(&doc, &top);
        panes->setGeometry(0, 0, 1000, 800);
        top.resize(1000, 800);
        top.show();
        QCoreApplication::processEvents();
        const QImage image = panes->grab().toImage();
        const QRgb shadow = CFlatSplitterWnd::shadowColor(panes).rgb();
        const QRgb light = CFlatSplitterWnd::highlightColor(panes).rgb();
        QVERIFY(shadow != light);
        struct Pane {
            const char* name;
            QWidget* w;
            bool title;
        };
        const std::vector<Pane> framed = {
            {"employees title", panes->titleView(0), true},
            {"registrations title", panes->titleView(1), true},
            {"controllers title", panes->titleView(2), true},
            {"employees in controller title", panes->titleView(3), true},
            {"employees", panes->empView(), false},
            {"registrations", panes->regView(), false},
            {"controllers", panes->termView(), false},
            {"employees in controller", panes->termEmpView(), false},
            {"controller pane", panes->controllerPane(), false},
        };
        for (const Pane& pane : framed) {
            const QRect g(pane.w->mapTo(panes, QPoint(0, 0)), pane.w->size());
            QVERIFY2(g.height() > 4 && g.width() > 4, pane.name);
            const QPoint c = g.center();
            const auto at = [&](int x, int y) { return image.pixel(x, y); };
            QVERIFY2(at(c.x(), g.top() - 1) == shadow, pane.name);
            QVERIFY2(at(g.left() - 1, c.y()) == shadow, pane.name);
            QVERIFY2(at(g.right() + 1, c.y()) == light, pane.name);
            // Below a title strip its list begins: the line shared by both frames is the
            // list's top edge.
            QVERIFY2(at(c.x(), g.bottom() + 1) == (pane.title ? shadow : light), pane.name);
        }
        // Splitters inside splitters carry no frame of their own: the 6-pixel bar between
        // the controllers and the employees in controller is plain, apart from the frames'
        // edges on either side.
        QSplitterHandle* bar = panes->splitter(6)->handle(1);
        const QPoint mid(bar->mapTo(panes, bar->rect().center()));
        QCOMPARE(image.pixel(mid), panes->palette().color(QPalette::Window).rgb());
    }
};

TARVEX_TEST_MAIN(TestSplitters)
#include "tst_splitters.moc"
