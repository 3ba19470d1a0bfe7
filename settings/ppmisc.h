#pragma once

#include <QWidget>

class CAppSettings;
class IUserPrompts;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The sheet's page of the rest: the folder of the monthly registrations files, the visual style,
// the link check's interval, and the auto-load pair, which is kept but not shown.
class CPP_Misc : public QWidget {
    Q_OBJECT
public:
    // Edits RegFilePath, VisualStyle, LinkCheckMinutes, AutoLoad and AutoLoadFile of `values`, the
    // sheet's copy of the settings, so that they pass through a page that is never opened.
    CPP_Misc(CAppSettings& values, IUserPrompts& prompts, QWidget* parent = nullptr);

    void OnInitDialog();
    bool initialised() const { return m_initialised; }
    // Reads the controls back (OK).
    void OnOK();

    QLineEdit* folderEdit() const { return m_folder; }
    QSpinBox* linkCheckEdit() const { return m_linkCheck; }
    // The message that says why registrations cannot be written into `folder`; empty when
    // they can.
    static QString folderProblem(const QString& folder);

private:
    void enableControls();
    void onBrowseFolder();
    void onBrowseAutoLoadFile();

    CAppSettings& m_values;
    IUserPrompts& m_prompts;
    bool m_initialised = false;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_browseFolder = nullptr;
    QRadioButton* m_styles[3] = {};
    QSpinBox* m_linkCheck = nullptr;
    QCheckBox* m_autoLoadCheck = nullptr;
    QLineEdit* m_autoLoadEdit = nullptr;
    QPushButton* m_browseAutoLoad = nullptr;
};
