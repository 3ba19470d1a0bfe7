#include "titlesplitterwnd.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>

namespace {
class InertHandle : public CFlatSplitterHandle {
public:
    InertHandle(Qt::Orientation o, QSplitter* parent) : CFlatSplitterHandle(o, parent) {
        // The base class sets a resize cursor; the pointer passes straight through instead.
        unsetCursor();
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    // Even events sent to the bar directly move nothing.
    void mousePressEvent(QMouseEvent* e) override { e->ignore(); }
    void mouseMoveEvent(QMouseEvent* e) override { e->ignore(); }
    void mouseReleaseEvent(QMouseEvent* e) override { e->ignore(); }
};
} // namespace

CTitleSplitterWnd::CTitleSplitterWnd(QWidget* parent)
    : CFlatSplitterWnd(Qt::Vertical, parent), m_titleHeight(captionHeight()) {
    setHandleWidth(1);
}

int CTitleSplitterWnd::captionHeight() {
    return std::max(1, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

void CTitleSplitterWnd::setTitleHeight(int height) {
    m_titleHeight = std::max(0, height);
    relayout();
}

void CTitleSplitterWnd::relayout() {
    if (count() < 2)
        return;
    const int avail = std::max(0, contentsRect().height() - handleWidth());
    const int title = std::min(m_titleHeight, avail);
    setSizes({title, avail - title});
}

QSplitterHandle* CTitleSplitterWnd::createHandle() {
    return new InertHandle(orientation(), this);
}

void CTitleSplitterWnd::resizeEvent(QResizeEvent* event) {
    CFlatSplitterWnd::resizeEvent(event);
    relayout();
}
