#include "pssettings.h"

#include "catalogue.h"
#include "ppmisc.h"
#include "ppmorrowreportsdb.h"
#include "ppphoto.h"
#include "resourceids.h"
#include "settingsstore.h"
#include "userprompts.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace res;

namespace {
// What OK takes over, in the order the pages show them.
const QStringList kSheetValues = {
    QStringLiteral("UseMRDB"),         QStringLiteral("MRDB"),
    QStringLiteral("MRDBCall"),        QStringLiteral("UsePhoto"),
    QStringLiteral("PhotoDB"),         QStringLiteral("PhotoTable"),
    QStringLiteral("PhotoFirstName"),  QStringLiteral("PhotoLastName"),
    QStringLiteral("PhotoMediaID"),    QStringLiteral("PhotoPhoto"),
    QStringLiteral("RegFilePath"),     QStringLiteral("AutoLoad"),
    QStringLiteral("AutoLoadFile"),    QStringLiteral("VisualStyle"),
    QStringLiteral("LinkCheckMinutes")};
} // namespace

CPS_Settings::CPS_Settings(IUserPrompts& prompts, CSettingsStore& store, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_store(store), m_edited(store.values()) {
    setWindowTitle(S(IDS_SETTINGS_CAPTION));
    m_tabs = new QTabWidget;
    m_reports = new CPP_MorrowReportsDB(m_edited);
    m_photo = new CPP_Photo(m_edited, prompts);
    m_misc = new CPP_Misc(m_edited, prompts);
    for (QWidget* page : {static_cast<QWidget*>(m_reports), static_cast<QWidget*>(m_photo),
                          static_cast<QWidget*>(m_misc)})
        m_tabs->addTab(page, page->windowTitle());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(S(IDS_OK));
    buttons->button(QDialogButtonBox::Cancel)->setText(S(IDS_CANCEL));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPS_Settings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A page takes its values into its controls when it is first shown, as a property page
    // does; the first page is shown at once.
    m_reports->OnInitDialog();
    connect(m_tabs, &QTabWidget::currentChanged, this, &CPS_Settings::pageShown);
    resize(480, 420);
}

CPS_Settings::~CPS_Settings() = default;

void CPS_Settings::pageShown(int index) {
    QWidget* page = m_tabs->widget(index);
    if (page == m_photo && !m_photo->initialised())
        m_photo->OnInitDialog();
    else if (page == m_misc && !m_misc->initialised())
        m_misc->OnInitDialog();
}

void CPS_Settings::accept() {
    m_reports->OnOK();
    if (m_photo->initialised())
        m_photo->OnOK();
    if (m_misc->initialised()) {
        m_misc->OnOK();
        // A folder the control cannot write into would lose every registration: it is refused
        // here, while the user can still correct it. An unchanged folder is not in question.
        if (m_edited.RegFilePath != m_store.values().RegFilePath) {
            const QString problem = CPP_Misc::folderProblem(m_edited.RegFilePath);
            if (!problem.isEmpty()) {
                m_prompts.stop(problem);
                m_tabs->setCurrentWidget(m_misc);
                m_misc->folderEdit()->setFocus();
                return;
            }
        }
    }
    QDialog::accept();
}

void CPS_Settings::apply() {
    // The followers do the rest: every controller's log, SaveSettings, both databases, the
    // visual style.
    m_store.apply(m_edited, kSheetValues);
}

void CPS_Settings::Run(IUserPrompts& prompts, CSettingsStore& store, QWidget* owner) {
    CPS_Settings sheet(prompts, store, owner);
    if (sheet.exec() == QDialog::Accepted)
        sheet.apply();
}
