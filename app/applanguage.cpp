#include "applanguage.h"

#include "appsettings.h"
#include "catalogue.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

CAppLanguage::CAppLanguage() = default;

CAppLanguage::~CAppLanguage() {
    // The module goes with the list: its resources with it.
    if (m_list.hasModule())
        CCatalogue::instance().setSource(nullptr);
}

void CAppLanguage::Choose(const QString& programFolder, IUserPrompts& prompts) {
    {
        auto store = CAppSettings::openStore();
        m_list.Discover(programFolder,
                        CAppSettings::readLanguage(*store, QStringLiteral("English")));
    }
    std::unique_ptr<CCatalogue::Source> source = m_list.moduleSource();
    const bool found = source != nullptr;
    CCatalogue::instance().setSource(std::move(source));

    m_qtTranslator.reset();
    const QString locale = found ? m_list.moduleLocale() : QString();
    if (!locale.isEmpty()) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qt_") + locale,
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator.get());
            m_qtTranslator = std::move(translator);
        }
    }

    CAppSettings& settings = CAppSettings::instance();
    if (!found && settings.LangWarning)
        if (const std::optional<bool> showAgain = prompts.languageWarning(true))
            settings.LangWarning = *showAgain;
}
