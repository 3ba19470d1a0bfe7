#pragma once

#include "datalinkfactory.h"

#include <QWizardPage>

class IUserPrompts;
class QPlainTextEdit;
class QPushButton;

// The database import wizard's choice of the source database.
class CPP_ImportDBConnStr : public QWizardPage {
    Q_OBJECT
public:
    CPP_ImportDBConnStr(IUserPrompts& prompts, DataLinkPromptFactory dataLink,
                        const QString& initialConnection, QWidget* parent = nullptr);

    QString connection() const { return m_connection; }
    bool validatePage() override;

private:
    void select();

    IUserPrompts& m_prompts;
    DataLinkPromptFactory m_dataLink;
    QString m_connection;
    QPlainTextEdit* m_edit;
    QPushButton* m_select;
};
