#include "importdbcolumns.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "catalogue.h"
#include "importdbconnstr.h"
#include "resourceids.h"
#include "userprompts.h"
#include "waitcursor.h"
#include "wizardparts.h"

#include <QAbstractButton>
#include <QApplication>
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

// Schema requests can take a while on a remote server.

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
    const CWaitCursor wait;
    CADODataBase db;
    if (!db.Open(m_connectionPage.connection(), QString(), QString())) {
        m_prompts.stop(S(IDS_SOURCE_CONNECT_FAILED));
    } else {
        const QSignalBlocker quiet(m_table);
        m_table->clear();
        CADORecordset rs(&db);
        if (rs.OpenSchema(CADORecordset::schemaTables)) {
            for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
                QString type, name;
                rs.GetFieldValue(QStringLiteral("TABLE_TYPE"), type);
                // System tables, synonyms and the like are not offered.
                if (type == u"TABLE" || type == u"VIEW") {
                    rs.GetFieldValue(QStringLiteral("TABLE_NAME"), name);
                    m_table->addItem(name);
                }
            }
        }
        rs.Close();
        db.Close();
    }
    // The column lists keep what the remembered table gave them.
    restore(m_table, m_tableIndex);
    restore(m_mediaId, m_mediaIdIndex);
    restore(m_lastName, m_lastNameIndex);
    restore(m_firstName, m_firstNameIndex);
    m_type->button(m_mediaType)->setChecked(true);
}

void CPP_ImportDBColumns::tableChanged() {
    const QString table = m_table->currentText();
    for (QComboBox* combo : {m_mediaId, m_lastName, m_firstName})
        combo->clear();
    const CWaitCursor wait;
    CADODataBase db;
    if (!db.Open(m_connectionPage.connection(), QString(), QString())) {
        m_prompts.stop(S(IDS_CONNECT_FAILED));
        return;
    }
    QStringList columns;
    CADORecordset rs(&db);
    if (rs.OpenSchema(CADORecordset::schemaColumns)) {
        for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
            QString name;
            rs.GetFieldValue(QStringLiteral("TABLE_NAME"), name);
            // Equal names in other schemas contribute their columns as well.
            if (name == table) {
                QString column;
                rs.GetFieldValue(QStringLiteral("COLUMN_NAME"), column);
                columns.append(column);
            }
        }
    }
    rs.Close();
    db.Close();
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
