#include "importdbcolumns.h"

#include "adodatabase.h"
#include "boundedopen.h"
#include "catalogue.h"
#include "importdbconnstr.h"
#include "resourceids.h"
#include "schemanames.h"
#include "textformat.h"
#include "userprompts.h"
#include "waitcursor.h"
#include "wizardparts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

namespace {

void restore(QComboBox* combo, int index) {
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

} // namespace

CPP_ImportDBColumns::CPP_ImportDBColumns(IUserPrompts& prompts,
                                         const CPP_ImportDBConnStr& connectionPage, QWidget* parent)
    : QWizardPage(parent), m_prompts(prompts), m_connectionPage(connectionPage) {
    constexpr int d = IDD_IMPORT_DB_COLUMNS;
    importwizard::setupPage(this, d, IDS_SELECT_TABLE, IDS_SELECT_TABLE_HINT);
    auto* layout = new QGridLayout(this);
    int row = 0;
    for (auto [item, combo] : {std::pair<int, QComboBox**>{IDC_IMPORT_DB_TABLE, &m_table},
                               {IDC_IMPORT_DB_MEDIAID, &m_mediaId},
                               {IDC_IMPORT_DB_LASTNAME, &m_lastName},
                               {IDC_IMPORT_DB_FIRSTNAME, &m_firstName}}) {
        *combo = new QComboBox(this);
        (*combo)->setEditable(false);
        setItem(*combo, item);
        auto* label = new QLabel(pageText(d, item), this);
        label->setBuddy(*combo);
        layout->addWidget(label, row, 0);
        layout->addWidget(*combo, row, 1);
        ++row;
    }
    m_type = new QButtonGroup(this);
    layout->addWidget(importwizard::mediaTypeGroup(d, IDC_IMPORT_DB_IBUTTON, m_type, this), row, 0,
                      1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(row + 1, 1);
    connect(m_table, &QComboBox::currentIndexChanged, this, &CPP_ImportDBColumns::tableChanged);
}

QString CPP_ImportDBColumns::table() const {
    return m_table->itemText(m_tableIndex);
}
QString CPP_ImportDBColumns::mediaIdColumn() const {
    return m_mediaId->itemText(m_mediaIdIndex);
}
QString CPP_ImportDBColumns::lastNameColumn() const {
    return m_lastName->itemText(m_lastNameIndex);
}
QString CPP_ImportDBColumns::firstNameColumn() const {
    return m_firstName->itemText(m_firstNameIndex);
}

void CPP_ImportDBColumns::initializePage() {
    QStringList tables;
    QString error;
    bool listed = false;
    std::shared_ptr<CADODataBase> db;
    {
        const CWaitCursor wait;
        db = OpenConnectionWithin(m_connectionPage.connection(), m_connectionPage.limits(), error);
        if (db) {
            // Only tables and views: system tables, synonyms and the like are not offered.
            listed = SchemaTableNames(*db, tables, &error);
            db->Close();
        }
    }
    if (!db) {
        m_prompts.stop(S(IDS_SOURCE_CONNECT_FAILED));
    } else if (!listed) {
        // A list that did not come in time says why; the tables offered stay as they were.
        m_prompts.stop(FormatString(IDS_DATABASE_ERROR, error));
    } else {
        const QSignalBlocker quiet(m_table);
        m_table->clear();
        m_table->addItems(tables);
    }
    restore(m_table, m_tableIndex);
    if (m_table->currentText() != m_columnsOf) {
        // The list changed under the remembered index: its columns belong to another table.
        m_mediaIdIndex = m_lastNameIndex = m_firstNameIndex = -1;
        tableChanged();
    }
    // The column lists keep what the remembered table gave them.
    restore(m_mediaId, m_mediaIdIndex);
    restore(m_lastName, m_lastNameIndex);
    restore(m_firstName, m_firstNameIndex);
    m_type->button(m_mediaType)->setChecked(true);
}

void CPP_ImportDBColumns::tableChanged() {
    const QString table = m_table->currentText();
    for (QComboBox* combo : {m_mediaId, m_lastName, m_firstName})
        combo->clear();
    m_columnsOf = table;
    if (table.isEmpty())
        return;
    QStringList columns;
    QString error;
    bool listed = false;
    std::shared_ptr<CADODataBase> db;
    {
        const CWaitCursor wait;
        db = OpenConnectionWithin(m_connectionPage.connection(), m_connectionPage.limits(), error);
        if (db) {
            // Equal names in other schemas contribute their columns as well.
            listed = SchemaColumnNames(*db, table, columns, &error);
            db->Close();
        }
    }
    if (!db) {
        m_prompts.stop(S(IDS_CONNECT_FAILED));
        return;
    }
    if (!listed) {
        m_prompts.stop(FormatString(IDS_DATABASE_ERROR, error));
        return;
    }
    for (QComboBox* combo : {m_mediaId, m_lastName, m_firstName}) {
        combo->addItems(columns);
        combo->setCurrentIndex(-1);
    }
}

void CPP_ImportDBColumns::readControls() {
    m_tableIndex = m_table->currentIndex();
    m_mediaIdIndex = m_mediaId->currentIndex();
    m_lastNameIndex = m_lastName->currentIndex();
    m_firstNameIndex = m_firstName->currentIndex();
    m_mediaType = m_type->checkedId();
}

void CPP_ImportDBColumns::cleanupPage() {
    // Back keeps the choices for the next visit.
    readControls();
}

bool CPP_ImportDBColumns::validatePage() {
    readControls();
    if (m_tableIndex == -1 || m_mediaIdIndex == -1 || m_lastNameIndex == -1 ||
        m_firstNameIndex == -1) {
        m_prompts.stop(S(IDS_INCOMPLETE_SELECTION));
        return false;
    }
    return true;
}
