#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The sheet's first page: whether registrations go to the reporting database, its connection
// string, and the form of the command (MRDBCall: "exec" or "call").
class CPP_MorrowReportsDB : public QWidget {
    Q_OBJECT
public:
    explicit CPP_MorrowReportsDB(QWidget* parent = nullptr);

    // Takes the values from the settings into the controls.
    void OnInitDialog();
    // Reads the controls back (OK).
    void OnOK();

    bool m_useMRDB = false;
    QString m_mrdb;
    QString m_mrdbCall;

    QComboBox* callForm() const { return m_callForm; }

private:
    void enableControls();
    void onDatabase();

    QCheckBox* m_use = nullptr;
    QPlainTextEdit* m_connection = nullptr;
    QPushButton* m_database = nullptr;
    QComboBox* m_callForm = nullptr;
};
