#include "importdbwelcome.h"

#include "resourceids.h"
#include "wizardparts.h"

using namespace res;

CPP_ImportDBWelcome::CPP_ImportDBWelcome(QWidget* parent) : QWizardPage(parent) {
    importwizard::setupPage(this, IDD_IMPORT_DB_WELCOME);
    importwizard::buildWelcome(this, IDD_IMPORT_DB_WELCOME, IDC_IMPORT_DB_TITLE);
}
