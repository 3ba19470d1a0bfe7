#include "reportview.h"

#include "catalogue.h"
#include "cmdui.h"
#include "columnwidth.h"
#include "mediatext.h"
#include "resourceids.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {
QStringList headerTexts(const QList<CReportView::Column>& columns) {
    QStringList out;
    for (const auto& c : columns)
        out << S(c.stringId);
    return out;
}
} // namespace

CReportView::CReportView(const QList<Column>& columns, bool multiSelect, bool infoTips,
                         int mediaIdColumn, QWidget* parent)
    : QTreeView(parent), m_columns(columns), m_model(new CReportModel(headerTexts(columns), this)),
      m_infoTips(infoTips), m_mediaIdColumn(mediaIdColumn) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    QHeaderView* h = header();
    h->setSectionsClickable(false);
    h->setSectionsMovable(false);
    h->setSortIndicatorShown(false);
    h->setStretchLastSection(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setSectionResizeMode(QHeaderView::Interactive);
    m_userSized = QList<bool>(columns.size(), false);
    connect(h, &QHeaderView::sectionResized, this, [this](int section, int, int) {
        if (!m_applyingWidths && section >= 0 && section < m_userSized.size())
            m_userSized[section] = true;
    });
    applyColumnWidths();

    // The selection stays visible when the list loses the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

int CReportView::textMargins() const {
    // The item views' text sits inside the focus frame's margin and one pixel more, each side.
    return 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
}

int CReportView::columnsBeyondDesign() const {
    int beyond = 0;
    for (int i = 0; i < m_columns.size(); ++i)
        beyond += columnWidth(i) - m_columns.at(i).width;
    return beyond;
}

void CReportView::applyColumnWidths() {
    const QFontMetrics fm(font());
    const int margins = textMargins();
    m_applyingWidths = true;
    for (int i = 0; i < m_columns.size(); ++i)
        if (!m_userSized.at(i))
            setColumnWidth(
                i, columnWidthForFont(m_columns.at(i).width, m_columns.at(i).content, fm, margins));
    m_applyingWidths = false;
}

void CReportView::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        applyColumnWidths();
}

void CReportView::retranslateHeaders() {
    m_model->setHeaders(headerTexts(m_columns));
}

QList<int> CReportView::selectedRows() const {
    QList<int> rows;
    const QItemSelection sel = selectionModel()->selection();
    for (const QItemSelectionRange& r : sel) {
        for (int row = r.top(); row <= r.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CReportView::selectedCount() const {
    // Ranges of a row selection never overlap in rows, except when a range
    // covers only some columns; count distinct rows to be safe.
    const QItemSelection sel = selectionModel()->selection();
    if (sel.isEmpty())
        return 0;
    if (sel.size() == 1)
        return sel.first().height();
    return int(selectedRows().size());
}

int CReportView::selectionMarkRow() const {
    const QModelIndex cur = selectionModel()->currentIndex();
    return cur.isValid() ? cur.row() : -1;
}

int CReportView::selectedMarkRow() const {
    const int row = selectionMarkRow();
    return row >= 0 && selectionModel()->isSelected(m_model->index(row, 0)) ? row : -1;
}

void CReportView::selectRowsAndFocus(const QList<int>& rows) {
    setSelectedRows(rows);
    setFocus(Qt::OtherFocusReason);
}

void CReportView::selectRow(int row, bool add) {
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex idx = m_model->index(row, 0);
    auto flags = QItemSelectionModel::Rows |
                 (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(idx, flags);
}

void CReportView::clearRowSelection() {
    selectionModel()->clearSelection();
}

void CReportView::setSelectedRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int n = rowCount();
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection sel;
    int i = 0;
    while (i < rows.size()) {
        if (rows[i] < 0 || rows[i] >= n) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1 && rows[j + 1] < n)
            ++j;
        sel.select(m_model->index(rows[i], 0), m_model->index(rows[j], lastColumn));
        i = j + 1;
    }
    if (!sel.isEmpty())
        selectionModel()->setCurrentIndex(sel.first().topLeft(), QItemSelectionModel::NoUpdate);
    selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool CReportView::CopyMediaId() const {
    const QList<int> rows = selectedRows();
    if (m_mediaIdColumn < 0 || rows.isEmpty())
        return false;
    QClipboard* cb = QApplication::clipboard();
    if (!cb)
        return false;
    cb->clear();
    cb->setText(text(rows.first(), m_mediaIdColumn).left(16));
    return true;
}

bool CReportView::OnCommand(int id) {
    if (id != res::ID_COPY_MEDIAID || m_mediaIdColumn < 0)
        return false;
    CopyMediaId();
    return true;
}

bool CReportView::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != res::ID_COPY_MEDIAID || m_mediaIdColumn < 0)
        return false;
    ui.Enable(canCopyMediaId());
    return true;
}

bool CReportView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A MediaID cell tells what the ID is made of, in every list that shows MediaIDs.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        if (at.isValid() && at.column() == m_mediaIdColumn) {
            const QString id = at.data(Qt::DisplayRole).toString();
            if (id.size() == 16) {
                QToolTip::showText(help->globalPos(), MediaIdDescriptionAsTyped(id), viewport(),
                                   visualRect(at));
                return true;
            }
        }
        if (!m_infoTips) {
            event->ignore();
            return true;
        }
        // Only texts that the column cuts off get a tip.
        auto* he = static_cast<QHelpEvent*>(event);
        const QModelIndex idx = indexAt(he->pos());
        if (idx.isValid()) {
            const QString t = idx.data(Qt::DisplayRole).toString();
            const QRect cell = visualRect(idx);
            const int needed = fontMetrics().horizontalAdvance(t) + textMargins();
            if (needed > cell.width()) {
                QToolTip::showText(he->globalPos(), t, viewport(), cell);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void CReportView::keyPressEvent(QKeyEvent* event) {
    // Copying is the Copy MediaID command's alone: when it is disabled the key
    // must not fall through to the view's own copy of the current cell.
    if (event->matches(QKeySequence::Copy)) {
        event->ignore();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CReportView::contextMenuEvent(QContextMenuEvent* event) {
    // Commands of the menu are routed to the pane with the focus first.
    setFocus(Qt::PopupFocusReason);
    if (m_menuId)
        emit contextMenuRequested(m_menuId, event->globalPos());
    event->accept();
}
