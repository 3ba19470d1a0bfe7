#include "systemtray.h"

#include "catalogue.h"
#include "commandmanager.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>

CSystemTray::CSystemTray(QObject* parent) : QObject(parent) {
    m_probeTimer = new QTimer(this);
    connect(m_probeTimer, &QTimer::timeout, this, &CSystemTray::probe);
    m_clickTimer = new QTimer(this);
    m_clickTimer->setSingleShot(true);
    m_clickTimer->setInterval(QApplication::doubleClickInterval());
    connect(m_clickTimer, &QTimer::timeout, this, &CSystemTray::runDefaultCommand);
}

CSystemTray::~CSystemTray() {
    if (m_icon)
        m_icon->hide();
    delete m_menu;
}

void CSystemTray::setProbeInterval(int ms) {
    if (ms <= 0)
        m_probeTimer->stop();
    else
        m_probeTimer->start(ms);
}

bool CSystemTray::trayAvailable() const {
    return m_probe ? m_probe() : QSystemTrayIcon::isSystemTrayAvailable();
}

bool CSystemTray::Create(QWidget* owner, const QString& tip, const QIcon& icon, int id,
                         bool hidden) {
    m_owner = owner;
    m_id = id;
    m_tip = tip.left(127);
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) { OnTrayNotification(m_id, r); });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(m_tip);
    rebuildMenu();
    m_lastAvailable = trayAvailable();
    m_hidden = hidden;
    if (hidden) {
        m_removed = true;
        m_pending = false;
        return true;
    }
    const bool ok = addIcon();
    // Without a notification area now, keep looking: one may appear later.
    if (m_probeTimer->interval() <= 0 || !m_probeTimer->isActive())
        setProbeInterval(2000);
    return ok;
}

bool CSystemTray::addIcon() {
    if (!m_icon)
        return false;
    const bool accepted = trayAvailable();
    if (accepted)
        m_icon->show();
    // A refusal (no notification area) leaves the icon waiting for the next one
    // rather than hidden for good, so a tray that appears later still gets it.
    m_removed = m_pending = !accepted;
    return accepted;
}

void CSystemTray::OnTaskbarCreated() {
    m_pending = true;
    AddPendingIcon();
}

void CSystemTray::OnWorkAreaChanged() {
    m_pending = !m_hidden;
    AddPendingIcon();
}

void CSystemTray::AddPendingIcon() {
    if (m_pending && !m_hidden)
        addIcon();
}

void CSystemTray::probe() {
    const bool now = trayAvailable();
    if (now && !m_lastAvailable) {
        m_lastAvailable = now;
        OnTaskbarCreated();
        return;
    }
    if (!now && m_lastAvailable) {
        // The notification area went away; the icon must come back with the next one.
        if (m_icon)
            m_icon->hide();
        m_removed = true;
        m_pending = true;
    }
    m_lastAvailable = now;
}

void CSystemTray::rebuildMenu() {
    delete m_menu;
    m_menu = nullptr;
    if (!m_commands || !m_id)
        return;
    m_menu = m_commands->createPopup(m_id, 0, nullptr);
    if (!m_menu)
        return;
    if (m_icon)
        m_icon->setContextMenu(m_menu);
    if (const int cmd = defaultCommand()) {
        for (QAction* a : m_menu->actions()) {
            if (a->data().toInt() == cmd) {
                // Shown in bold, like every menu's default item.
                m_menu->setDefaultAction(a);
                break;
            }
        }
    }
}

int CSystemTray::defaultCommand() const {
    if (!m_defaultByPos)
        return m_defaultItem;
    const CMenuResource resource = CCatalogue::instance().menu(m_id);
    if (resource.empty())
        return 0;
    const auto& items = resource.front().items;
    if (m_defaultItem < 0 || m_defaultItem >= int(items.size()))
        return 0;
    return items[size_t(m_defaultItem)].id;
}

bool CSystemTray::SetMenuDefaultItem(int item, bool byPos) {
    if (m_defaultItem == item && m_defaultByPos == byPos)
        return true;
    const CMenuResource resource = CCatalogue::instance().menu(m_id);
    if (resource.empty())
        return false;
    m_defaultItem = item;
    m_defaultByPos = byPos;
    rebuildMenu();
    return true;
}

QWidget* CSystemTray::target() const {
    if (m_target)
        return m_target;
    if (m_owner)
        return m_owner->window();
    return QApplication::activeWindow();
}

int CSystemTray::OnTrayNotification(int id, QSystemTrayIcon::ActivationReason reason) {
    if (id != m_id)
        return 0;
    QWidget* t = target();
    if (!t)
        return 0;
    switch (reason) {
    case QSystemTrayIcon::Context:
        // The platform opens the context menu itself; its enabling is fresh.
        if (m_commands)
            m_commands->updateAll();
        break;
    case QSystemTrayIcon::Trigger:
        // A single left click. Trays that report only single clicks (StatusNotifierItem)
        // give nothing else, so it must run the default command; trays that also report
        // double clicks send it ahead of the DoubleClick. Waiting out the double-click time
        // serves both: a DoubleClick within it runs the command once, at once.
        if (!m_clickTimer->isActive())
            m_clickTimer->start();
        break;
    case QSystemTrayIcon::DoubleClick:
        m_clickTimer->stop();
        runDefaultCommand();
        break;
    default:
        break;
    }
    return 1;
}

void CSystemTray::runDefaultCommand() {
    QWidget* t = target();
    const int cmd = defaultCommand();
    if (!t || !cmd)
        return;
    t->activateWindow();
    QMetaObject::invokeMethod(
        this,
        [this, cmd] {
            emit commandPosted(cmd);
            if (m_commands)
                m_commands->execute(cmd);
        },
        Qt::QueuedConnection);
}
