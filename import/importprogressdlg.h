#pragma once

#include <QElapsedTimer>
#include <QFrame>

class QLabel;

// The small centred window that tells how far the database import has got. It stays hidden
// for the first second, so a quick import does not flash a window at the user.
class CImportProgressDlg : public QFrame {
    Q_OBJECT
public:
    static constexpr int kShowAfterMs = 1000;
    // Repaints at most this often; a repaint per row would cost more than the row.
    static constexpr int kRefreshMs = 50;

    explicit CImportProgressDlg(QWidget* owner);

    // Rows processed of the total.
    void step(int processed, int total);
    QString text() const;

private:
    QWidget* m_owner;
    QLabel* m_text;
    QElapsedTimer m_started;
    QElapsedTimer m_refreshed;
};
