#include "mainframetray.h"

#include "catalogue.h"
#include "resourceids.h"
#include "systemtray.h"
#include "taskbarnotifier.h"

#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

CMainFrameTray::CMainFrameTray(QWidget* frame, CCommandManager* commands)
    : QObject(frame), m_frame(frame), m_tray(new CSystemTray(this)),
      // Not a child of the main window, so it can show while the window is hidden.
      m_notifier(std::make_unique<CTaskbarNotifier>()) {
    setObjectName(QStringLiteral("CMainFrameTray"));
    m_notifier->SetTextFont(QStringLiteral("Tahoma"), 85, 1, 1);
    m_notifier->SetSkin(res::IDB_NOTIFIER_SKIN, 255, 255, 255);
    m_notifier->SetTextColor(Qt::white, Qt::white);
    const QSize skin = m_notifier->skinSize();
    m_notifier->SetTextRect(QRect(8, 20, skin.width() - 16, skin.height() - 28));

    m_tray->setCommandManager(commands);
    m_tray->SetTargetWnd(frame);
    const QIcon icon(QPixmap::fromImage(CCatalogue::instance().image(res::IDI_TRAY)));
    m_tray->Create(frame, S(res::IDS_APP_TITLE), icon, res::IDR_MENU_TRAY);
    m_tray->SetMenuDefaultItem(res::ID_RESTORE_MAIN, false);

    if (frame)
        frame->installEventFilter(this);
}

CMainFrameTray::~CMainFrameTray() = default;

void CMainFrameTray::OnCloseBox() {
    m_notifier->Show(S(res::IDS_STILL_ACTIVE), 100, 3000, 100);
    // The frame minimises right after this; hiding follows once that is done.
    QTimer::singleShot(0, this, &CMainFrameTray::hideIntoTray);
}

void CMainFrameTray::ShowNotice(const QString& text) {
    // Longer than "still active": it asks the user to act.
    m_notifier->Show(text, 100, 10000, 100);
}

void CMainFrameTray::hideIntoTray() {
    if (m_frame && m_tray->isShown() && m_frame->isMinimized())
        m_frame->hide();
}

bool CMainFrameTray::eventFilter(QObject* watched, QEvent* event) {
    // Only a minimise asked for by the user (title bar, system menu) hides the
    // window; the program minimising it itself (a restored placement) does not.
    if (watched == m_frame && event->type() == QEvent::WindowStateChange && event->spontaneous() &&
        m_frame->isMinimized())
        QTimer::singleShot(0, this, &CMainFrameTray::hideIntoTray);
    return QObject::eventFilter(watched, event);
}
