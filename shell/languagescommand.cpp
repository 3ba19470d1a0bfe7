#include "languagescommand.h"

#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "languagelist.h"
#include "languagesdlg.h"
#include "resourceids.h"
#include "userprompts.h"

using namespace res;

CLanguagesCommand::CLanguagesCommand(const CLanguageList& languages, IUserPrompts& prompts,
                                     std::function<QWidget*()> owner)
    : m_languages(languages), m_prompts(prompts), m_owner(std::move(owner)) {}

bool CLanguagesCommand::OnCommand(int id) {
    if (id != ID_VIEW_LANGUAGES)
        return false;
    if (m_languages.count() == 0)
        return true;
    QStringList names;
    for (const CLanguageList::Entry& entry : m_languages.entries())
        names << entry.language;
    CAppSettings& settings = CAppSettings::instance();
    CLanguagesDlg dialog(names, settings.LangWarning, m_owner ? m_owner() : nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    settings.LangWarning = dialog.warnIfNone();
    if (dialog.changed())
        m_prompts.information(S(IDS_RESTART_NOTICE));
    return true;
}

bool CLanguagesCommand::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != ID_VIEW_LANGUAGES)
        return false;
    ui.Enable(m_languages.count() > 0);
    return true;
}
