#pragma once

#include <QWizardPage>

class IUserPrompts;
class QLineEdit;

// The text import wizard's file choice.
class CPP_ImportTxtFile : public QWizardPage {
    Q_OBJECT
public:
    CPP_ImportTxtFile(IUserPrompts& prompts, const QString& initialPath, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    bool validatePage() override;

private:
    void browse();

    IUserPrompts& m_prompts;
    QString m_path;
    QLineEdit* m_edit;
};
