#include "ppphoto.h"

#include "adodatabase.h"
#include "appsettings.h"
#include "boundedopen.h"
#include "catalogue.h"
#include "connectiondlg.h"
#include "dropdowncombo.h"
#include "resourceids.h"
#include "schemanames.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace res;

namespace {

void fillSorted(QComboBox* combo, QStringList names) {
    names.sort(Qt::CaseInsensitive);
    combo->addItems(names);
}

// A box whose list only suggests: typing never turns into a listed name by itself (a typed
// "Photo" stays "Photo" beside a listed "Photos", in the case typed), and typing drops the
// entry chosen before, so that an entry counts as selected only while it is what the box shows.
void suggestOnly(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QCompleter* completer = combo->completer();
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    QObject::connect(
        combo->lineEdit(), &QLineEdit::textEdited, combo, [combo](const QString& text) {
            if (combo->currentIndex() < 0 || combo->itemText(combo->currentIndex()) == text)
                return;
            const QSignalBlocker quiet(combo);
            const int cursor = combo->lineEdit()->cursorPosition();
            combo->setCurrentIndex(-1);
            combo->setEditText(text);
            combo->lineEdit()->setCursorPosition(cursor);
        });
}

// The selected entry's text, else the text typed.
QString chosenText(const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index >= 0 ? combo->itemText(index) : combo->currentText();
}
} // namespace

CPP_Photo::CPP_Photo(CAppSettings& values, IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_values(values), m_prompts(prompts) {
    const CCatalogue& cat = CCatalogue::instance();
    const auto text = [&](int item) { return cat.dialogText(IDD_PP_PHOTO, item); };
    setWindowTitle(text(0));
    m_use = new QCheckBox(text(IDC_USE_PHOTO));
    m_use->setObjectName(QString::number(IDC_USE_PHOTO));
    m_connection = new QPlainTextEdit;
    m_connection->setObjectName(QString::number(IDC_PHOTODB));
    m_connection->setTabChangesFocus(true);
    m_database = new QPushButton(text(IDC_PHOTODB_DATABASE));
    m_database->setObjectName(QString::number(IDC_PHOTODB_DATABASE));
    m_database->setAutoDefault(false);
    m_tables = new CDropDownCombo;
    m_tables->setObjectName(QString::number(IDC_PHOTO_TABLE));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_use);
    layout->addWidget(m_connection, 1);
    layout->addWidget(m_database, 0, Qt::AlignRight);
    auto* tableRow = new QFormLayout;
    auto* tableLabel = new QLabel(text(IDC_PHOTO_TABLE));
    tableLabel->setBuddy(m_tables);
    tableRow->addRow(tableLabel, m_tables);
    layout->addLayout(tableRow);
    auto* group = new QGroupBox(text(IDC_PHOTO_COLUMNS));
    auto* columns = new QFormLayout(group);
    const auto addColumn = [&](int id) {
        auto* combo = new QComboBox;
        combo->setObjectName(QString::number(id));
        auto* label = new QLabel(text(id));
        label->setBuddy(combo);
        columns->addRow(label, combo);
        return combo;
    };
    m_lastNameCombo = addColumn(IDC_PHOTO_LASTNAME);
    m_firstNameCombo = addColumn(IDC_PHOTO_FIRSTNAME);
    m_mediaIdCombo = addColumn(IDC_PHOTO_MEDIAID);
    m_photoCombo = addColumn(IDC_PHOTO_PHOTO);
    layout->addWidget(group);
    for (QComboBox* combo : QList<QComboBox*>{m_tables} + columnCombos())
        suggestOnly(combo);

    connect(m_use, &QCheckBox::clicked, this, &CPP_Photo::enableControls);
    connect(m_database, &QPushButton::clicked, this, &CPP_Photo::onDatabase);
    connect(m_tables, &CDropDownCombo::aboutToDropDown, this, [this] {
        if (m_tableListStale)
            fillTableList();
    });
    connect(m_tables, &QComboBox::activated, this, &CPP_Photo::onTableSelected);
}

QList<QComboBox*> CPP_Photo::columnCombos() const {
    return {m_lastNameCombo, m_firstNameCombo, m_mediaIdCombo, m_photoCombo};
}

void CPP_Photo::OnInitDialog() {
    m_initialised = true;
    m_use->setChecked(m_values.UsePhoto);
    m_connection->setPlainText(m_values.PhotoDB);
    m_tables->setEditText(m_values.PhotoTable);
    enableControls();
    if (m_use->isChecked()) {
        fillTableList();
        fillColumnLists();
    }
    m_mediaIdCombo->setEditText(m_values.PhotoMediaID);
    m_lastNameCombo->setEditText(m_values.PhotoLastName);
    m_firstNameCombo->setEditText(m_values.PhotoFirstName);
    m_photoCombo->setEditText(m_values.PhotoPhoto);
}

void CPP_Photo::enableControls() {
    const bool on = m_use->isChecked();
    m_connection->setEnabled(on);
    m_database->setEnabled(on);
    m_tables->setEnabled(on);
    for (QComboBox* combo : columnCombos())
        combo->setEnabled(on);
}

void CPP_Photo::fillTableList() {
    CWaitCursor wait;
    QString error;
    const auto db = OpenConnectionWithin(m_connection->toPlainText(), kConnectLimit, error);
    if (db) {
        // Filling a list must not change what the user typed.
        const QString typed = m_tables->currentText();
        m_tables->clear();
        QStringList names;
        SchemaTableNames(*db, names);
        db->Close();
        fillSorted(m_tables, names);
        m_tables->setCurrentIndex(-1);
        m_tables->setEditText(typed);
    } else {
        m_prompts.stop(S(IDS_SOURCE_CONNECT_FAILED));
    }
    m_tableListStale = false;
}

void CPP_Photo::fillColumnLists() {
    for (QComboBox* combo : columnCombos()) {
        combo->clear();
        combo->setEditText(QString());
    }
    CWaitCursor wait;
    QString error;
    const auto db = OpenConnectionWithin(m_connection->toPlainText(), kConnectLimit, error);
    if (!db) {
        m_prompts.stop(S(IDS_SOURCE_CONNECT_FAILED));
        return;
    }
    QStringList names;
    SchemaColumnNames(*db, m_values.PhotoTable, names);
    db->Close();
    for (QComboBox* combo : columnCombos()) {
        fillSorted(combo, names);
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

void CPP_Photo::onDatabase() {
    // The prompt starts from the string as shown, typing included.
    m_values.PhotoDB = m_connection->toPlainText();
    CConnectionDlg prompt(this);
    const bool confirmed =
        m_values.PhotoDB.isEmpty() ? prompt.PromptNew() : prompt.PromptEdit(m_values.PhotoDB);
    if (!confirmed)
        return;
    m_values.PhotoDB = prompt.GetConnectionString();
    m_connection->setPlainText(m_values.PhotoDB);
    m_tableListStale = true;
    fillTableList();
    fillColumnLists();
}

void CPP_Photo::onTableSelected(int index) {
    m_values.PhotoTable = m_tables->itemText(index);
    fillColumnLists();
}

void CPP_Photo::OnOK() {
    m_values.UsePhoto = m_use->isChecked();
    m_values.PhotoDB = m_connection->toPlainText();
    m_values.PhotoTable = m_tables->currentText();
    m_values.PhotoLastName = chosenText(m_lastNameCombo);
    m_values.PhotoFirstName = chosenText(m_firstNameCombo);
    m_values.PhotoMediaID = chosenText(m_mediaIdCombo);
    m_values.PhotoPhoto = chosenText(m_photoCombo);
}
