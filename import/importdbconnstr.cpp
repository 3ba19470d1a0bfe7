#include "importdbconnstr.h"

#include "adodatabase.h"
#include "boundedopen.h"
#include "catalogue.h"
#include "datalinkprompt.h"
#include "resourceids.h"
#include "userprompts.h"
#include "waitcursor.h"
#include "wizardparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

CPP_ImportDBConnStr::CPP_ImportDBConnStr(IUserPrompts& prompts, DataLinkPromptFactory dataLink,
                                         const QString& initialConnection,
                                         const DbWaitLimits& limits, QWidget* parent)
    : QWizardPage(parent), m_prompts(prompts), m_dataLink(std::move(dataLink)),
      m_connection(initialConnection), m_limits(limits) {
    constexpr int d = IDD_IMPORT_DB_CONNSTR;
    importwizard::setupPage(this, d, IDS_SELECT_DATABASE, IDS_SELECT_DATABASE_HINT);
    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(pageText(d, IDC_IMPORT_DB_CONNECTION), this);
    m_edit = new QPlainTextEdit(m_connection, this);
    m_edit->setReadOnly(true);
    setItem(m_edit, IDC_IMPORT_DB_CONNECTION);
    label->setBuddy(m_edit);
    m_select = new QPushButton(pageText(d, IDC_IMPORT_DB_SELECT), this);
    setItem(m_select, IDC_IMPORT_DB_SELECT);
    m_select->setAutoDefault(false);
    // Until a connection dialog is supplied there is nothing to open.
    m_select->setEnabled(bool(m_dataLink));
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_edit, 1, 0);
    layout->addWidget(m_select, 1, 1, Qt::AlignTop);
    connect(m_select, &QPushButton::clicked, this, &CPP_ImportDBConnStr::select);
}

void CPP_ImportDBConnStr::select() {
    if (!m_dataLink)
        return;
    std::unique_ptr<CDataLinkPrompt> prompt = m_dataLink(this);
    // A new connection each time: the current text is not offered for editing.
    if (!prompt || !prompt->PromptNew())
        return;
    m_connection = prompt->GetConnectionString();
    m_edit->setPlainText(m_connection);
}

bool CPP_ImportDBConnStr::validatePage() {
    m_connection = m_edit->toPlainText();
    if (m_connection.isEmpty()) {
        m_prompts.stop(S(IDS_NO_DATABASE));
        return false;
    }
    std::shared_ptr<CADODataBase> db;
    {
        const CWaitCursor wait;
        QString error;
        db = OpenConnectionWithin(m_connection, m_limits.connect, error);
    }
    if (!db) {
        m_prompts.stop(S(IDS_CONNECT_FAILED));
        return false;
    }
    db->Close();
    return true;
}
