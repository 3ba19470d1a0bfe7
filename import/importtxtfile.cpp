#include "importtxtfile.h"

#include "catalogue.h"
#include "resourceids.h"
#include "userprompts.h"
#include "wizardparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

CPP_ImportTxtFile::CPP_ImportTxtFile(IUserPrompts& prompts, const QString& initialPath,
                                     QWidget* parent)
    : QWizardPage(parent), m_prompts(prompts), m_path(initialPath) {
    importwizard::setupPage(this, IDD_IMPORT_TXT_FILE, IDS_SELECT_FILE, IDS_SELECT_FILE_HINT);
    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(pageText(IDD_IMPORT_TXT_FILE, IDC_IMPORT_TXT_PATH), this);
    m_edit = new QLineEdit(m_path, this);
    m_edit->setReadOnly(true);
    setItem(m_edit, IDC_IMPORT_TXT_PATH);
    label->setBuddy(m_edit);
    auto* browse = new QPushButton(pageText(IDD_IMPORT_TXT_FILE, IDC_IMPORT_TXT_BROWSE), this);
    setItem(browse, IDC_IMPORT_TXT_BROWSE);
    // The wizard's default button stays Next.
    browse->setAutoDefault(false);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_edit, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->setRowStretch(2, 1);
    connect(browse, &QPushButton::clicked, this, &CPP_ImportTxtFile::browse);
}

void CPP_ImportTxtFile::browse() {
    const QString chosen =
        m_prompts.openFileName(pageText(IDD_IMPORT_TXT_FILE, IDC_IMPORT_TXT_FILTER));
    if (chosen.isEmpty())
        return;
    m_path = chosen;
    m_edit->setText(m_path);
}

bool CPP_ImportTxtFile::validatePage() {
    m_path = m_edit->text();
    if (m_path.isEmpty()) {
        m_prompts.stop(S(IDS_NO_FILE));
        return false;
    }
    return true;
}
