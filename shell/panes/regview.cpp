#include "regview.h"

#include "cmdui.h"
#include "resourceids.h"

#include <QItemSelectionModel>

namespace {
CRegView* g_instance = nullptr;
}

CRegView::CRegView(QWidget* parent)
    : CReportView({{133, 74}, {134, 56}, {135, 48}, {132, 114}, {129, 32}}, false, true, parent) {
    setObjectName(QStringLiteral("CRegView"));
    g_instance = this;
    setContextMenuId(res::IDR_MENU_REG);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CRegView::onSelectionChanged);
}

CRegView::~CRegView() {
    if (g_instance == this)
        g_instance = nullptr;
}

CRegView* CRegView::Instance() {
    return g_instance;
}

void CRegView::AddRow(const QString& date, const QString& time, const QString& action,
                      const QString& mediaId, int controllerId) {
    reportModel()->appendRow({date, time, action, mediaId, QString::number(controllerId)});
    scrollTo(reportModel()->index(rowCount() - 1, 0), QAbstractItemView::EnsureVisible);
    if (rowCount() > kMaxRows)
        reportModel()->removeFirstRows(rowCount() - kMaxRows);
}

void CRegView::ClearList() {
    reportModel()->clear();
}

void CRegView::onSelectionChanged(const QItemSelection& selected, const QItemSelection&) {
    if (selected.isEmpty())
        return;
    if (!m_photoGate || !m_photoGate())
        return;
    const int row = selected.first().top();
    const QString action = text(row, 2);
    const QString mediaId = text(row, kMediaIdColumn);
    if (mediaId.size() == 16 && (action.isEmpty() || action == QLatin1String("O")))
        emit photoRequested(mediaId, text(row, 1));
    else
        emit photoRequested(QString(), QString());
}

bool CRegView::OnCommand(int id) {
    switch (id) {
    case res::ID_COPY_MEDIAID:
        CopyMediaId();
        return true;
    case res::ID_REG_CLEAR:
        ClearList();
        return true;
    default:
        return false;
    }
}

bool CRegView::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
    case res::ID_COPY_MEDIAID:
        ui.Enable(canCopyMediaId());
        return true;
    case res::ID_REG_CLEAR:
        ui.Enable(CanClearList());
        return true;
    default:
        return false;
    }
}
