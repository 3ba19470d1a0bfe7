#pragma once

#include "languagemodule.h"
#include "resourcetypes.h"

#include <span>

// One language as a module holds it: its texts and menus. Toolbars and pictures hold no
// words, so every module hands on the program's own.
struct CLanguageModuleData {
    const char* locale = nullptr;
    std::span<const TarvexStringEntry> strings;
    std::span<const TarvexDialogTextEntry> dialogTexts;
    bool (*menu)(int id, CMenuResource& out) = nullptr;
};

// The table a module returns from GetTarvexCatalogue, built on the first call and kept until
// the module is unloaded.
const TarvexCatalogue* ExportCatalogue(const CLanguageModuleData& data);
