// The built-in pictures, drawn by code so that no picture comes from elsewhere.
#include "menus_en.h"

#include "resourceids.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace res;

namespace {
const QColor kMagenta(255, 0, 255);
const QColor kInk(40, 40, 60);
const QColor kPaper(255, 255, 240);
const QColor kBlue(40, 90, 190);
const QColor kGreen(30, 140, 60);
const QColor kRed(200, 30, 30);
const QColor kAmber(204, 151, 84);

void page(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void person(QPainter& p, int x, int y, const QColor& shirt) {
    p.setPen(kInk);
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(x + 2, y, 5, 5);
    p.setBrush(shirt);
    p.drawRoundedRect(x, y + 6, 9, 6, 2, 2);
}

void controller(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(150, 160, 175));
    p.drawRect(2, 1, 9, 13);
    p.setBrush(QColor(90, 220, 90));
    p.drawRect(4, 3, 5, 3);
    p.setBrush(kInk);
    p.drawRect(5, 9, 3, 3);
}

void badge(QPainter& p, int kind) {
    // 1 plus, 2 pencil, 3 cross, 4 arrow in, 5 arrow out, 6 check
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 1:
        p.setPen(QPen(kGreen, 2));
        p.drawLine(12, 9, 12, 15);
        p.drawLine(9, 12, 15, 12);
        break;
    case 2:
        p.setPen(QPen(QColor(220, 160, 0), 2));
        p.drawLine(9, 15, 15, 9);
        break;
    case 3:
        p.setPen(QPen(kRed, 2));
        p.drawLine(10, 10, 15, 15);
        p.drawLine(15, 10, 10, 15);
        break;
    case 4:
        p.setPen(QPen(kBlue, 2));
        p.drawLine(15, 12, 10, 12);
        p.drawLine(12, 10, 10, 12);
        p.drawLine(12, 14, 10, 12);
        break;
    case 5:
        p.setPen(QPen(kGreen, 2));
        p.drawLine(9, 12, 14, 12);
        p.drawLine(12, 10, 14, 12);
        p.drawLine(12, 14, 14, 12);
        break;
    case 6:
        p.setPen(QPen(kGreen, 2));
        p.drawLine(9, 12, 11, 14);
        p.drawLine(11, 14, 15, 9);
        break;
    }
}

void key(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(230, 190, 40));
    p.drawEllipse(1, 1, 7, 7);
    p.drawRect(7, 4, 7, 2);
    p.drawRect(11, 6, 2, 3);
}

void lines(QPainter& p, int from, int count) {
    p.setPen(kInk);
    for (int i = 0; i < count; ++i)
        p.drawLine(5, from + 2 * i, 11, from + 2 * i);
}

void database(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(2, 3, 9, 9);
    p.drawEllipse(2, 1, 9, 4);
    p.drawEllipse(2, 10, 9, 4);
}

void button(QPainter& p, int id) {
    switch (id) {
    case ID_FILE_NEW:
        page(p);
        break;
    case ID_FILE_OPEN:
        p.setPen(kInk);
        p.setBrush(QColor(235, 200, 90));
        p.drawRect(1, 4, 12, 9);
        p.drawPolygon(QPolygon({{1, 13}, {4, 7}, {15, 7}, {13, 13}}));
        break;
    case ID_FILE_SAVE:
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(1, 1, 13, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 2, 7, 5);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 9, 7, 5);
        break;
    case ID_EMP_ADD:
        person(p, 1, 1, kBlue);
        badge(p, 1);
        break;
    case ID_EMP_EDIT:
        person(p, 1, 1, kBlue);
        badge(p, 2);
        break;
    case ID_EMP_DELETE:
        person(p, 1, 1, kBlue);
        badge(p, 3);
        break;
    case ID_EMP_SELECTALL:
        person(p, 0, 1, kBlue);
        person(p, 6, 3, kGreen);
        break;
    case ID_EMP_SELECTIN:
        person(p, 0, 1, kGreen);
        badge(p, 6);
        break;
    case ID_EMP_SELECTNOTIN:
        person(p, 0, 1, kRed);
        badge(p, 3);
        break;
    case ID_TERM_ADD:
        controller(p);
        badge(p, 1);
        break;
    case ID_TERM_EDIT:
        controller(p);
        badge(p, 2);
        break;
    case ID_TERM_DELETE:
        controller(p);
        badge(p, 3);
        break;
    case ID_TERM_FIRMWARE:
        p.setPen(kInk);
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(4, 3, 8, 10);
        for (int y = 4; y < 13; y += 2) {
            p.drawLine(2, y, 4, y);
            p.drawLine(12, y, 14, y);
        }
        break;
    case ID_TERM_READIDTABLE:
        page(p);
        lines(p, 6, 4);
        badge(p, 4);
        break;
    case ID_TERM_READMASTER:
        key(p);
        badge(p, 4);
        break;
    case ID_TERM_READPARAMS:
        p.setPen(QPen(kInk, 2));
        p.drawEllipse(2, 2, 9, 9);
        p.drawLine(6, 6, 6, 3);
        badge(p, 4);
        break;
    case ID_TERM_WRITEIDTABLE:
        page(p);
        lines(p, 6, 4);
        badge(p, 5);
        break;
    case ID_TERM_WRITEMASTER:
        key(p);
        badge(p, 5);
        break;
    case ID_TERM_WRITEPARAMS:
        p.setPen(QPen(kInk, 2));
        p.drawEllipse(2, 2, 9, 9);
        p.drawLine(6, 6, 9, 6);
        badge(p, 5);
        break;
    case ID_TERM_REMOVEIDTABLE:
        page(p);
        lines(p, 6, 3);
        badge(p, 3);
        break;
    case ID_TERM_CLEARIDTABLE:
        page(p);
        p.setPen(QPen(kRed, 2));
        p.drawLine(3, 3, 13, 13);
        p.drawLine(13, 3, 3, 13);
        break;
    case ID_TERM_SELNOTINDB:
        database(p);
        badge(p, 3);
        break;
    case ID_TERM_COPYTODB:
        database(p);
        badge(p, 4);
        break;
    case ID_TERM_OPENLOCK:
        p.setPen(QPen(kInk, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(2, 1, 8, 9, 0, 180 * 16);
        p.setPen(kInk);
        p.setBrush(QColor(230, 190, 40));
        p.drawRect(4, 7, 10, 8);
        break;
    case ID_APP_ABOUT:
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawEllipse(1, 1, 13, 13);
        p.setPen(QPen(Qt::white, 2));
        p.drawPoint(8, 4);
        p.drawLine(8, 7, 8, 12);
        break;
    default:
        break;
    }
}

QImage toolbarStrip() {
    CToolBarResource bar;
    builtInToolBar(IDR_MAINFRAME, bar);
    std::vector<int> ids;
    for (int id : bar.buttons)
        if (id)
            ids.push_back(id);
    QImage strip(int(ids.size()) * 16, 16, QImage::Format_RGB32);
    strip.fill(kMagenta);
    QPainter p(&strip);
    for (size_t i = 0; i < ids.size(); ++i) {
        p.save();
        p.translate(int(i) * 16, 0);
        p.setClipRect(0, 0, 16, 16);
        button(p, ids[i]);
        p.restore();
    }
    return strip;
}

// The program's mark: a door with a reader beside it.
void mark(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = r.width(), h = r.height();
    p.setPen(QPen(kInk, qMax(1.0, w / 24)));
    p.setBrush(kAmber);
    p.drawRoundedRect(QRectF(r.x() + w * 0.12, r.y() + h * 0.06, w * 0.5, h * 0.88), w * 0.04,
                      w * 0.04);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(r.x() + w * 0.52, r.y() + h * 0.52), w * 0.04, w * 0.04);
    p.setBrush(QColor(60, 200, 90));
    p.drawRoundedRect(QRectF(r.x() + w * 0.7, r.y() + h * 0.3, w * 0.2, h * 0.34), w * 0.03,
                      w * 0.03);
}

QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    mark(p, QRectF(0, 0, size, size));
    return img;
}

QFont textFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

bool canDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

QImage splash() {
    QImage img(430, 300, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 300);
    g.setColorAt(0, QColor(250, 236, 210));
    g.setColorAt(1, kAmber);
    p.fillRect(img.rect(), g);
    mark(p, QRectF(30, 60, 130, 150));
    if (canDrawText()) {
        p.setPen(kInk);
        p.setFont(textFont(44, true));
        p.drawText(QRect(180, 80, 240, 60), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Tarvex"));
        p.setFont(textFont(14, false));
        p.drawText(QRect(182, 140, 240, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("VR-12"));
    }
    return img;
}

QImage banner() {
    QImage img(300, 60, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 300, 0);
    g.setColorAt(0, kAmber);
    g.setColorAt(1, QColor(250, 236, 210));
    p.fillRect(img.rect(), g);
    mark(p, QRectF(8, 6, 48, 48));
    return img;
}

QImage notifierSkin() {
    QImage img(100, 70, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(70, 110, 170));
    p.drawRoundedRect(QRectF(0.5, 0.5, 99, 69), 8, 8);
    p.setBrush(kAmber);
    p.drawRoundedRect(QRectF(4, 4, 92, 12), 4, 4);
    return img;
}

QImage watermark() {
    QImage img(164, 314, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 314);
    g.setColorAt(0, kAmber);
    g.setColorAt(1, QColor(120, 80, 40));
    p.fillRect(img.rect(), g);
    mark(p, QRectF(32, 100, 100, 110));
    return img;
}

QImage header() {
    QImage img(49, 49, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    mark(p, QRectF(4, 4, 41, 41));
    return img;
}
} // namespace

QImage builtInProgramIcon(int size) {
    return icon(size);
}

QImage builtInImage(int id) {
    switch (id) {
    case IDB_TOOLBAR:
        return toolbarStrip();
    case IDI_PROGRAM:
        return icon(32);
    case IDI_TRAY:
        return icon(16);
    case IDI_TRAY_16COLOURS:
        return icon(16).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    case IDB_SPLASH:
        return splash();
    case IDB_ABOUT_BANNER:
        return banner();
    case IDB_NOTIFIER_SKIN:
        return notifierSkin();
    case IDB_WIZARD_WATERMARK:
        return watermark();
    case IDB_WIZARD_HEADER:
        return header();
    default:
        return {};
    }
}
