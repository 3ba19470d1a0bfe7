#include "importusersdb.h"

#include "importdbcolumns.h"
#include "importdbconnstr.h"
#include "importdbfinish.h"
#include "importdbwelcome.h"
#include "resourceids.h"
#include "wizardparts.h"

using namespace res;

CPS_ImportUsersDB::CPS_ImportUsersDB(IUserPrompts& prompts, DataLinkPromptFactory dataLink,
                                     const QString& initialConnection, const DbWaitLimits& limits,
                                     QWidget* parent)
    : QWizard(parent) {
    setObjectName(QStringLiteral("CPS_ImportUsersDB"));
    importwizard::applyLook(this, IDS_IMPORT_DB_CAPTION);
    m_welcome = new CPP_ImportDBWelcome(this);
    m_connection =
        new CPP_ImportDBConnStr(prompts, std::move(dataLink), initialConnection, limits, this);
    m_columns = new CPP_ImportDBColumns(prompts, *m_connection, this);
    m_finish = new CPP_ImportDBFinish(*m_connection, *m_columns, this);
    addPage(m_welcome);
    addPage(m_connection);
    addPage(m_columns);
    addPage(m_finish);
    // Back from the overview lists the tables again.
    importwizard::initializeOnEveryVisit(this, m_columns);
}

void CPS_ImportUsersDB::accept() {
    m_settings.connection = m_connection->connection();
    m_settings.table = m_columns->table();
    m_settings.mediaIdColumn = m_columns->mediaIdColumn();
    m_settings.lastNameColumn = m_columns->lastNameColumn();
    m_settings.firstNameColumn = m_columns->firstNameColumn();
    m_settings.mediaType = m_columns->mediaType();
    // The names were picked from the schema lists.
    m_settings.namesFromSchema = true;
    m_settings.limits = m_connection->limits();
    QWizard::accept();
}
