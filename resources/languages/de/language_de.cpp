// The German language module: every text of the program, translated, under the program's own
// resource numbers.
#include "language_de.h"
#include "catalogueexport.h"
#include "resourceids.h"

using namespace res;

namespace {
// One fragment per area, mirroring the English fragments of the same name, in their order.
// clang-format off
constexpr TarvexStringEntry kStrings[] = {
#include "strings/frame.inc"
#include "strings/import.inc"
#include "strings/intake.inc"
#include "strings/link.inc"
#include "strings/panes.inc"
#include "strings/settings.inc"
#include "strings/workspace.inc"
#include "strings/edit.inc"
#include "strings/media.inc"
#include "strings/history.inc"
#include "strings/alerts.inc"
#include "strings/enrol.inc"
};

constexpr TarvexDialogTextEntry kDialogTexts[] = {
#include "dialogs/frame.inc"
#include "dialogs/languages.inc"
#include "dialogs/settings.inc"
#include "dialogs/operations.inc"
#include "dialogs/termform.inc"
#include "dialogs/edit.inc"
#include "dialogs/import.inc"
#include "dialogs/enrol.inc"
};
// clang-format on
} // namespace

extern "C" __attribute__((visibility("default"))) const char* GetTarvexLanguage() {
    return "Deutsch";
}

extern "C" __attribute__((visibility("default"))) const TarvexCatalogue* GetTarvexCatalogue() {
    CLanguageModuleData data;
    data.locale = "de";
    data.strings = kStrings;
    data.dialogTexts = kDialogTexts;
    data.menu = &germanMenu;
    return ExportCatalogue(data);
}
