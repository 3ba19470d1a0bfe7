#include "waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
bool cursorsExist() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}
} // namespace

CWaitCursor::CWaitCursor() {
    if (!cursorsExist())
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_shown = true;
}

CWaitCursor::~CWaitCursor() {
    if (m_shown && cursorsExist())
        QGuiApplication::restoreOverrideCursor();
}
