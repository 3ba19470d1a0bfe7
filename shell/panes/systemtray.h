#pragma once

#include "commandmanager.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

class QTimer;

// The program's icon in the notification area, with its menu (menu resource
// = icon identifier) whose default item is shown in bold and runs on a double
// click, or on a single left click that no double click follows (trays that
// report only single clicks). When the notification area comes back (or
// appears late), the icon is added again.
class CSystemTray : public QObject {
    Q_OBJECT
public:
    // Whether the desktop has a notification area right now.
    using TrayProbe = std::function<bool()>;

    explicit CSystemTray(QObject* parent = nullptr);
    ~CSystemTray() override;

    // Commands of the menu and of a double click go through these.
    void setCommandManager(CCommandManager* commands) { m_commands = commands; }
    // Replaces the check for a notification area (tests).
    void setTrayProbe(TrayProbe probe) { m_probe = std::move(probe); }
    // How often the notification area is looked for while the icon is not shown (ms, 0: never).
    void setProbeInterval(int ms);

    // Adds the icon. True when the notification area took it; otherwise the
    // icon is pending and is added when one appears.
    bool Create(QWidget* owner, const QString& tip, const QIcon& icon, int id, bool hidden = false);
    // Records the default menu item (a position of popup 0 when byPos, else a
    // command id). False when the menu cannot be loaded.
    bool SetMenuDefaultItem(int item, bool byPos);
    // The window the menu's commands go to (the main window when none is set).
    void SetTargetWnd(QWidget* target) { m_target = target; }

    // A mouse event on the icon. 0 when the id is not this icon's or there is
    // no target window; 1 otherwise. A single click runs the default command once
    // the double-click time has passed without a double click.
    int OnTrayNotification(int id, QSystemTrayIcon::ActivationReason reason);

    // The notification area was created again: add the icon if it is pending.
    void OnTaskbarCreated();
    // The work area changed: re-add unless hidden.
    void OnWorkAreaChanged();
    void AddPendingIcon();

    bool isEnabled() const { return m_enabled; }
    bool isHidden() const { return m_hidden; }
    bool isRemoved() const { return m_removed; }
    bool isPending() const { return m_pending; }
    // The icon is in a notification area, so a hidden main window can come back.
    bool isShown() const { return m_enabled && !m_hidden && !m_removed; }
    int id() const { return m_id; }
    int defaultCommand() const;
    QString toolTip() const { return m_tip; }
    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu; }

signals:
    // A double click asks the target for the default command (queued).
    void commandPosted(int id);

private:
    bool trayAvailable() const;
    bool addIcon();
    void probe();
    void rebuildMenu();
    void runDefaultCommand();
    QWidget* target() const;

    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QMenu> m_menu;
    QPointer<CCommandManager> m_commands;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_target;
    QTimer* m_probeTimer = nullptr;
    QTimer* m_clickTimer = nullptr;
    TrayProbe m_probe;
    QString m_tip;
    int m_id = 0;
    bool m_enabled = true;
    bool m_hidden = false; // asked to stay out of the notification area
    bool m_removed = true;
    bool m_pending = false;
    bool m_lastAvailable = false;
    int m_defaultItem = 0;
    bool m_defaultByPos = true;
};
