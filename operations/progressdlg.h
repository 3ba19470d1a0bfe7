#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The modeless progress window: a status line, a progress bar and Cancel. As a please-wait
// notice it shows only its status line and nothing in it can be operated. While it exists
// the main window is disabled; its end gives the main window back the state it found, so a
// notice opened under another one leaves the window disabled for the outer one.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    CProgressDlg(QWidget* mainWindow, int statusTextId, bool pleaseWait = true);
    ~CProgressDlg() override;
    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;

    // Shows the window and returns once it has been painted, so that it is on screen before
    // the caller blocks on the line.
    void ShowNow();
    void SetStatusText(const QString& text);

    QLabel* statusLine() const { return m_status; }
    QProgressBar* progressBar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }
    // Paint events the window has had.
    int paintCount() const { return m_paints; }

public slots:
    // Escape and the close box must not end a notice the operation still needs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> m_main;
    bool m_mainWasEnabled = true;
    bool m_pleaseWait;
    QLabel* m_status;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    int m_paints = 0;
};
