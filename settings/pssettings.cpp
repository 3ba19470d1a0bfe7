#include "pssettings.h"

#include "appsettings.h"
#include "catalogue.h"
#include "ppmisc.h"
#include "ppmorrowreportsdb.h"
#include "ppphoto.h"
#include "resourceids.h"
#include "settingslistener.h"
#include "skin.h"
#include "userprompts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace res;

CPS_Settings::CPS_Settings(IUserPrompts& prompts, ISettingsListener& listener, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_listener(listener) {
    setWindowTitle(S(IDS_SETTINGS_CAPTION));
    m_tabs = new QTabWidget;
    m_reports = new CPP_MorrowReportsDB;
    m_photo = new CPP_Photo(prompts);
    m_misc = new CPP_Misc(prompts);
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
        if (m_misc->m_regFilePath != CAppSettings::instance().RegFilePath) {
            const QString problem = CPP_Misc::folderProblem(m_misc->m_regFilePath);
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
    CAppSettings& settings = CAppSettings::instance();
    settings.UseMRDB = m_reports->m_useMRDB;
    settings.MRDB = m_reports->m_mrdb;
    settings.MRDBCall = m_reports->m_mrdbCall;
    settings.UsePhoto = m_photo->m_usePhoto;
    settings.PhotoDB = m_photo->m_photoDb;
    settings.PhotoTable = m_photo->m_table;
    settings.PhotoFirstName = m_photo->m_firstName;
    settings.PhotoLastName = m_photo->m_lastName;
    settings.PhotoMediaID = m_photo->m_mediaId;
    settings.PhotoPhoto = m_photo->m_photo;
    settings.RegFilePath = m_misc->m_regFilePath;
    settings.AutoLoad = m_misc->m_autoLoad;
    settings.AutoLoadFile = m_misc->m_autoLoadFile;
    settings.VisualStyle = m_misc->m_visualStyle;

    m_listener.SettingsChanged();

    CSkin::apply(settings.VisualStyle);
    for (QWidget* widget : QApplication::allWidgets())
        widget->update();
}

void CPS_Settings::Run(IUserPrompts& prompts, ISettingsListener& listener, QWidget* owner) {
    CPS_Settings sheet(prompts, listener, owner);
    if (sheet.exec() == QDialog::Accepted)
        sheet.apply();
}
