#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;

// The start-up splash window: the splash picture with a one-line status text at the bottom on
// RGB(204, 151, 84). Shown during start-up, hidden by its timer, shown again at exit.
class CSplashDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHideAfterMs = 1000;

    explicit CSplashDlg(QWidget* owner = nullptr);

    // Shows the text at once (painted before returning).
    void SetStatusText(const QString& text);
    void SetStatusText(int stringId);
    QString statusText() const;
    // Every text shown so far, oldest first.
    const QStringList& statusHistory() const { return m_history; }

    // Centres the window on the screen, shows it and paints it.
    void showCentred();
    // Starts the one-shot hide timer.
    void startHideTimer();
    bool hideTimerActive() const { return m_timer != 0; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* m_picture;
    QLabel* m_status;
    QStringList m_history;
    int m_timer = 0;
};
