#pragma once

// What a language module exports: two C functions, so that a module built with another
// compiler or another version of the program is recognised rather than misread.
//
//   const char* GetTarvexLanguage(void);            the language's display name, UTF-8
//   const TarvexCatalogue* GetTarvexCatalogue(void); the module's resources
//
// Every text is UTF-8 and zero-terminated. The program copies what it takes; the module's
// data need only stay valid while the module is loaded.

#ifdef __cplusplus
extern "C" {
#endif

// Raised whenever the layout of TarvexCatalogue or of its entries changes; a module of
// another version is skipped.
#define TARVEX_CATALOGUE_VERSION 1

typedef struct TarvexStringEntry {
    int id;
    const char* text;
} TarvexStringEntry;

// Item 0 of a dialog is its caption.
typedef struct TarvexDialogTextEntry {
    int dialog;
    int item;
    const char* text;
} TarvexDialogTextEntry;

// A menu resource, flattened: its items in order, each with its nesting depth (0 for the
// menu's top-level popups). A null text is a separator; command 0 with a text is a popup whose
// items follow at depth + 1.
typedef struct TarvexMenuEntry {
    int menu;
    int depth;
    int command;
    const char* text;
} TarvexMenuEntry;

// Buttons left to right, 0 marking a separator.
typedef struct TarvexToolBarEntry {
    int id;
    int bitmap;
    int buttonWidth;
    int buttonHeight;
    const int* buttons;
    int buttonCount;
} TarvexToolBarEntry;

// A picture as PNG bytes.
typedef struct TarvexImageEntry {
    int id;
    const unsigned char* png;
    int size;
} TarvexImageEntry;

typedef struct TarvexCatalogue {
    int version; // TARVEX_CATALOGUE_VERSION; first, so any layout can be checked
    // Name of the toolkit's own translations for this language ("de"); null or empty for none.
    const char* locale;
    const TarvexStringEntry* strings;
    int stringCount;
    const TarvexDialogTextEntry* dialogTexts;
    int dialogTextCount;
    const TarvexMenuEntry* menus;
    int menuEntryCount;
    const TarvexToolBarEntry* toolBars;
    int toolBarCount;
    // Pictures are made on first request, not while modules are merely being listed.
    const TarvexImageEntry* (*images)(int* count);
} TarvexCatalogue;

typedef const char* (*TarvexLanguageFunction)(void);
typedef const TarvexCatalogue* (*TarvexCatalogueFunction)(void);

#ifdef __cplusplus
}
#endif
