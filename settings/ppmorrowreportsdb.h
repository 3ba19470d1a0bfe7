#pragma once

#include <QWidget>

class CAppSettings;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The sheet's first page: whether registrations go to the reporting database, its connection
// string, and the form of the command (MRDBCall: "exec" or "call").
class CPP_MorrowReportsDB : public QWidget {
    Q_OBJECT
public:
    // Edits UseMRDB and MRDB of `values`, the sheet's copy of the settings.
    explicit CPP_MorrowReportsDB(CAppSettings& values, QWidget* parent = nullptr);

    // Takes the values from the settings into the controls.
    void OnInitDialog();
    // Reads the controls back (OK).
    void OnOK();

    QComboBox* callForm() const { return m_callForm; }

private:
    void enableControls();
    void onDatabase();

    CAppSettings& m_values;
    QCheckBox* m_use = nullptr;
    QPlainTextEdit* m_connection = nullptr;
    QPushButton* m_database = nullptr;
    QComboBox* m_callForm = nullptr;
};
