#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class CCommandManager;
class CSystemTray;
class CTaskbarNotifier;
class QWidget;

// The main window's notification-area icon and pop-up notifier, and what they
// change about the window: minimising hides it into the tray, the close box
// shows "Tarvex is still active" and hides it. Without a notification area
// nothing could bring a hidden window back, so it then stays minimised.
class CMainFrameTray : public QObject {
    Q_OBJECT
public:
    // frame: the main window (also the parent of this object); commands: where
    // the tray menu's commands and a double click go.
    CMainFrameTray(QWidget* frame, CCommandManager* commands);
    ~CMainFrameTray() override;

    CSystemTray* tray() const { return m_tray; }
    CTaskbarNotifier* notifier() const { return m_notifier.get(); }

    // The close box was used (the program goes on running).
    void OnCloseBox();
    // A notice the user must not miss while the window may be hidden in the tray.
    void ShowNotice(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideIntoTray();

    QPointer<QWidget> m_frame;
    CSystemTray* m_tray;
    std::unique_ptr<CTaskbarNotifier> m_notifier;
};
