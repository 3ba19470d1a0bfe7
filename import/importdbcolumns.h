#pragma once

#include <QWizardPage>

class CPP_ImportDBConnStr;
class IUserPrompts;
class QButtonGroup;
class QComboBox;

// The database import wizard's choice of the table or view, its three columns and the media
// type of short IDs.
class CPP_ImportDBColumns : public QWizardPage {
    Q_OBJECT
public:
    CPP_ImportDBColumns(IUserPrompts& prompts, const CPP_ImportDBConnStr& connectionPage,
                        QWidget* parent = nullptr);

    QString table() const;
    QString mediaIdColumn() const;
    QString lastNameColumn() const;
    QString firstNameColumn() const;
    int mediaType() const { return m_mediaType; }

    void initializePage() override;
    void cleanupPage() override;
    bool validatePage() override;

private:
    void tableChanged();
    void readControls();

    IUserPrompts& m_prompts;
    const CPP_ImportDBConnStr& m_connectionPage;
    int m_mediaType = 0;
    int m_firstNameIndex = -1;
    int m_lastNameIndex = -1;
    int m_mediaIdIndex = -1;
    int m_tableIndex = -1;
    QString m_columnsOf; // the table whose columns the three lists hold
    QComboBox* m_table;
    QComboBox* m_mediaId;
    QComboBox* m_lastName;
    QComboBox* m_firstName;
    QButtonGroup* m_type;
};
