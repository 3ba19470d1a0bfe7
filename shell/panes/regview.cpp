#include "regview.h"

#include "cmdui.h"
#include "columnwidth.h"
#include "resourceids.h"
#include "unknownmark.h"

#include <QEvent>
#include <QItemSelectionModel>

namespace {
CRegView* g_instance = nullptr;
}

CRegView::CRegView(QWidget* parent)
    : CReportView({{res::IDS_DATE, 74, columncontent::kDate},
                   {res::IDS_TIME, 56, columncontent::kTime},
                   {res::IDS_ACTION, 48},
                   {res::IDS_MEDIAID, 114, columncontent::kMediaId},
                   {res::IDS_ID, 32}},
                  false, true, kMediaIdColumn, parent) {
    setObjectName(QStringLiteral("CRegView"));
    g_instance = this;
    setContextMenuId(res::IDR_MENU_REG);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CRegView::onSelectionChanged);
    reportModel()->setCellRoles([this](int row, int column, int role) -> QVariant {
        if (column != kMediaIdColumn ||
            (role != Qt::DecorationRole && role != Qt::AccessibleDescriptionRole) || !IsMarked(row))
            return {};
        return UnknownMark::cellData(role, palette());
    });
}

CRegView::~CRegView() {
    if (g_instance == this)
        g_instance = nullptr;
}

CRegView* CRegView::Instance() {
    return g_instance;
}

std::string CRegView::key(int row) const {
    return row >= 0 && row < rowCount() ? text(row, kMediaIdColumn).toLatin1().toStdString()
                                        : std::string();
}

void CRegView::AddRow(const QString& date, const QString& time, const QString& action,
                      const QString& mediaId, int controllerId) {
    reportModel()->appendRow({date, time, action, mediaId, QString::number(controllerId)});
    scrollTo(reportModel()->index(rowCount() - 1, 0), QAbstractItemView::EnsureVisible);
    if (rowCount() > kMaxRows)
        reportModel()->removeFirstRows(rowCount() - kMaxRows);
}

void CRegView::setUnknownMedium(std::function<bool(const QString&)> unknown) {
    m_unknown = std::move(unknown);
    RefreshMarks();
}

void CRegView::RefreshMarks() {
    reportModel()->cellRolesChanged(kMediaIdColumn);
}

bool CRegView::IsMarked(int row) const {
    return m_unknown && m_unknown(text(row, kMediaIdColumn));
}

void CRegView::changeEvent(QEvent* event) {
    CReportView::changeEvent(event);
    // A theme switch (high contrast among them) redraws the mark in its colours.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        RefreshMarks();
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
    if (id != res::ID_REG_CLEAR)
        return CReportView::OnCommand(id);
    ClearList();
    return true;
}

bool CRegView::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != res::ID_REG_CLEAR)
        return CReportView::OnUpdateCommand(id, ui);
    ui.Enable(CanClearList());
    return true;
}
