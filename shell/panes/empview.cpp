#include "empview.h"

#include "cmdui.h"
#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"

namespace {
CEmpView* g_instance = nullptr;
}

CEmpView::CEmpView(QWidget* parent)
    : CReportView({{130, 100}, {131, 100}, {132, 114}}, true, true, parent) {
    setObjectName(QStringLiteral("CEmpView"));
    g_instance = this;
    setContextMenuId(res::IDR_MENU_EMP);
}

CEmpView::~CEmpView() {
    if (g_instance == this)
        g_instance = nullptr;
}

CEmpView* CEmpView::Instance() {
    return g_instance;
}

void CEmpView::FillList(const CTarvexDoc* doc) {
    CRowSet rows = reportModel()->makeRowSet();
    if (doc) {
        rows.reserve(int(doc->Employees().size()), 40);
        for (const auto& [mediaId, emp] : doc->Employees()) {
            rows.addBytes(emp.LastName);
            rows.addBytes(emp.FirstName);
            rows.addBytes(mediaId);
        }
    }
    reportModel()->setRows(std::move(rows), true);
}

bool CEmpView::OnCommand(int id) {
    if (id != res::ID_COPY_MEDIAID)
        return false;
    CopyMediaId();
    return true;
}

bool CEmpView::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != res::ID_COPY_MEDIAID)
        return false;
    ui.Enable(canCopyMediaId());
    return true;
}
