#pragma once

#include <QElapsedTimer>
#include <QFrame>

class QLabel;
class QPushButton;

// The small centred window that tells how far the database import has got, with Cancel. It
// stays hidden for the first second, so a quick import does not flash a window at the user.
// While shown it is modal: the import lets events through between rows for Cancel, and no
// other window may start a command meanwhile.
class CImportProgressDlg : public QFrame {
    Q_OBJECT
public:
    static constexpr int kShowAfterMs = 1000;
    // Repaints and takes input at most this often; doing so per row would cost more than the
    // row.
    static constexpr int kRefreshMs = 50;

    explicit CImportProgressDlg(QWidget* owner);

    // Rows processed of the total.
    void step(int processed, int total);
    QString text() const;
    // Cancel was pressed (or Escape): the import stops after the row in hand.
    bool cancelled() const { return m_cancelled; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* m_owner;
    QLabel* m_text;
    QPushButton* m_cancel;
    bool m_cancelled = false;
    QElapsedTimer m_started;
    QElapsedTimer m_refreshed;
};
