#include "linkpictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vr12comm {

namespace {

void cross(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(220, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

QImage draw(bool portOpen, bool logOpen) {
    QImage img(48, 48, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Computer: monitor with a blue screen on a stand, lower left.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRectF(2.5, 22.5, 20, 15));
    p.setBrush(QColor(0, 0, 160));
    p.drawRect(QRectF(5.5, 25.5, 14, 9));
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(QRectF(8.5, 38.5, 8, 3));
    p.drawRect(QRectF(4.5, 41.5, 16, 3));

    // Folder, upper left.
    p.setBrush(QColor(240, 200, 60));
    QPainterPath folder;
    folder.moveTo(3.5, 6.5);
    folder.lineTo(9.5, 6.5);
    folder.lineTo(11.5, 8.5);
    folder.lineTo(19.5, 8.5);
    folder.lineTo(19.5, 18.5);
    folder.lineTo(3.5, 18.5);
    folder.closeSubpath();
    p.drawPath(folder);

    // Door lock: body and shackle, right.
    p.setBrush(QColor(200, 150, 40));
    p.drawRect(QRectF(34.5, 26.5, 11, 11));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.drawArc(QRectF(36, 19, 8, 14), 0, 180 * 16);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(40, 31), 1.5, 1.5);

    // Cable from the computer to the lock.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(22.5, 30);
    cable.cubicTo(27, 22, 30, 38, 34.5, 32);
    p.drawPath(cable);

    if (!portOpen)
        cross(p, QRectF(23, 24, 10, 12));
    if (!logOpen)
        cross(p, QRectF(4, 5, 16, 15));
    return img;
}

} // namespace

const QImage& linkPicture(int linkState) {
    // 202: both open, 203: port not open, 204: log not open, 205: neither.
    static const QImage pictures[4] = {draw(false, false), draw(false, true), draw(true, false),
                                       draw(true, true)};
    return pictures[linkState >= 0 && linkState < 4 ? linkState : 0];
}

} // namespace vr12comm
