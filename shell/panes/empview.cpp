#include "empview.h"

#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"

namespace {
CEmpView* g_instance = nullptr;
}

CEmpView::CEmpView(QWidget* parent)
    : CReportView({{res::IDS_LAST_NAME, 100}, {res::IDS_FIRST_NAME, 100}, {res::IDS_MEDIAID, 114}},
                  true, true, kMediaIdColumn, parent) {
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
            rows.addKey(mediaId);
        }
    }
    reportModel()->setRows(std::move(rows), true);
}
