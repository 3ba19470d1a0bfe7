#include "titleview.h"

#include "catalogue.h"
#include "titlesplitterwnd.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

CTitleView::CTitleView(QWidget* parent)
    : QWidget(parent), m_title(QStringLiteral("Empty")),
      m_font(QFontDatabase::systemFont(QFontDatabase::TitleFont)) {
    m_font.setBold(true);
    // Every pixel is painted, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CTitleView::SetTitle(int stringId) {
    SetTitle(S(stringId));
}

void CTitleView::SetTitle(const QString& text) {
    m_title = text;
    update();
}

QSize CTitleView::sizeHint() const {
    return QSize(100, CTitleSplitterWnd::captionHeight());
}

QRect CTitleView::textRect() const {
    return rect().adjusted(2, 2, -2, -2);
}

QString CTitleView::shownText() const {
    return QFontMetrics(m_font).elidedText(m_title, Qt::ElideRight,
                                           std::max(0, textRect().width()));
}

void CTitleView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Active, QPalette::Highlight));
    p.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
    p.setFont(m_font);
    // No mnemonic flag: an ampersand is drawn as itself.
    p.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
               shownText());
}
