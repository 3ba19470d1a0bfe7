#pragma once

#include <QWidget>

class CAppSettings;
class CDropDownCombo;
class IUserPrompts;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The sheet's photograph page: whether photos are looked up, the photo database and the table
// and columns that hold them. Its lists come from the database's schema lists.
class CPP_Photo : public QWidget {
    Q_OBJECT
public:
    // Edits the photo values of `values`, the sheet's copy of the settings, so that they pass
    // through a page that is never opened.
    CPP_Photo(CAppSettings& values, IUserPrompts& prompts, QWidget* parent = nullptr);

    // The first showing of the page: values into the controls and, with photos on, the lists.
    void OnInitDialog();
    bool initialised() const { return m_initialised; }
    // Reads the controls back (OK).
    void OnOK();

    // The table list does not belong to the current connection string.
    bool m_tableListStale = true;

private:
    void enableControls();
    void fillTableList();
    void fillColumnLists();
    void onDatabase();
    void onTableSelected(int index);
    QList<QComboBox*> columnCombos() const;

    CAppSettings& m_values;
    IUserPrompts& m_prompts;
    bool m_initialised = false;
    QCheckBox* m_use = nullptr;
    QPlainTextEdit* m_connection = nullptr;
    QPushButton* m_database = nullptr;
    CDropDownCombo* m_tables = nullptr;
    QComboBox* m_lastNameCombo = nullptr;
    QComboBox* m_firstNameCombo = nullptr;
    QComboBox* m_mediaIdCombo = nullptr;
    QComboBox* m_photoCombo = nullptr;
};
