#include "importtxtcolumns.h"

#include "appsettings.h"
#include "catalogue.h"
#include "csvimport.h"
#include "importtxtfile.h"
#include "resourceids.h"
#include "textformat.h"
#include "userprompts.h"
#include "wizardparts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

using namespace res;
using importwizard::pageText;
using importwizard::setItem;

namespace {

QComboBox* choice(int item, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    // Sized by a caption's length rather than by measuring every one of thousands of fields.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(12);
    setItem(combo, item);
    return combo;
}

void restore(QComboBox* combo, int index) {
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

} // namespace

CPP_ImportTxtColumns::CPP_ImportTxtColumns(IUserPrompts& prompts, const CPP_ImportTxtFile& filePage,
                                           QWidget* parent)
    : QWizardPage(parent), m_prompts(prompts), m_filePage(filePage) {
    importwizard::setupPage(this, IDD_IMPORT_TXT_COLUMNS, IDS_SELECT_COLUMNS,
                            IDS_SELECT_COLUMNS_HINT);
    auto* layout = new QGridLayout(this);
    auto* previewLabel = new QLabel(pageText(IDD_IMPORT_TXT_COLUMNS, IDC_IMPORT_TXT_PREVIEW), this);
    m_preview = importwizard::reportList(IDC_IMPORT_TXT_PREVIEW, this);
    m_preview->setMaximumHeight(64);
    m_cutNote = new QLabel(this);
    m_cutNote->setWordWrap(true);
    m_cutNote->setObjectName(QStringLiteral("firstLineCut"));
    m_cutNote->hide();
    layout->addWidget(previewLabel, 0, 0, 1, 2);
    layout->addWidget(m_preview, 1, 0, 1, 2);
    layout->addWidget(m_cutNote, 2, 0, 1, 2);

    m_mediaId = choice(IDC_IMPORT_TXT_MEDIAID, this);
    m_lastName = choice(IDC_IMPORT_TXT_LASTNAME, this);
    m_firstName = choice(IDC_IMPORT_TXT_FIRSTNAME, this);
    int row = 3;
    for (QComboBox* combo : {m_mediaId, m_lastName, m_firstName}) {
        const int item = combo == m_mediaId    ? IDC_IMPORT_TXT_MEDIAID
                         : combo == m_lastName ? IDC_IMPORT_TXT_LASTNAME
                                               : IDC_IMPORT_TXT_FIRSTNAME;
        auto* label = new QLabel(pageText(IDD_IMPORT_TXT_COLUMNS, item), this);
        label->setBuddy(combo);
        layout->addWidget(label, row, 0);
        layout->addWidget(combo, row, 1);
        ++row;
    }
    m_type = new QButtonGroup(this);
    layout->addWidget(
        importwizard::mediaTypeGroup(IDD_IMPORT_TXT_COLUMNS, IDC_IMPORT_TXT_IBUTTON, m_type, this),
        row, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(row + 1, 1);
}

QString CPP_ImportTxtColumns::mediaIdCaption() const {
    return m_mediaId->itemText(m_mediaIdColumn);
}
QString CPP_ImportTxtColumns::lastNameCaption() const {
    return m_lastName->itemText(m_lastNameColumn);
}
QString CPP_ImportTxtColumns::firstNameCaption() const {
    return m_firstName->itemText(m_firstNameColumn);
}

void CPP_ImportTxtColumns::initializePage() {
    m_preview->clear();
    m_preview->setColumnCount(0);
    m_mediaId->clear();
    m_lastName->clear();
    m_firstName->clear();

    bool opened = false;
    bool cut = false;
    // Shown through the code page the import will store the names in.
    const QStringList fields =
        CsvFirstLineFields(m_filePage.path(), CAppSettings::instance().CodePage, &opened, &cut);
    if (!opened)
        m_prompts.stop(FormatString(IDS_FILE_NOT_FOUND, m_filePage.path()));
    m_cutNote->setText(cut ? FormatString(IDS_FIRST_LINE_CUT, fields.size()) : QString());
    m_cutNote->setVisible(cut);
    QStringList captions;
    captions.reserve(fields.size());
    for (qsizetype j = 0; j < fields.size(); ++j)
        captions.append(FormatText(u"%s %d", {S(IDS_COLUMN), QString::number(j)}));
    // A line of thousands of commas would make a list too wide to use.
    const int shown = int(std::min<qsizetype>(fields.size(), kPreviewColumns));
    if (shown > 0) {
        m_preview->setColumnCount(shown);
        m_preview->setHeaderLabels(captions.mid(0, shown));
        for (int j = 0; j < shown; ++j)
            m_preview->setColumnWidth(j, 100);
        m_preview->addTopLevelItem(new QTreeWidgetItem(fields.mid(0, shown)));
    }
    for (QComboBox* combo : {m_mediaId, m_lastName, m_firstName})
        combo->addItems(captions);

    restore(m_mediaId, m_mediaIdColumn);
    restore(m_lastName, m_lastNameColumn);
    restore(m_firstName, m_firstNameColumn);
    m_type->button(m_mediaType)->setChecked(true);
}

void CPP_ImportTxtColumns::readControls() {
    m_mediaIdColumn = m_mediaId->currentIndex();
    m_lastNameColumn = m_lastName->currentIndex();
    m_firstNameColumn = m_firstName->currentIndex();
    m_mediaType = m_type->checkedId();
}

void CPP_ImportTxtColumns::cleanupPage() {
    // Back keeps the choices for the next visit.
    readControls();
}

bool CPP_ImportTxtColumns::validatePage() {
    readControls();
    if (m_mediaIdColumn == -1 || m_lastNameColumn == -1 || m_firstNameColumn == -1) {
        m_prompts.stop(S(IDS_INCOMPLETE_SELECTION));
        return false;
    }
    return true;
}
