#include "flatsplitterwnd.h"

#include <QPaintEvent>
#include <QPainter>

void CFlatSplitterHandle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A thin bar is given a larger grab area over its neighbours; only the contents are its.
    const QRect r = contentsRect();
    p.fillRect(r, palette().color(QPalette::Window));
    auto* owner = qobject_cast<CFlatSplitterWnd*>(splitter());
    if (!owner || !owner->hasFlatBorder())
        return;
    const int at = owner->indexOf(this);
    const QWidget* before = at > 0 ? owner->widget(at - 1) : nullptr;
    const QWidget* after = owner->widget(at);
    const bool rows = orientation() == Qt::Vertical; // a bar between two rows
    // The pane before ends on the first line with its highlight; the pane after starts on
    // the last with its shadow. On a one-pixel bar the shadow wins, as the later frame.
    if (before && CFlatSplitterWnd::isFramed(before)) {
        p.setPen(CFlatSplitterWnd::highlightColor(this));
        if (rows)
            p.drawLine(r.topLeft(), r.topRight());
        else
            p.drawLine(r.topLeft(), r.bottomLeft());
    }
    if (after && CFlatSplitterWnd::isFramed(after)) {
        p.setPen(CFlatSplitterWnd::shadowColor(this));
        if (rows)
            p.drawLine(r.bottomLeft(), r.bottomRight());
        else
            p.drawLine(r.topRight(), r.bottomRight());
    }
}

CFlatSplitterWnd::CFlatSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(6);
    setChildrenCollapsible(false);
    setFlatBorder(true);
}

void CFlatSplitterWnd::setFlatBorder(bool on) {
    m_border = on;
    // A plain one-pixel frame reserves the border; paintEvent draws the panes' frames in it.
    setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(on ? 1 : 0);
    update();
}

bool CFlatSplitterWnd::isFramed(const QWidget* pane) {
    return pane && !qobject_cast<const CFlatSplitterWnd*>(pane);
}

QColor CFlatSplitterWnd::shadowColor(const QWidget* w) {
    return w->palette().color(QPalette::Dark);
}

QColor CFlatSplitterWnd::highlightColor(const QWidget* w) {
    return w->palette().color(QPalette::Light);
}

QSize CFlatSplitterWnd::minimumSizeHint() const {
    return QSize(0, 0);
}

void CFlatSplitterWnd::paintEvent(QPaintEvent* event) {
    if (!m_border) {
        QSplitter::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QColor shadow = shadowColor(this);
    const QColor light = highlightColor(this);
    // Each frame lies one pixel outside its pane; where a bar covers a line, the bar draws it.
    for (int i = 0; i < count(); ++i) {
        const QWidget* pane = widget(i);
        if (!isFramed(pane) || pane->isHidden())
            continue;
        const QRect r = pane->geometry().adjusted(-1, -1, 1, 1);
        p.setPen(shadow);
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        p.setPen(light);
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
}

QSplitterHandle* CFlatSplitterWnd::createHandle() {
    return new CFlatSplitterHandle(orientation(), this);
}
