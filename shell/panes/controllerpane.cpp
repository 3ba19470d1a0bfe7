#include "controllerpane.h"

CControllerPane::CControllerPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CControllerPane"));
}

QWidget* CControllerPane::showWindow(QWidget* w) {
    QWidget* old = m_shown;
    if (w == old)
        return old;
    m_shown = w;
    if (w) {
        if (w->parentWidget() != this)
            w->setParent(this);
        w->setGeometry(rect());
        w->show();
        w->update();
    }
    if (old)
        old->hide();
    return old;
}

QSize CControllerPane::sizeHint() const {
    return m_shown ? m_shown->sizeHint() : QWidget::sizeHint();
}

void CControllerPane::resizeEvent(QResizeEvent*) {
    if (m_shown)
        m_shown->setGeometry(rect());
}
