#include "taskbarnotifier.h"

#include "catalogue.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <QTimerEvent>

#include <algorithm>

CTaskbarNotifier::CTaskbarNotifier(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("CTaskbarNotifier"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setMouseTracking(true);
    m_normalFont = m_selectedFont = font();
}

bool CTaskbarNotifier::SetSkin(int bitmapId, int r, int g, int b) {
    return SetSkin(CCatalogue::instance().image(bitmapId), r, g, b);
}

bool CTaskbarNotifier::SetSkin(const QImage& skin, int r, int g, int b) {
    if (skin.isNull())
        return false;
    m_skin = skin.convertToFormat(QImage::Format_RGB32);
    m_textRect = m_skin.rect();
    const int w = m_skin.width();
    const int h = m_skin.height();
    m_shape = QRegion(0, 0, w, h);
    if (r != -1 && g != -1 && b != -1) {
        // Computed once here, row by row: runs of the transparent colour are cut out.
        const QRgb key = qRgb(r, g, b);
        QRegion cut;
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(m_skin.constScanLine(y));
            int x = 0;
            while (x < w) {
                if ((line[x] & 0xFFFFFF) != (key & 0xFFFFFF)) {
                    ++x;
                    continue;
                }
                const int from = x;
                while (x < w && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                    ++x;
                cut += QRect(from, y, x - from, 1);
            }
        }
        m_shape -= cut;
    }
    setFixedSize(w, h);
    setMask(m_shape);
    update();
    return true;
}

QFont CTaskbarNotifier::makeFont(const QString& face, int size, int style) {
    QString family = face;
    if (!QFontDatabase::families().contains(face, Qt::CaseInsensitive))
        family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont f(family);
    f.setPointSizeF(size / 10.0);
    f.setWeight((style & 1) ? QFont::Bold : QFont::Normal);
    f.setItalic(style & 2);
    f.setUnderline(style & 4);
    return f;
}

void CTaskbarNotifier::SetTextFont(const QString& face, int size, int normalStyle,
                                   int selectedStyle) {
    m_normalFont = makeFont(face, size, normalStyle);
    m_selectedFont = makeFont(face, size, selectedStyle);
    update();
}

void CTaskbarNotifier::SetTextColor(const QColor& normal, const QColor& selected) {
    m_normalColor = normal;
    m_selectedColor = selected;
    update();
}

void CTaskbarNotifier::SetTextRect(const QRect& rect) {
    m_textRect = rect;
    update();
}

void CTaskbarNotifier::readScreen(QRect& work, QRect& screen) const {
    if (m_screenSource) {
        m_screenSource(work, screen);
        return;
    }
    const QScreen* s = QGuiApplication::primaryScreen();
    work = s ? s->availableGeometry() : QRect();
    screen = s ? s->geometry() : QRect();
}

QPoint CTaskbarNotifier::shownPos() const {
    const int right = m_work.x() + m_work.width();
    const int bottom = m_work.y() + m_work.height();
    switch (m_placement) {
    case Right:
        return {right - m_skin.width(), m_startY};
    case Left:
        return {m_work.x(), m_startY};
    case Top:
        return {m_startX, m_work.y()};
    case Bottom:
        return {m_startX, bottom - m_skin.height()};
    case None:
        break;
    }
    return {m_startX, m_startY};
}

void CTaskbarNotifier::Show(const QString& text, unsigned timeToShow, unsigned timeToStay,
                            unsigned timeToHide) {
    m_text = text;
    m_timeToShow = timeToShow;
    m_timeToStay = timeToStay;
    m_timeToHide = timeToHide;

    QRect work, screen;
    readScreen(work, screen);
    // The taskbar's edge, from how the work area sits in the screen.
    Placement edge = Bottom;
    if (work.width() < screen.width() && work.x() == screen.x())
        edge = Right;
    else if (work.width() < screen.width())
        edge = Left;
    else if (work.height() < screen.height() && work.y() != screen.y())
        edge = Top;

    switch (m_state) {
    case Hidden: {
        m_work = work;
        const int w = m_skin.width();
        const int h = m_skin.height();
        // A skin narrower than one step would make the step periods divide by zero.
        const int across = std::max(1, ((edge == Left || edge == Right) ? w : h) / kIncrement);
        m_showStep = timeToShow / unsigned(across);
        m_hideStep = timeToHide / unsigned(across);
        const int right = work.x() + work.width();
        const int bottom = work.y() + work.height();
        switch (edge) {
        case Right:
            m_startX = right;
            m_startY = bottom - h;
            break;
        case Left:
            m_startX = work.x() - w;
            m_startY = bottom - h;
            break;
        case Top:
            m_startX = right - w;
            m_startY = work.y() - h;
            break;
        default:
            m_startX = right - w;
            m_startY = bottom;
            break;
        }
        m_placement = edge;
        m_currentX = m_startX;
        m_currentY = m_startY;
        place();
        show();
        startNotifierTimer(AppearTimer, m_showStep);
        break;
    }
    case Appearing:
        update();
        break;
    case Waiting:
        update();
        // The whole time to stay counts again from now, also when the slide out
        // was already due but had not moved yet.
        stopNotifierTimer(DisappearTimer);
        startNotifierTimer(WaitTimer, m_timeToStay);
        break;
    case Disappearing: {
        stopNotifierTimer(DisappearTimer);
        startNotifierTimer(WaitTimer, m_timeToStay);
        const QPoint p = shownPos();
        m_currentX = p.x();
        m_currentY = p.y();
        setState(Waiting);
        place();
        update();
        break;
    }
    }
}

void CTaskbarNotifier::Hide() {
    for (int id = AppearTimer; id <= DisappearTimer; ++id)
        stopNotifierTimer(id);
    hide();
    setState(Hidden);
}

void CTaskbarNotifier::OnTimer(int id) {
    const int w = m_skin.width();
    const int h = m_skin.height();
    switch (id) {
    case AppearTimer: {
        setState(Appearing);
        bool moved = true;
        switch (m_placement) {
        case Bottom:
            moved = m_currentY > m_startY - h;
            if (moved)
                m_currentY -= kIncrement;
            break;
        case Top:
            moved = m_currentY - m_startY < h;
            if (moved)
                m_currentY += kIncrement;
            break;
        case Left:
            moved = m_currentX - m_startX < w;
            if (moved)
                m_currentX += kIncrement;
            break;
        case Right:
            moved = m_currentX > m_startX - w;
            if (moved)
                m_currentX -= kIncrement;
            break;
        case None:
            moved = false;
            break;
        }
        if (!moved) {
            stopNotifierTimer(AppearTimer);
            startNotifierTimer(WaitTimer, m_timeToStay);
            setState(Waiting);
        }
        place();
        break;
    }
    case WaitTimer:
        stopNotifierTimer(WaitTimer);
        startNotifierTimer(DisappearTimer, m_hideStep);
        break;
    case DisappearTimer: {
        setState(Disappearing);
        bool moved = true;
        switch (m_placement) {
        case Bottom:
            moved = m_currentY < m_startY;
            if (moved)
                m_currentY += kIncrement;
            break;
        case Top:
            moved = m_currentY > m_startY;
            if (moved)
                m_currentY -= kIncrement;
            break;
        case Left:
            moved = m_currentX > m_startX;
            if (moved)
                m_currentX -= kIncrement;
            break;
        case Right:
            moved = m_currentX < m_startX;
            if (moved)
                m_currentX += kIncrement;
            break;
        case None:
            moved = false;
            break;
        }
        if (!moved) {
            stopNotifierTimer(DisappearTimer);
            Hide();
            return;
        }
        place();
        break;
    }
    default:
        break;
    }
}

void CTaskbarNotifier::setState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void CTaskbarNotifier::place() {
    if (!m_skin.isNull())
        setGeometry(m_currentX, m_currentY, m_skin.width(), m_skin.height());
    else
        move(m_currentX, m_currentY);
}

void CTaskbarNotifier::setManualTimers(bool manual) {
    m_manual = manual;
    if (manual) {
        for (auto& t : m_timers)
            t.stop();
    }
}

void CTaskbarNotifier::startNotifierTimer(int id, unsigned ms) {
    m_running[size_t(id)] = true;
    m_period[size_t(id)] = ms;
    if (!m_manual)
        m_timers[size_t(id)].start(int(ms), Qt::PreciseTimer, this);
}

void CTaskbarNotifier::stopNotifierTimer(int id) {
    m_running[size_t(id)] = false;
    m_timers[size_t(id)].stop();
}

bool CTaskbarNotifier::isTimerRunning(int id) const {
    return id >= AppearTimer && id <= DisappearTimer && m_running[size_t(id)];
}

unsigned CTaskbarNotifier::timerPeriod(int id) const {
    return id >= AppearTimer && id <= DisappearTimer ? m_period[size_t(id)] : 0;
}

void CTaskbarNotifier::timerEvent(QTimerEvent* event) {
    for (int id = AppearTimer; id <= DisappearTimer; ++id) {
        if (event->timerId() == m_timers[size_t(id)].timerId()) {
            OnTimer(id);
            return;
        }
    }
    QWidget::timerEvent(event);
}

void CTaskbarNotifier::enterEvent(QEnterEvent*) {
    m_mouseOver = true;
    update();
}

void CTaskbarNotifier::leaveEvent(QEvent*) {
    m_mouseOver = false;
    update();
}

void CTaskbarNotifier::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_skin.isNull())
        p.drawImage(0, 0, m_skin);
    const QFont& f = m_mouseOver ? m_selectedFont : m_normalFont;
    p.setFont(f);
    p.setPen(m_mouseOver ? m_selectedColor : m_normalColor);

    // Word-wrapped lines from the top of the rectangle, centred; the last line
    // that fits takes an ellipsis when text is left over.
    const QFontMetrics fm(f);
    QTextLayout layout(m_text, f);
    QTextOption opt(Qt::AlignHCenter);
    opt.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(opt);
    layout.beginLayout();
    QList<QPair<int, int>> lines;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(m_textRect.width());
        lines.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    const int maxLines = std::max(1, m_textRect.height() / std::max(1, fm.height()));
    int y = m_textRect.top();
    for (int i = 0; i < lines.size() && i < maxLines; ++i) {
        QString t = m_text.mid(lines[i].first, lines[i].second);
        if (i == maxLines - 1 && i < lines.size() - 1)
            t = fm.elidedText(m_text.mid(lines[i].first), Qt::ElideRight, m_textRect.width());
        p.drawText(QRect(m_textRect.left(), y, m_textRect.width(), fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, t.trimmed());
        y += fm.height();
    }
}
