#include "ppmorrowreportsdb.h"

#include "appsettings.h"
#include "catalogue.h"
#include "connectiondlg.h"
#include "resourceids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace res;

CPP_MorrowReportsDB::CPP_MorrowReportsDB(CAppSettings& values, QWidget* parent)
    : QWidget(parent), m_values(values) {
    const CCatalogue& cat = CCatalogue::instance();
    setWindowTitle(cat.dialogText(IDD_PP_MRDB, 0));
    m_use = new QCheckBox(cat.dialogText(IDD_PP_MRDB, IDC_USE_MRDB));
    m_use->setObjectName(QString::number(IDC_USE_MRDB));
    m_connection = new QPlainTextEdit;
    m_connection->setObjectName(QString::number(IDC_MRDB));
    m_connection->setTabChangesFocus(true);
    m_database = new QPushButton(cat.dialogText(IDD_PP_MRDB, IDC_MRDB_DATABASE));
    m_database->setObjectName(QString::number(IDC_MRDB_DATABASE));
    m_database->setAutoDefault(false);
    // The items carry the setting's own values (the settings read anything else as "exec");
    // the texts say what each means.
    m_callForm = new QComboBox;
    m_callForm->setObjectName(QStringLiteral("MRDBCall"));
    m_callForm->addItem(S(IDS_MRDBCALL_EXEC), QStringLiteral("exec"));
    m_callForm->addItem(S(IDS_MRDBCALL_CALL), QStringLiteral("call"));
    m_callForm->setAccessibleName(S(IDS_MRDBCALL_LABEL).remove(QLatin1Char('&')));
    auto* callLabel = new QLabel(S(IDS_MRDBCALL_LABEL));
    callLabel->setBuddy(m_callForm);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_use);
    layout->addWidget(m_connection, 1);
    layout->addWidget(m_database, 0, Qt::AlignRight);
    auto* callRow = new QFormLayout;
    callRow->addRow(callLabel, m_callForm);
    layout->addLayout(callRow);
    connect(m_use, &QCheckBox::clicked, this, &CPP_MorrowReportsDB::enableControls);
    connect(m_database, &QPushButton::clicked, this, &CPP_MorrowReportsDB::onDatabase);
}

void CPP_MorrowReportsDB::OnInitDialog() {
    m_use->setChecked(m_values.UseMRDB);
    m_connection->setPlainText(m_values.MRDB);
    m_callForm->setCurrentIndex(std::max(m_callForm->findData(m_values.MRDBCall), 0));
    enableControls();
}

void CPP_MorrowReportsDB::enableControls() {
    const bool on = m_use->isChecked();
    m_connection->setEnabled(on);
    m_database->setEnabled(on);
    m_callForm->setEnabled(on);
}

void CPP_MorrowReportsDB::onDatabase() {
    // The prompt starts from the string as shown, typing included.
    m_values.MRDB = m_connection->toPlainText();
    CConnectionDlg prompt(this);
    const bool confirmed =
        m_values.MRDB.isEmpty() ? prompt.PromptNew() : prompt.PromptEdit(m_values.MRDB);
    if (!confirmed)
        return;
    m_values.MRDB = prompt.GetConnectionString();
    m_connection->setPlainText(m_values.MRDB);
}

void CPP_MorrowReportsDB::OnOK() {
    m_values.UseMRDB = m_use->isChecked();
    m_values.MRDB = m_connection->toPlainText();
    m_values.MRDBCall = m_callForm->currentData().toString();
}
