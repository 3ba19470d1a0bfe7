// The English language module: the program's built-in resources handed on unchanged, so that
// English is one choice among the others in the Languages dialog.
#include "catalogueexport.h"
#include "menus_en.h"
#include "strings_en.h"

#include <vector>

extern "C" __attribute__((visibility("default"))) const char* GetTarvexLanguage() {
    return "English";
}

extern "C" __attribute__((visibility("default"))) const TarvexCatalogue* GetTarvexCatalogue() {
    static const std::vector<TarvexStringEntry> strings = [] {
        std::vector<TarvexStringEntry> out;
        for (int i = 0; i < builtInStringCount(); ++i) {
            const int id = builtInStringIdAt(i);
            out.push_back({id, builtInString(id)});
        }
        return out;
    }();
    CLanguageModuleData data;
    data.strings = strings;
    data.dialogTexts = builtInDialogTexts();
    data.menu = &builtInMenu;
    return ExportCatalogue(data);
}
