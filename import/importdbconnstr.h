#pragma once

#include "boundedopen.h"
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
                        const QString& initialConnection, const DbWaitLimits& limits = {},
                        QWidget* parent = nullptr);

    QString connection() const { return m_connection; }
    // How long the wizard's connections and schema lists wait for the database.
    const DbWaitLimits& limits() const { return m_limits; }
    bool validatePage() override;

private:
    void select();

    IUserPrompts& m_prompts;
    DataLinkPromptFactory m_dataLink;
    QString m_connection;
    DbWaitLimits m_limits;
    QPlainTextEdit* m_edit;
    QPushButton* m_select;
};
