#pragma once

#include <QDialog>

class CAlertListModel;
class QLabel;
class QPushButton;
class QTableView;

// The Alerts window: the alerts so far, newest first, with their time, controller and text.
// Modeless, so the list goes on growing while it is open; Escape or Close hides it.
class CAlertsDlg : public QDialog {
    Q_OBJECT
public:
    CAlertsDlg(CAlertListModel& model, QWidget* parent = nullptr);

    QTableView* list() const { return m_list; }
    QLabel* countLabel() const { return m_count; }

private:
    void showCount();

    CAlertListModel& m_model;
    QTableView* m_list;
    QLabel* m_count;
};
