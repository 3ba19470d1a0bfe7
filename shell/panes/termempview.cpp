#include "termempview.h"

#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"

namespace {
CTermEmpView* g_instance = nullptr;
}

CTermEmpView::CTermEmpView(QWidget* parent)
    : CReportView({{res::IDS_LAST_NAME, 100}, {res::IDS_FIRST_NAME, 100}, {res::IDS_MEDIAID, 114}},
                  true, false, kMediaIdColumn, parent) {
    setObjectName(QStringLiteral("CTermEmpView"));
    g_instance = this;
    setContextMenuId(res::IDR_MENU_TERMEMP);
}

CTermEmpView::~CTermEmpView() {
    if (g_instance == this)
        g_instance = nullptr;
}

CTermEmpView* CTermEmpView::Instance() {
    return g_instance;
}

void CTermEmpView::FillList(const CTarvexDoc* doc, int comPort) {
    CRowSet rows = reportModel()->makeRowSet();
    const CTermRecord* term = doc && comPort > 0 ? doc->FindController(comPort) : nullptr;
    if (term) {
        rows.reserve(int(term->IdTable.size()), 40);
        for (const auto& [mediaId, slot] : term->IdTable) {
            if (const CEmpRecord* emp = doc->FindEmployee(mediaId)) {
                rows.addBytes(emp->LastName);
                rows.addBytes(emp->FirstName);
            } else {
                rows.add(QStringView());
                rows.add(QStringView());
            }
            rows.addBytes(mediaId);
            rows.addKey(mediaId);
        }
    }
    reportModel()->setRows(std::move(rows), true);
}
