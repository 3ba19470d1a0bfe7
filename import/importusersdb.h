#pragma once

#include "boundedopen.h"
#include "datalinkfactory.h"
#include "dbimport.h"

#include <QWizard>

class CPP_ImportDBColumns;
class CPP_ImportDBConnStr;
class CPP_ImportDBFinish;
class CPP_ImportDBWelcome;
class IUserPrompts;

// The database import wizard: collects the connection, the table or view, its three columns
// and the media type. The caller runs the import with settings() after Finish.
class CPS_ImportUsersDB : public QWizard {
    Q_OBJECT
public:
    CPS_ImportUsersDB(IUserPrompts& prompts, DataLinkPromptFactory dataLink,
                      const QString& initialConnection, const DbWaitLimits& limits = {},
                      QWidget* parent = nullptr);

    // Filled when Finish is pressed.
    const DbImportSettings& settings() const { return m_settings; }

    CPP_ImportDBWelcome* welcomePage() const { return m_welcome; }
    CPP_ImportDBConnStr* connectionPage() const { return m_connection; }
    CPP_ImportDBColumns* columnsPage() const { return m_columns; }
    CPP_ImportDBFinish* finishPage() const { return m_finish; }

    void accept() override;

private:
    CPP_ImportDBWelcome* m_welcome;
    CPP_ImportDBConnStr* m_connection;
    CPP_ImportDBColumns* m_columns;
    CPP_ImportDBFinish* m_finish;
    DbImportSettings m_settings;
};
