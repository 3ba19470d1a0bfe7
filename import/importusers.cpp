#include "importusers.h"

#include "catalogue.h"
#include "importtxtcolumns.h"
#include "importtxtfile.h"
#include "importtxtfinish.h"
#include "importtxtwelcome.h"
#include "resourceids.h"
#include "wizardparts.h"

using namespace res;

CPS_ImportUsers::CPS_ImportUsers(IUserPrompts& prompts, const QString& initialPath, QWidget* parent)
    : QWizard(parent) {
    setObjectName(QStringLiteral("CPS_ImportUsers"));
    importwizard::applyLook(this, IDS_IMPORT_TXT_CAPTION);
    m_welcome = new CPP_ImportTxtWelcome(this);
    m_file = new CPP_ImportTxtFile(prompts, initialPath, this);
    m_columns = new CPP_ImportTxtColumns(prompts, *m_file, this);
    m_finish = new CPP_ImportTxtFinish(*m_file, *m_columns, this);
    addPage(m_welcome);
    addPage(m_file);
    addPage(m_columns);
    addPage(m_finish);
    // Back from the overview reads the file's first line again.
    importwizard::initializeOnEveryVisit(this, m_columns);
}

CsvImportSettings CPS_ImportUsers::settings() const {
    CsvImportSettings s;
    s.path = m_file->path();
    s.mediaIdColumn = m_columns->mediaIdColumn();
    s.lastNameColumn = m_columns->lastNameColumn();
    s.firstNameColumn = m_columns->firstNameColumn();
    s.mediaType = m_columns->mediaType();
    return s;
}
