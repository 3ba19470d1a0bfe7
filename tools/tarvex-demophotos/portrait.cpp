#include "portrait.h"

#include <QColor>
#include <QCryptographicHash>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

QImage drawPortrait(const QString& lastName, const QString& firstName, int width, int height) {
    const QByteArray digest =
        QCryptographicHash::hash((lastName + u'|' + firstName).toUtf8(), QCryptographicHash::Sha1);
    auto pick = [&](int i) { return int(quint8(digest.at(i % digest.size()))); };
    const QColor background = QColor::fromHsv(pick(0) * 359 / 255, 60, 225);
    const QColor skin = QColor::fromHsv(20 + pick(1) % 15, 70 + pick(2) % 90, 120 + pick(3) % 120);
    const QColor hair = QColor::fromHsv(pick(4) % 40, 90 + pick(5) % 150, 30 + pick(6) % 160);
    const QColor shirt = QColor::fromHsv(pick(7) * 359 / 255, 150, 150);

    QImage image(width, height, QImage::Format_RGB888);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const double w = width, h = height;

    // Shoulders, neck, hair behind the head, the head, then the face.
    p.setBrush(shirt);
    p.drawEllipse(QRectF(w * 0.08, h * 0.70, w * 0.84, h * 0.55));
    p.setBrush(skin.darker(110));
    p.drawRect(QRectF(w * 0.42, h * 0.55, w * 0.16, h * 0.18));
    p.setBrush(hair);
    // Hair ends above the chin.
    const double hairLength = 0.33 + (pick(8) % 12) / 100.0;
    p.drawEllipse(QRectF(w * 0.24, h * 0.10, w * 0.52, h * hairLength));
    p.setBrush(skin);
    p.drawEllipse(QRectF(w * 0.29, h * 0.17, w * 0.42, h * 0.44));
    p.setBrush(hair);
    QPainterPath fringe;
    fringe.moveTo(w * 0.28, h * 0.32);
    fringe.cubicTo(w * 0.30, h * 0.08, w * 0.70, h * 0.08, w * 0.72, h * 0.32);
    fringe.cubicTo(w * 0.60, h * (0.20 + (pick(9) % 8) / 100.0), w * 0.42, h * 0.22, w * 0.28,
                   h * 0.32);
    p.drawPath(fringe);

    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(w * 0.38, h * 0.34, w * 0.09, h * 0.045));
    p.drawEllipse(QRectF(w * 0.53, h * 0.34, w * 0.09, h * 0.045));
    p.setBrush(QColor::fromHsv(pick(10) % 360, 120, 80));
    p.drawEllipse(QRectF(w * 0.405, h * 0.345, w * 0.045, h * 0.035));
    p.drawEllipse(QRectF(w * 0.555, h * 0.345, w * 0.045, h * 0.035));
    p.setPen(QPen(skin.darker(140), w * 0.012, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(w * 0.50, h * 0.38), QPointF(w * 0.48, h * 0.45));
    p.setPen(QPen(QColor(150, 50, 60), w * 0.015, Qt::SolidLine, Qt::RoundCap));
    const double smile = (pick(11) % 6) / 100.0;
    QPainterPath mouth;
    mouth.moveTo(w * 0.43, h * 0.50);
    mouth.quadTo(w * 0.50, h * (0.50 + smile), w * 0.57, h * 0.50);
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);

    // Initials on the shirt.
    QFont font;
    font.setBold(true);
    font.setPixelSize(int(h * 0.09));
    p.setFont(font);
    p.setPen(Qt::white);
    const QString initials = firstName.left(1).toUpper() + lastName.left(1).toUpper();
    p.drawText(QRectF(0, h * 0.80, w, h * 0.15), Qt::AlignCenter, initials);
    return image;
}
