#pragma once

#include <QWizardPage>

class CPP_ImportTxtColumns;
class CPP_ImportTxtFile;
class QLabel;
class QLineEdit;
class QTreeWidget;

// The text import wizard's overview of the choices before the import.
class CPP_ImportTxtFinish : public QWizardPage {
    Q_OBJECT
public:
    CPP_ImportTxtFinish(const CPP_ImportTxtFile& filePage, const CPP_ImportTxtColumns& columnsPage,
                        QWidget* parent = nullptr);

    void initializePage() override;

private:
    const CPP_ImportTxtFile& m_filePage;
    const CPP_ImportTxtColumns& m_columnsPage;
    QString m_mediaTypeText;
    QString m_path;
    QLineEdit* m_file;
    QTreeWidget* m_overview;
    QLabel* m_mediaType;
};
