#include "termview.h"

#include "columnwidth.h"
#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"

#include <QItemSelectionModel>

namespace {
CTermView* g_instance = nullptr;
}

CTermView::CTermView(QWidget* parent)
    : CReportView({{res::IDS_NAME, 100},
                   {res::IDS_ID, 32},
                   {res::IDS_CODE, 40},
                   {res::IDS_COM_PORT, 64},
                   {res::IDS_LAST_HEARD, 140, columncontent::kDateTime}},
                  false, true, kNoMediaId, parent) {
    setObjectName(QStringLiteral("CTermView"));
    g_instance = this;
    setContextMenuId(res::IDR_MENU_TERM);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CTermView::onSelectionChanged);
}

CTermView::~CTermView() {
    if (g_instance == this)
        g_instance = nullptr;
}

CTermView* CTermView::Instance() {
    return g_instance;
}

void CTermView::FillList(const CTarvexDoc* doc) {
    CRowSet rows = reportModel()->makeRowSet();
    // A port that left the workspace (deleted, or another workspace opened) forgets when it was
    // heard: the same port of the next workspace is another controller.
    QHash<int, QString> kept;
    if (doc) {
        rows.reserve(int(doc->Controllers().size()), 50);
        for (const auto& [port, term] : doc->Controllers()) {
            rows.addBytes(term.Name);
            rows.addNumber(term.ID);
            rows.addNumber(term.Code);
            rows.addNumber(port);
            rows.add(m_lastHeard.value(port));
            rows.addKey(std::to_string(port));
            if (m_lastHeard.contains(port))
                kept.insert(port, m_lastHeard.value(port));
        }
    }
    m_lastHeard = std::move(kept);
    reportModel()->setRows(std::move(rows), true);
}

int CTermView::ComPortOfRow(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    bool ok = false;
    const int port = QByteArray::fromStdString(key(row)).toInt(&ok, 10);
    return ok ? port : 0;
}

void CTermView::SetLastHeard(int comPort, const QDateTime& at) {
    const QString text = at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_lastHeard.insert(comPort, text);
    for (int row = 0; row < rowCount(); ++row)
        if (ComPortOfRow(row) == comPort)
            reportModel()->setText(row, kLastHeardColumn, text);
}

int CTermView::SelectedComPort() const {
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? 0 : ComPortOfRow(rows.first());
}

void CTermView::onSelectionChanged(const QItemSelection& selected, const QItemSelection&) {
    if (!selectionModel()->hasSelection()) {
        emit selectionEmptied();
        return;
    }
    // Only a row becoming selected matters; losing a selection while another
    // row stays selected, or focus changes, do nothing.
    if (!selected.isEmpty())
        emit controllerRowSelected(ComPortOfRow(selected.first().top()));
}
