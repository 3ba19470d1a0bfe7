#include "importdbfinish.h"

#include "catalogue.h"
#include "importdbcolumns.h"
#include "importdbconnstr.h"
#include "resourceids.h"
#include "wizardparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

CPP_ImportDBFinish::CPP_ImportDBFinish(const CPP_ImportDBConnStr& connectionPage,
                                       const CPP_ImportDBColumns& columnsPage, QWidget* parent)
    : QWizardPage(parent), m_connectionPage(connectionPage), m_columnsPage(columnsPage) {
    constexpr int d = IDD_IMPORT_DB_FINISH;
    importwizard::setupPage(this, d);
    auto* layout = new QGridLayout(this);
    layout->addWidget(importwizard::titleLabel(pageText(d, IDC_IMPORT_DB_OVERVIEW_TITLE),
                                               IDC_IMPORT_DB_OVERVIEW_TITLE, this),
                      0, 0, 1, 2);
    m_connectionCopy = new QPlainTextEdit(this);
    m_connectionCopy->setReadOnly(true);
    m_connectionCopy->setMaximumHeight(48);
    setItem(m_connectionCopy, IDC_IMPORT_DB_CONNCOPY);
    m_tableName = new QLabel(this);
    setItem(m_tableName, IDC_IMPORT_DB_TABLENAME);
    m_overview = importwizard::reportList(IDC_IMPORT_DB_OVERVIEW, this);
    m_mediaType = new QLabel(this);
    setItem(m_mediaType, IDC_IMPORT_DB_MEDIATYPE);
    int row = 1;
    for (auto [item, control] : {std::pair<int, QWidget*>{IDC_IMPORT_DB_CONNCOPY, m_connectionCopy},
                                 {IDC_IMPORT_DB_TABLENAME, m_tableName},
                                 {IDC_IMPORT_DB_OVERVIEW, m_overview},
                                 {IDC_IMPORT_DB_MEDIATYPE, m_mediaType}}) {
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

void CPP_ImportDBFinish::initializePage() {
    m_connection = m_connectionPage.connection();
    m_table = m_columnsPage.table();
    m_connectionCopy->setPlainText(m_connection);
    m_tableName->setText(m_table);
    importwizard::fillOverview(m_overview, S(IDS_SOURCE), S(IDS_DESTINATION),
                               m_columnsPage.mediaIdColumn(), m_columnsPage.lastNameColumn(),
                               m_columnsPage.firstNameColumn());
    m_mediaTypeText = importwizard::mediaTypeText(m_columnsPage.mediaType());
    m_mediaType->setText(m_mediaTypeText);
}
