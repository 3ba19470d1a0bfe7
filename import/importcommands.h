#pragma once

#include "boundedopen.h"
#include "commandtarget.h"
#include "datalinkfactory.h"

#include <functional>

class CTarvexDoc;
class IUserPrompts;
class QWidget;

// The two import commands of the File menu: the wizard, then the import into the open
// workspace with its result message.
class CImportCommands : public ICommandTarget {
public:
    struct Context {
        IUserPrompts* prompts = nullptr;
        std::function<CTarvexDoc*()> document;
        std::function<QWidget*()> owner;
        // Writes all settings (the import remembers its file or connection).
        std::function<void()> saveSettings;
    };

    explicit CImportCommands(Context context);

    // The connection dialog behind the wizard's Select button.
    void setDataLinkPrompt(DataLinkPromptFactory factory) { m_dataLink = std::move(factory); }
    // How long the database import waits for its database.
    void setWaitLimits(const DbWaitLimits& limits) { m_waitLimits = limits; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    void ImportFromText();
    void ImportFromDatabase();

private:
    Context m_context;
    DataLinkPromptFactory m_dataLink;
    DbWaitLimits m_waitLimits;
};
