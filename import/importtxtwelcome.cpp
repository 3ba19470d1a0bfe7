#include "importtxtwelcome.h"

#include "resourceids.h"
#include "wizardparts.h"

using namespace res;

CPP_ImportTxtWelcome::CPP_ImportTxtWelcome(QWidget* parent) : QWizardPage(parent) {
    importwizard::setupPage(this, IDD_IMPORT_TXT_WELCOME);
    importwizard::buildWelcome(this, IDD_IMPORT_TXT_WELCOME, IDC_IMPORT_TXT_TITLE);
}
