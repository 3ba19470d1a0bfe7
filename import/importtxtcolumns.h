#pragma once

#include <QWizardPage>

class CPP_ImportTxtFile;
class IUserPrompts;
class QButtonGroup;
class QComboBox;
class QLabel;
class QTreeWidget;

// The text import wizard's field assignment: a preview of the file's first line, the field
// for each employee attribute, and the media type of short IDs.
class CPP_ImportTxtColumns : public QWizardPage {
    Q_OBJECT
public:
    // The preview shows at most this many fields; the choices still list every field.
    static constexpr int kPreviewColumns = 256;

    CPP_ImportTxtColumns(IUserPrompts& prompts, const CPP_ImportTxtFile& filePage,
                         QWidget* parent = nullptr);

    int mediaIdColumn() const { return m_mediaIdColumn; }
    int lastNameColumn() const { return m_lastNameColumn; }
    int firstNameColumn() const { return m_firstNameColumn; }
    int mediaType() const { return m_mediaType; }
    // The caption shown for a chosen field ("Column 3").
    QString mediaIdCaption() const;
    QString lastNameCaption() const;
    QString firstNameCaption() const;

    void initializePage() override;
    void cleanupPage() override;
    bool validatePage() override;

private:
    void readControls();

    IUserPrompts& m_prompts;
    const CPP_ImportTxtFile& m_filePage;
    int m_mediaType = 0;
    int m_firstNameColumn = -1;
    int m_lastNameColumn = -1;
    int m_mediaIdColumn = -1;
    QTreeWidget* m_preview;
    QLabel* m_cutNote; // shown when the first line is longer than is offered
    QComboBox* m_mediaId;
    QComboBox* m_lastName;
    QComboBox* m_firstName;
    QButtonGroup* m_type;
};
