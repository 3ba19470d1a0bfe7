#include "menus_en.h"

#include "menubuild.h"
#include "resourceids.h"

using namespace menubuild;
using namespace res;

namespace {
std::vector<CMenuItem> controllersItems() {
    return {cmd("&Add new controller...", ID_TERM_ADD),
            cmd("Edit controller...", ID_TERM_EDIT),
            cmd("&Delete selected controller", ID_TERM_DELETE),
            sep(),
            cmd("&Firmware", ID_TERM_FIRMWARE),
            sep(),
            cmd("Read &ID table", ID_TERM_READIDTABLE),
            cmd("Read &master", ID_TERM_READMASTER),
            cmd("Read &parameters", ID_TERM_READPARAMS),
            sep(),
            cmd("Write to ID &table", ID_TERM_WRITEIDTABLE),
            cmd("&Write master", ID_TERM_WRITEMASTER),
            cmd("Write p&arameters", ID_TERM_WRITEPARAMS),
            sep(),
            cmd("Remove from ID table", ID_TERM_REMOVEIDTABLE),
            cmd("Clear ID table", ID_TERM_CLEARIDTABLE),
            sep(),
            cmd("Select employees not in database", ID_TERM_SELNOTINDB),
            cmd("Copy to database", ID_TERM_COPYTODB),
            sep(),
            cmd("&Open lock", ID_TERM_OPENLOCK)};
}

CMenuResource mainMenu() {
    return {
        popup("&File",
              {cmd("&New", ID_FILE_NEW), cmd("&Open...", ID_FILE_OPEN), cmd("&Save", ID_FILE_SAVE),
               cmd("Save &As...", ID_FILE_SAVE_AS), sep(),
               popup("Import", {cmd("Import employees from &txt file", ID_FILE_IMPORT_TXT),
                                cmd("Import employees from &database", ID_FILE_IMPORT_DB)}),
               sep(), cmd("Recent files", ID_FILE_MRU_FILE1), sep(), cmd("E&xit", ID_APP_EXIT)}),
        popup("&View",
              {cmd("&Toolbar", ID_VIEW_TOOLBAR), cmd("&Status bar", ID_VIEW_STATUS_BAR), sep(),
               cmd("&Photograph", ID_VIEW_PHOTO), cmd("Registrations &history...", ID_VIEW_HISTORY),
               cmd("&Alerts...", ID_VIEW_ALERTS),
               sep(), cmd("Settings...", ID_VIEW_SETTINGS), sep(),
               cmd("Languages...", ID_VIEW_LANGUAGES)}),
        popup("&Employees",
              {cmd("&Add new employee...", ID_EMP_ADD), cmd("&Edit employee...", ID_EMP_EDIT),
               cmd("&Delete selected employees", ID_EMP_DELETE), sep(),
               cmd("En&rol keys and cards...", ID_EMP_ENROL),
               cmd("Add as empl&oyee...", ID_REG_ADDEMPLOYEE), sep(),
               cmd("Select &all employees", ID_EMP_SELECTALL),
               cmd("Select employees in &controller", ID_EMP_SELECTIN),
               cmd("Select employees &not in controller", ID_EMP_SELECTNOTIN), sep(),
               cmd("Write to ID table", ID_TERM_WRITEIDTABLE), sep(),
               cmd("&Write master", ID_TERM_WRITEMASTER), sep(),
               cmd("Copy MediaID to clipboard", ID_COPY_MEDIAID)}),
        popup("&Controllers", controllersItems()),
        popup("&Help", {cmd("&About Tarvex...", ID_APP_ABOUT)})};
}
} // namespace

bool builtInMenu(int id, CMenuResource& out) {
    switch (id) {
    case IDR_MAINFRAME:
        out = mainMenu();
        return true;
    case IDR_MENU_EMP:
        out = {popup("Employees", {cmd("&Add new employee...", ID_EMP_ADD),
                                   cmd("&Edit employee...", ID_EMP_EDIT),
                                   cmd("&Delete selected employees", ID_EMP_DELETE), sep(),
                                   cmd("En&rol keys and cards...", ID_EMP_ENROL),
                                   cmd("Add as empl&oyee...", ID_REG_ADDEMPLOYEE), sep(),
                                   cmd("Select &all employees", ID_EMP_SELECTALL),
                                   cmd("Select employees in &controller", ID_EMP_SELECTIN),
                                   cmd("Select employees &not in controller", ID_EMP_SELECTNOTIN),
                                   sep(), cmd("Write to ID &table", ID_TERM_WRITEIDTABLE), sep(),
                                   cmd("&Write master", ID_TERM_WRITEMASTER), sep(),
                                   cmd("Copy MediaID to clipboard", ID_COPY_MEDIAID)})};
        return true;
    case IDR_MENU_TERM:
        out = {popup("Controllers", controllersItems())};
        return true;
    case IDR_MENU_TERMEMP:
        out = {popup("Employees in controller",
                     {cmd("Remove from ID table", ID_TERM_REMOVEIDTABLE),
                      cmd("Clear ID table", ID_TERM_CLEARIDTABLE), sep(),
                      cmd("Select employees not in database", ID_TERM_SELNOTINDB),
                      cmd("Copy to database", ID_TERM_COPYTODB), sep(),
                      cmd("Copy MediaID to clipboard", ID_COPY_MEDIAID)})};
        return true;
    case IDR_MENU_REG:
        out = {popup("Registrations", {cmd("Add as empl&oyee...", ID_REG_ADDEMPLOYEE), sep(),
                                       cmd("Clear list", ID_REG_CLEAR), sep(),
                                       cmd("Copy MediaID to clipboard", ID_COPY_MEDIAID)})};
        return true;
    case IDR_MENU_TRAY:
        out = {
            popup("Tray", {cmd("&About Tarvex...", ID_APP_ABOUT), sep(),
                           cmd("&Restore main window", ID_RESTORE_MAIN),
                           cmd("A&lerts...", ID_VIEW_ALERTS), sep(), cmd("E&xit", ID_APP_EXIT)})};
        return true;
    case IDR_MENU_PHOTO:
        out = {popup("&File", {cmd("&Close", ID_PHOTO_CLOSE)})};
        return true;
    default:
        return false;
    }
}

bool builtInToolBar(int id, CToolBarResource& out) {
    if (id != IDR_MAINFRAME)
        return false;
    out.bitmap = IDB_TOOLBAR;
    out.buttonWidth = 16;
    out.buttonHeight = 16;
    out.buttons = {ID_FILE_NEW,
                   0,
                   ID_FILE_OPEN,
                   ID_FILE_SAVE,
                   0,
                   ID_EMP_ADD,
                   ID_EMP_EDIT,
                   ID_EMP_DELETE,
                   0,
                   ID_EMP_SELECTALL,
                   ID_EMP_SELECTIN,
                   ID_EMP_SELECTNOTIN,
                   0,
                   ID_TERM_ADD,
                   ID_TERM_EDIT,
                   ID_TERM_DELETE,
                   0,
                   ID_TERM_FIRMWARE,
                   0,
                   ID_TERM_READIDTABLE,
                   ID_TERM_READMASTER,
                   ID_TERM_READPARAMS,
                   0,
                   ID_TERM_WRITEIDTABLE,
                   ID_TERM_WRITEMASTER,
                   ID_TERM_WRITEPARAMS,
                   0,
                   ID_TERM_REMOVEIDTABLE,
                   ID_TERM_CLEARIDTABLE,
                   0,
                   ID_TERM_SELNOTINDB,
                   ID_TERM_COPYTODB,
                   0,
                   ID_TERM_OPENLOCK,
                   0,
                   ID_APP_ABOUT};
    return true;
}

std::span<const TarvexDialogTextEntry> builtInDialogTexts() {
    using Entry = TarvexDialogTextEntry;
    static constexpr Entry kTexts[] = {
#include "dialogs/edit.inc"
#include "dialogs/enrol.inc"
#include "dialogs/frame.inc"
#include "dialogs/import.inc"
#include "dialogs/languages.inc"
#include "dialogs/operations.inc"
#include "dialogs/settings.inc"
#include "dialogs/termform.inc"
    };
    return kTexts;
}

const char* builtInDialogText(int dialog, int item) {
    for (const TarvexDialogTextEntry& e : builtInDialogTexts())
        if (e.dialog == dialog && e.item == item)
            return e.text;
    return nullptr;
}
