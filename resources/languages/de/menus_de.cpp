#include "language_de.h"

#include "menubuild.h"
#include "resourceids.h"

using namespace menubuild;
using namespace res;

// Mnemonics differ within each popup; the module's test checks it.
namespace {
std::vector<CMenuItem> employeesItems() {
    return {cmd("&Neuer Mitarbeiter...", ID_EMP_ADD),
            cmd("Mitarbeiter &bearbeiten...", ID_EMP_EDIT),
            cmd("Ausgewählte Mitarbeiter &löschen", ID_EMP_DELETE),
            sep(),
            cmd("Schlüssel und Karten &erfassen...", ID_EMP_ENROL),
            cmd("Als Mitarbeiter hin&zufügen...", ID_REG_ADDEMPLOYEE),
            sep(),
            cmd("&Alle Mitarbeiter auswählen", ID_EMP_SELECTALL),
            cmd("Mitarbeiter im &Controller auswählen", ID_EMP_SELECTIN),
            cmd("Mitarbeiter nic&ht im Controller auswählen", ID_EMP_SELECTNOTIN),
            sep(),
            cmd("In die ID-&Tabelle schreiben", ID_TERM_WRITEIDTABLE),
            sep(),
            cmd("&Master schreiben", ID_TERM_WRITEMASTER),
            sep(),
            cmd("MediaID in die Zwischenablage &kopieren", ID_COPY_MEDIAID)};
}

std::vector<CMenuItem> controllersItems() {
    return {cmd("Neuen Controller &hinzufügen...", ID_TERM_ADD),
            cmd("Controller &bearbeiten...", ID_TERM_EDIT),
            cmd("Ausgewählten Controller &löschen", ID_TERM_DELETE),
            sep(),
            cmd("&Firmware", ID_TERM_FIRMWARE),
            sep(),
            cmd("&ID-Tabelle lesen", ID_TERM_READIDTABLE),
            cmd("&Master lesen", ID_TERM_READMASTER),
            cmd("&Parameter lesen", ID_TERM_READPARAMS),
            sep(),
            cmd("In die ID-&Tabelle schreiben", ID_TERM_WRITEIDTABLE),
            cmd("Master &schreiben", ID_TERM_WRITEMASTER),
            cmd("P&arameter schreiben", ID_TERM_WRITEPARAMS),
            sep(),
            cmd("Aus der ID-Tabelle &entfernen", ID_TERM_REMOVEIDTABLE),
            cmd("ID-Tabelle lee&ren", ID_TERM_CLEARIDTABLE),
            sep(),
            cmd("Mitarbeiter nicht in der &Datenbank auswählen", ID_TERM_SELNOTINDB),
            cmd("In die Datenbank &kopieren", ID_TERM_COPYTODB),
            sep(),
            cmd("Schl&oss öffnen", ID_TERM_OPENLOCK)};
}

CMenuResource mainMenu() {
    return {
        popup("&Datei",
              {cmd("&Neu", ID_FILE_NEW), cmd("Ö&ffnen...", ID_FILE_OPEN),
               cmd("&Speichern", ID_FILE_SAVE), cmd("Speichern &unter...", ID_FILE_SAVE_AS), sep(),
               popup("&Importieren",
                     {cmd("Mitarbeiter aus einer &Textdatei importieren", ID_FILE_IMPORT_TXT),
                      cmd("Mitarbeiter aus einer &Datenbank importieren", ID_FILE_IMPORT_DB)}),
               sep(), cmd("Zuletzt geöffnete Dateien", ID_FILE_MRU_FILE1), sep(),
               cmd("&Beenden", ID_APP_EXIT)}),
        popup("&Ansicht",
              {cmd("&Symbolleiste", ID_VIEW_TOOLBAR), cmd("S&tatusleiste", ID_VIEW_STATUS_BAR),
               sep(), cmd("&Foto", ID_VIEW_PHOTO), cmd("&Buchungsverlauf...", ID_VIEW_HISTORY),
               cmd("&Warnmeldungen...", ID_VIEW_ALERTS),
               sep(), cmd("&Einstellungen...", ID_VIEW_SETTINGS), sep(),
               cmd("S&prachen...", ID_VIEW_LANGUAGES)}),
        popup("&Mitarbeiter", employeesItems()), popup("&Controller", controllersItems()),
        popup("&Hilfe", {cmd("&Info über Tarvex...", ID_APP_ABOUT)})};
}
} // namespace

bool germanMenu(int id, CMenuResource& out) {
    switch (id) {
    case IDR_MAINFRAME:
        out = mainMenu();
        return true;
    case IDR_MENU_EMP:
        out = {popup("Mitarbeiter", employeesItems())};
        return true;
    case IDR_MENU_TERM:
        out = {popup("Controller", controllersItems())};
        return true;
    case IDR_MENU_TERMEMP:
        out = {popup("Mitarbeiter im Controller",
                     {cmd("Aus der ID-Tabelle &entfernen", ID_TERM_REMOVEIDTABLE),
                      cmd("ID-Tabelle lee&ren", ID_TERM_CLEARIDTABLE), sep(),
                      cmd("Mitarbeiter nicht in der &Datenbank auswählen", ID_TERM_SELNOTINDB),
                      cmd("In die Datenbank &kopieren", ID_TERM_COPYTODB), sep(),
                      cmd("&MediaID in die Zwischenablage kopieren", ID_COPY_MEDIAID)})};
        return true;
    case IDR_MENU_REG:
        out = {
            popup("Buchungen", {cmd("Als Mitarbeiter hin&zufügen...", ID_REG_ADDEMPLOYEE), sep(),
                                cmd("Liste &leeren", ID_REG_CLEAR), sep(),
                                cmd("MediaID in die Zwischenablage &kopieren", ID_COPY_MEDIAID)})};
        return true;
    case IDR_MENU_TRAY:
        out = {popup("Tray", {cmd("&Info über Tarvex...", ID_APP_ABOUT), sep(),
                              cmd("Hauptfenster &wiederherstellen", ID_RESTORE_MAIN),
                              cmd("Warn&meldungen...", ID_VIEW_ALERTS), sep(),
                              cmd("&Beenden", ID_APP_EXIT)})};
        return true;
    case IDR_MENU_PHOTO:
        out = {popup("&Datei", {cmd("&Schließen", ID_PHOTO_CLOSE)})};
        return true;
    default:
        return false;
    }
}
