#include "emptyform.h"

#include <QFontMetrics>

CEmptyForm::CEmptyForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CEmptyForm"));
    setAutoFillBackground(true);
}

// 185 by 93 dialog units of the dialog font.
QSize CEmptyForm::sizeHint() const {
    const QFontMetrics fm(font());
    const int baseX = fm.averageCharWidth();
    const int baseY = fm.height();
    return QSize(185 * baseX / 4, 93 * baseY / 8);
}
