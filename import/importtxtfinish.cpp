#include "importtxtfinish.h"

#include "catalogue.h"
#include "importtxtcolumns.h"
#include "importtxtfile.h"
#include "resourceids.h"
#include "wizardparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

CPP_ImportTxtFinish::CPP_ImportTxtFinish(const CPP_ImportTxtFile& filePage,
                                         const CPP_ImportTxtColumns& columnsPage, QWidget* parent)
    : QWizardPage(parent), m_filePage(filePage), m_columnsPage(columnsPage) {
    constexpr int d = IDD_IMPORT_TXT_FINISH;
    importwizard::setupPage(this, d);
    auto* layout = new QGridLayout(this);
    layout->addWidget(importwizard::titleLabel(pageText(d, IDC_IMPORT_TXT_OVERVIEW_TITLE),
                                               IDC_IMPORT_TXT_OVERVIEW_TITLE, this),
                      0, 0, 1, 2);
    m_file = new QLineEdit(this);
    m_file->setReadOnly(true);
    setItem(m_file, IDC_IMPORT_TXT_FILECOPY);
    m_overview = importwizard::reportList(IDC_IMPORT_TXT_OVERVIEW, this);
    m_mediaType = new QLabel(this);
    setItem(m_mediaType, IDC_IMPORT_TXT_MEDIATYPE);
    int row = 1;
    for (auto [item, control] : {std::pair<int, QWidget*>{IDC_IMPORT_TXT_FILECOPY, m_file},
                                 {IDC_IMPORT_TXT_OVERVIEW, m_overview},
                                 {IDC_IMPORT_TXT_MEDIATYPE, m_mediaType}}) {
        layout->addWidget(new QLabel(pageText(d, item), this), row, 0, Qt::AlignTop);
        layout->addWidget(control, row, 1);
        ++row;
    }
    for (int item : {IDC_IMPORT_PROCEED, IDC_IMPORT_GOBACK}) {
        auto* text = new QLabel(pageText(d, item), this);
        text->setWordWrap(true);
        setItem(text, item);
        layout->addWidget(text, row++, 0, 1, 2);
    }
    layout->setColumnStretch(1, 1);
}

void CPP_ImportTxtFinish::initializePage() {
    m_path = m_filePage.path();
    importwizard::fillOverview(m_overview, S(IDS_FILE), S(IDS_DATABASE),
                               m_columnsPage.mediaIdCaption(), m_columnsPage.lastNameCaption(),
                               m_columnsPage.firstNameCaption());
    m_mediaTypeText = importwizard::mediaTypeText(m_columnsPage.mediaType());
    m_file->setText(m_path);
    m_mediaType->setText(m_mediaTypeText);
}
