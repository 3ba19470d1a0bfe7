#include "rbsplitterwnd.h"

#include <algorithm>

CRBSplitterWnd::CRBSplitterWnd(int orientation, int keepSize, QWidget* parent)
    : CFlatSplitterWnd(orientation == 1 ? Qt::Vertical : Qt::Horizontal, parent),
      m_keepSize(std::max(0, keepSize)) {
    // The bar follows the pointer as an outline; the panes move when it is let go,
    // which is also when the new size is remembered.
    setOpaqueResize(false);
    connect(this, &QSplitter::splitterMoved, this, [this](int, int) { dragFinished(); });
}

void CRBSplitterWnd::setKeepSize(int size) {
    m_keepSize = std::max(0, size);
    relayout();
}

int CRBSplitterWnd::outerSize() const {
    const QRect r = contentsRect();
    return orientation() == Qt::Vertical ? r.height() : r.width();
}

void CRBSplitterWnd::relayout() {
    if (count() < 2)
        return;
    const int outer = outerSize();
    const int first = std::max(0, outer - m_keepSize);
    const int second = std::max(0, outer - first - handleWidth());
    setSizes({first, second});
}

void CRBSplitterWnd::resizeEvent(QResizeEvent* event) {
    CFlatSplitterWnd::resizeEvent(event);
    relayout();
}

void CRBSplitterWnd::dragFinished() {
    if (count() < 2)
        return;
    m_keepSize = std::max(0, outerSize() - sizes().value(0));
}
