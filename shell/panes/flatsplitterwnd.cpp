#include "flatsplitterwnd.h"

#include <QPaintEvent>
#include <QPainter>

void CFlatSplitterHandle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
}

CFlatSplitterWnd::CFlatSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(6);
    setChildrenCollapsible(false);
    setFrameShape(QFrame::NoFrame);
}

void CFlatSplitterWnd::setFlatBorder(bool on) {
    m_border = on;
    // A plain one-pixel frame reserves the border; paintEvent gives it the flat colours.
    setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(on ? 1 : 0);
    update();
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
    const QRect r = rect();
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    p.setPen(shadow);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(light);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

QSplitterHandle* CFlatSplitterWnd::createHandle() {
    return new CFlatSplitterHandle(orientation(), this);
}
