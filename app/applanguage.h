#pragma once

#include "languagelist.h"

#include <QString>

#include <memory>

class IUserPrompts;
class QTranslator;

// The language of the run: the language module the setting "Language" names, chosen before any
// window is made, with the toolkit's own translations for its language. Its resources stay the
// program's until this object goes.
class CAppLanguage {
public:
    CAppLanguage();
    ~CAppLanguage();
    CAppLanguage(const CAppLanguage&) = delete;
    CAppLanguage& operator=(const CAppLanguage&) = delete;

    // Looks for the modules in the program folder and takes the one named; without one, the
    // built-in set and, while LangWarning is on, the warning (whose box sets LangWarning).
    void Choose(const QString& programFolder, IUserPrompts& prompts);

    // The modules found and the one in use.
    const CLanguageList& list() const { return m_list; }

private:
    CLanguageList m_list;
    std::unique_ptr<QTranslator> m_qtTranslator;
};
