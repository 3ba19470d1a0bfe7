#pragma once

#include "commandtarget.h"

#include <functional>

class CLanguageList;
class IUserPrompts;
class QWidget;

// View Languages: pick the language of the next start. Enabled while at least one language
// module was found; OK updates LangWarning and says when a restart is needed.
class CLanguagesCommand : public ICommandTarget {
public:
    CLanguagesCommand(const CLanguageList& languages, IUserPrompts& prompts,
                      std::function<QWidget*()> owner);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

private:
    const CLanguageList& m_languages;
    IUserPrompts& m_prompts;
    std::function<QWidget*()> m_owner;
};
