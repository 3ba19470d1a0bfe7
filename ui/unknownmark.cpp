#include "unknownmark.h"

#include "catalogue.h"
#include "resourceids.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace UnknownMark {
namespace {
// A ring with a question mark: its shape, not its colour, tells the rows apart.
QPixmap drawn(const QColor& ink, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(ink);
    pen.setWidthF(size / 8.0);
    p.setPen(pen);
    const qreal inset = pen.widthF() / 2 + 0.5;
    p.drawEllipse(QRectF(inset, inset, size - 2 * inset, size - 2 * inset));
    QFont font;
    font.setBold(true);
    font.setPixelSize(size * 3 / 4);
    p.setFont(font);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}
} // namespace

QIcon icon(const QPalette& palette) {
    QIcon icon;
    for (int size : {16, 32}) {
        icon.addPixmap(drawn(palette.color(QPalette::Text), size), QIcon::Normal);
        icon.addPixmap(drawn(palette.color(QPalette::HighlightedText), size), QIcon::Selected);
    }
    return icon;
}

QString description() {
    return S(res::IDS_UNKNOWN_MEDIUM);
}

QVariant cellData(int role, const QPalette& palette) {
    if (role == Qt::AccessibleDescriptionRole)
        return description();
    if (role != Qt::DecorationRole)
        return {};
    // Asked for at every paint of a marked cell: drawn again only when the colours change.
    static qint64 drawnFor = -1;
    static QIcon drawnIcon;
    if (palette.cacheKey() != drawnFor) {
        drawnIcon = icon(palette);
        drawnFor = palette.cacheKey();
    }
    return drawnIcon;
}

} // namespace UnknownMark
