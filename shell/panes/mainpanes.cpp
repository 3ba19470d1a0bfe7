#include "mainpanes.h"

#include "codepage.h"
#include "commandmanager.h"
#include "controllerpane.h"
#include "emptyform.h"
#include "empview.h"
#include "flatsplitterwnd.h"
#include "panetext.h"
#include "rbsplitterwnd.h"
#include "regview.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termempview.h"
#include "termpanel.h"
#include "termview.h"
#include "titlesplitterwnd.h"
#include "titleview.h"
#include "unknownmedium.h"
#include "unmappedtext.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {
CMainPanes* g_panes = nullptr;
CEmptyForm* g_emptyForm = nullptr;
} // namespace

CMainPanes::CMainPanes(CTarvexDoc* doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("CMainPanes"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    // S1: employees and registrations on the left, the rest on the right.
    auto* s1 = new CFlatSplitterWnd(Qt::Horizontal, this);
    layout->addWidget(s1);
    auto* s2 = new CRBSplitterWnd(1, 200);
    s1->addWidget(s2);
    auto* s3 = new CTitleSplitterWnd;
    s2->addWidget(s3);
    m_empView = new CEmpView;
    titled(s3, res::IDS_EMPLOYEES, m_empView, 0);
    auto* s4 = new CTitleSplitterWnd;
    s2->addWidget(s4);
    m_regView = new CRegView;
    m_regView->setUnknownMedium([this](const QString& mediaId) {
        const CTarvexDoc* d = this->doc();
        CUnmappedText ignored;
        return d &&
               IsUnknownMedium(d->Employees(), PaneText::codePage().FromUnicode(mediaId, ignored));
    });
    titled(s4, res::IDS_REGISTRATIONS, m_regView, 1);

    auto* s5 = new CRBSplitterWnd(1, 222);
    s1->addWidget(s5);
    auto* s6 = new CFlatSplitterWnd(Qt::Horizontal);
    s5->addWidget(s6);
    m_pane = new CControllerPane;
    s5->addWidget(m_pane);
    m_emptyForm = new CEmptyForm(m_pane);
    m_pane->showWindow(m_emptyForm);

    auto* s7 = new CTitleSplitterWnd;
    s6->addWidget(s7);
    m_termView = new CTermView;
    titled(s7, res::IDS_CONTROLLERS, m_termView, 2);
    auto* s8 = new CTitleSplitterWnd;
    s6->addWidget(s8);
    m_termEmpView = new CTermEmpView;
    titled(s8, res::IDS_EMPLOYEES_IN_CONTROLLER, m_termEmpView, 3);

    // The left column and the controllers column keep their widths when the
    // window is resized; the column to their right takes the change. They are wider than
    // designed by what their lists' dates, times and MediaIDs need in the font in use.
    s6->setStretchFactor(0, 0);
    s6->setStretchFactor(1, 1);
    s7->setMinimumWidth(30);
    s6->setSizes({260 + m_termView->columnsBeyondDesign(), 400});
    s1->setStretchFactor(0, 0);
    s1->setStretchFactor(1, 1);
    s2->setMinimumWidth(30);
    s1->setSizes(
        {340 + std::max(m_empView->columnsBeyondDesign(), m_regView->columnsBeyondDesign()), 600});

    m_splitters = {s1, s2, s3, s4, s5, s6, s7, s8};
    for (size_t i = 0; i < m_splitters.size(); ++i)
        m_splitters[i]->setObjectName(QStringLiteral("S%1").arg(i + 1));

    for (CReportView* list :
         std::initializer_list<CReportView*>{m_empView, m_regView, m_termView, m_termEmpView})
        connect(list, &CReportView::contextMenuRequested, this, &CMainPanes::showContextMenu);
    connect(m_termView, &CTermView::controllerRowSelected, this,
            &CMainPanes::onControllerRowSelected);
    connect(m_termView, &CTermView::selectionEmptied, this,
            &CMainPanes::onControllerSelectionEmptied);

    g_panes = this;
    g_emptyForm = m_emptyForm;
    if (CTarvexDoc* d = this->doc())
        d->SetHost(this);
}

CMainPanes::~CMainPanes() {
    // The panel windows go with this widget and tell their document themselves; the workspace
    // must not call back into a host that is going away.
    if (CTarvexDoc* d = doc()) {
        if (d->Host() == this)
            d->SetHost(nullptr);
    }
    if (g_panes == this)
        g_panes = nullptr;
    if (g_emptyForm == m_emptyForm)
        g_emptyForm = nullptr;
}

CMainPanes* CMainPanes::Instance() {
    return g_panes;
}

CEmptyForm* CMainPanes::EmptyForm() {
    return g_emptyForm;
}

WorkspaceSelection CMainPanes::selection() const {
    return {m_empView, m_termView, m_termEmpView, m_regView};
}

CFlatSplitterWnd* CMainPanes::splitter(int n) const {
    return n >= 1 && n <= 8 ? m_splitters[size_t(n - 1)] : nullptr;
}

CTarvexDoc* CMainPanes::doc() const {
    return m_doc ? m_doc.data() : CTarvexDoc::Instance();
}

QSplitter* CMainPanes::titled(CFlatSplitterWnd* parent, int titleId, QWidget* list,
                              int titleIndex) {
    auto* title = new CTitleView;
    title->SetTitle(titleId);
    parent->addWidget(title);
    parent->addWidget(list);
    m_titles[size_t(titleIndex)] = title;
    return parent;
}

void CMainPanes::OnInitialUpdate() {
    FillList(WorkspaceList::Employees);
    FillList(WorkspaceList::Controllers);
}

QWidget* CMainPanes::shownWindow() const {
    return m_pane->shownWindow();
}

ITermPanel* CMainPanes::CreatePanelWindow(int comPort) {
    QWidget* w = m_factory ? m_factory(comPort, m_pane) : nullptr;
    if (!w)
        return nullptr;
    if (w->parentWidget() != m_pane)
        w->setParent(m_pane);
    w->hide();
    auto* panel = dynamic_cast<ITermPanel*>(w);
    if (!panel) {
        delete w;
        return nullptr;
    }
    return panel;
}

ITermPanel* CMainPanes::ShowInControllerPane(ITermPanel* panel) {
    QWidget* w = panel ? dynamic_cast<QWidget*>(panel) : nullptr;
    if (!w)
        w = m_emptyForm;
    QWidget* old = m_pane->showWindow(w);
    return old == m_emptyForm ? nullptr : dynamic_cast<ITermPanel*>(old);
}

ITermPanel* CMainPanes::PanelInControllerPane() const {
    QWidget* w = m_pane->shownWindow();
    return w == m_emptyForm ? nullptr : dynamic_cast<ITermPanel*>(w);
}

void CMainPanes::FillList(WorkspaceList list) {
    switch (list) {
    case WorkspaceList::Employees:
        m_empView->FillList(doc());
        m_regView->RefreshMarks();
        break;
    case WorkspaceList::Controllers:
        m_termView->FillList(doc());
        // A refill selects no row, so no controller is current any more.
        if (m_pane->shownWindow() != m_emptyForm)
            ShowInControllerPane(nullptr);
        break;
    case WorkspaceList::ControllerEmployees:
        m_termEmpView->FillList(doc(), m_termView->SelectedComPort());
        break;
    }
}

void CMainPanes::onControllerRowSelected(int comPort) {
    CTarvexDoc* d = doc();
    const CTermRecord* term = d ? d->FindController(comPort) : nullptr;
    QWidget* w = term && term->Panel ? dynamic_cast<QWidget*>(term->Panel) : nullptr;
    if (!w)
        w = m_emptyForm;
    FillList(WorkspaceList::ControllerEmployees);
    if (m_pane->shownWindow() != w)
        ShowInControllerPane(w == m_emptyForm ? nullptr : term->Panel);
}

void CMainPanes::onControllerSelectionEmptied() {
    // The list of a controller's employees is emptied even when the pane
    // already shows the empty form (a controller without a panel was selected).
    m_termEmpView->Clear();
    if (m_pane->shownWindow() != m_emptyForm)
        ShowInControllerPane(nullptr);
}

void CMainPanes::showContextMenu(int menuId, const QPoint& globalPos) {
    if (m_commands)
        m_commands->trackPopupMenu(menuId, globalPos, window());
}
