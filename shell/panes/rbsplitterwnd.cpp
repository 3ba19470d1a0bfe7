#include "rbsplitterwnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {
// A drag of the bar can be cancelled with Escape before the button is let go.
class RBHandle : public CFlatSplitterHandle {
public:
    RBHandle(Qt::Orientation o, CRBSplitterWnd* parent)
        : CFlatSplitterHandle(o, parent), m_owner(parent) {}
    ~RBHandle() override { qApp->removeEventFilter(this); }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        m_cancelled = false;
        if (e->button() == Qt::LeftButton)
            qApp->installEventFilter(this);
        CFlatSplitterHandle::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!m_cancelled)
            CFlatSplitterHandle::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        qApp->removeEventFilter(this);
        if (m_cancelled) {
            m_cancelled = false;
            return;
        }
        CFlatSplitterHandle::mouseReleaseEvent(e);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_cancelled = true;
            m_owner->cancelDrag();
            return true;
        }
        return CFlatSplitterHandle::eventFilter(watched, event);
    }

private:
    CRBSplitterWnd* m_owner;
    bool m_cancelled = false;
};
} // namespace

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
    // The whole splitter, border included: keepSize covers the second pane, the bar and the
    // border.
    return orientation() == Qt::Vertical ? height() : width();
}

void CRBSplitterWnd::relayout() {
    if (count() < 2)
        return;
    const QRect inside = contentsRect();
    const int room = orientation() == Qt::Vertical ? inside.height() : inside.width();
    const int first = std::max(0, std::min(room, outerSize() - m_keepSize));
    const int second = std::max(0, room - first - handleWidth());
    setSizes({first, second});
}

void CRBSplitterWnd::resizeEvent(QResizeEvent* event) {
    CFlatSplitterWnd::resizeEvent(event);
    relayout();
}

QSplitterHandle* CRBSplitterWnd::createHandle() {
    return new RBHandle(orientation(), this);
}

void CRBSplitterWnd::cancelDrag() {
    setRubberBand(-1);
}

void CRBSplitterWnd::dragFinished() {
    if (count() < 2)
        return;
    m_keepSize = std::max(0, outerSize() - sizes().value(0));
}
