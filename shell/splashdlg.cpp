#include "splashdlg.h"

#include "catalogue.h"
#include "resourceids.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimerEvent>

CSplashDlg::CSplashDlg(QWidget* owner)
    : QDialog(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("CSplashDlg"));
    const QImage picture = CCatalogue::instance().image(res::IDB_SPLASH);
    m_picture = new QLabel(this);
    m_picture->setPixmap(QPixmap::fromImage(picture));
    m_picture->setGeometry(QRect(QPoint(0, 0), picture.size()));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status%1").arg(res::IDC_SPLASH_STATUS));
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setAutoFillBackground(true);
    QPalette pal = m_status->palette();
    pal.setColor(QPalette::Window, QColor(204, 151, 84));
    pal.setColor(QPalette::WindowText, Qt::black);
    m_status->setPalette(pal);
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    m_status->setFont(font);
    m_status->setFixedHeight(m_status->fontMetrics().height() + 6);
    // The status line lies over the bottom of the picture.
    m_status->setGeometry(0, picture.height() - m_status->height(), picture.width(),
                          m_status->height());
    setFixedSize(picture.size());
}

void CSplashDlg::SetStatusText(const QString& text) {
    m_history.append(text);
    m_status->setText(text);
    if (isVisible())
        m_status->repaint();
}

void CSplashDlg::SetStatusText(int stringId) {
    SetStatusText(S(stringId));
}

QString CSplashDlg::statusText() const {
    return m_status->text();
}

void CSplashDlg::showCentred() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
    show();
    repaint();
}

void CSplashDlg::startHideTimer() {
    if (m_timer)
        killTimer(m_timer);
    m_timer = startTimer(kHideAfterMs, Qt::PreciseTimer);
}

void CSplashDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(m_timer);
    m_timer = 0;
    hide();
}
