#include "ppmisc.h"

#include "appsettings.h"
#include "catalogue.h"
#include "pickfolder.h"
#include "regfoldercheck.h"
#include "resourceids.h"
#include "textformat.h"
#include "userprompts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace res;

CPP_Misc::CPP_Misc(CAppSettings& values, IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_values(values), m_prompts(prompts) {
    const CCatalogue& cat = CCatalogue::instance();
    const auto text = [&](int item) { return cat.dialogText(IDD_PP_MISC, item); };
    const auto named = [](QWidget* w, int id) { w->setObjectName(QString::number(id)); };
    setWindowTitle(text(0));
    auto* layout = new QVBoxLayout(this);

    auto* folderLabel = new QLabel(text(IDC_REGFILEPATH_LABEL));
    m_folder = new QLineEdit;
    named(m_folder, IDC_REGFILEPATH);
    folderLabel->setBuddy(m_folder);
    m_browseFolder = new QPushButton(text(IDC_REGFILEPATH_BROWSE));
    named(m_browseFolder, IDC_REGFILEPATH_BROWSE);
    m_browseFolder->setAutoDefault(false);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browseFolder);
    layout->addWidget(folderLabel);
    layout->addLayout(folderRow);

    auto* group = new QGroupBox(text(IDC_STYLE_GROUP));
    auto* styles = new QVBoxLayout(group);
    const int ids[3] = {IDC_STYLE_XP, IDC_STYLE_2003, IDC_STYLE_SIMPLE};
    for (int i = 0; i < 3; ++i) {
        m_styles[i] = new QRadioButton(text(ids[i]));
        named(m_styles[i], ids[i]);
        styles->addWidget(m_styles[i]);
    }
    layout->addWidget(group);

    auto* linkCheckLabel = new QLabel(text(IDC_LINKCHECK_LABEL));
    m_linkCheck = new QSpinBox;
    named(m_linkCheck, IDC_LINKCHECK_MINUTES);
    // A day of silence is the longest that still tells of a dead controller in time.
    m_linkCheck->setRange(0, 24 * 60);
    m_linkCheck->setSpecialValueText(S(IDS_LINK_CHECK_OFF));
    linkCheckLabel->setBuddy(m_linkCheck);
    auto* linkCheckRow = new QHBoxLayout;
    linkCheckRow->addWidget(linkCheckLabel, 1);
    linkCheckRow->addWidget(m_linkCheck);
    layout->addLayout(linkCheckRow);

    // Kept for the file's sake, never shown.
    m_autoLoadCheck = new QCheckBox(text(IDC_AUTOLOAD));
    named(m_autoLoadCheck, IDC_AUTOLOAD);
    m_autoLoadEdit = new QLineEdit;
    named(m_autoLoadEdit, IDC_AUTOLOADFILE);
    m_browseAutoLoad = new QPushButton(text(IDC_AUTOLOADFILE_BROWSE));
    named(m_browseAutoLoad, IDC_AUTOLOADFILE_BROWSE);
    auto* autoLoadRow = new QHBoxLayout;
    autoLoadRow->addWidget(m_autoLoadCheck);
    autoLoadRow->addWidget(m_autoLoadEdit, 1);
    autoLoadRow->addWidget(m_browseAutoLoad);
    layout->addLayout(autoLoadRow);
    for (QWidget* w :
         {static_cast<QWidget*>(m_autoLoadCheck), static_cast<QWidget*>(m_autoLoadEdit),
          static_cast<QWidget*>(m_browseAutoLoad)})
        w->setVisible(false);
    layout->addStretch(1);

    connect(m_autoLoadCheck, &QCheckBox::clicked, this, &CPP_Misc::enableControls);
    connect(m_browseFolder, &QPushButton::clicked, this, &CPP_Misc::onBrowseFolder);
    connect(m_browseAutoLoad, &QPushButton::clicked, this, &CPP_Misc::onBrowseAutoLoadFile);
}

void CPP_Misc::OnInitDialog() {
    m_initialised = true;
    m_folder->setText(m_values.RegFilePath);
    if (m_values.VisualStyle >= 0 && m_values.VisualStyle < 3)
        m_styles[m_values.VisualStyle]->setChecked(true);
    m_linkCheck->setValue(m_values.LinkCheckMinutes);
    m_autoLoadCheck->setChecked(m_values.AutoLoad);
    m_autoLoadEdit->setText(m_values.AutoLoadFile);
    enableControls();
}

void CPP_Misc::enableControls() {
    const bool on = m_autoLoadCheck->isChecked();
    m_autoLoadEdit->setEnabled(on);
    m_browseAutoLoad->setEnabled(on);
}

QString CPP_Misc::folderProblem(const QString& folder) {
    const CRegFolderCheck check = CRegFolderCheck::check(folder);
    QString reason;
    switch (check.problem) {
    case CRegFolderCheck::None:
        return QString();
    case CRegFolderCheck::Empty:
        reason = S(IDS_REGFOLDER_EMPTY);
        break;
    case CRegFolderCheck::Missing:
        reason = S(IDS_REGFOLDER_MISSING);
        break;
    case CRegFolderCheck::NotAFolder:
        reason = S(IDS_REGFOLDER_NOT_A_FOLDER);
        break;
    case CRegFolderCheck::NotWritable:
        reason = FormatString(IDS_REGFOLDER_NOT_WRITABLE, check.detail);
        break;
    }
    return FormatString(IDS_REGFOLDER_UNUSABLE, folder, reason);
}

void CPP_Misc::onBrowseFolder() {
    OnOK();
    QString chosen;
    QString caption = CCatalogue::instance().dialogText(IDD_PP_MISC, IDC_REGFILEPATH_LABEL);
    caption.remove(QLatin1Char('&'));
    if (!PickFolder(this, caption, m_values.RegFilePath, chosen))
        return;
    // Said now, while the user still has the folder dialog's choice in mind.
    if (const QString problem = folderProblem(chosen); !problem.isEmpty()) {
        m_prompts.stop(problem);
        m_folder->setFocus();
        return;
    }
    m_values.RegFilePath = chosen;
    m_folder->setText(chosen);
}

void CPP_Misc::onBrowseAutoLoadFile() {
    const QString file = QFileDialog::getOpenFileName(this, QString(), m_autoLoadEdit->text(),
                                                      S(IDS_AUTOLOAD_FILTER));
    if (!file.isEmpty())
        m_autoLoadEdit->setText(file);
}

void CPP_Misc::OnOK() {
    m_values.RegFilePath = m_folder->text();
    for (int i = 0; i < 3; ++i)
        if (m_styles[i]->isChecked())
            m_values.VisualStyle = i;
    m_values.LinkCheckMinutes = m_linkCheck->value();
    m_values.AutoLoad = m_autoLoadCheck->isChecked();
    m_values.AutoLoadFile = m_autoLoadEdit->text();
}
