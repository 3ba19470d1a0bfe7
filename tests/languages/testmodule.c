/* Language modules good and bad, for the search. One source; each build picks its fault. */
#define _GNU_SOURCE
#include "languagemodule.h"

#include <dlfcn.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

#if defined(NAMED_MODULE) || defined(OLD_VERSION) || defined(ONCE_ONLY)
/* The name is the file's stem after its first '-': copies of one module under several names
   report several languages. */
static char name[512];

EXPORT const char* GetTarvexLanguage(void) {
    Dl_info info;
    if (!dladdr((void*)&GetTarvexLanguage, &info) || !info.dli_fname)
        return NULL;
    const char* base = strrchr(info.dli_fname, '/');
    base = base ? base + 1 : info.dli_fname;
    const char* dash = strchr(base, '-');
    const char* from = dash ? dash + 1 : base;
    size_t n = strlen(from);
    if (n > 3 && strcmp(from + n - 3, ".so") == 0)
        n -= 3;
    if (n >= sizeof name)
        n = sizeof name - 1;
    memcpy(name, from, n);
    name[n] = 0;
    return name;
}

/* The main menu and toolbar the main window needs, and a few resources more: everything else
   is missing from the program. */
static const struct TarvexStringEntry strings[] = {{57345, "Test ready"}, {142, NULL}};
static const struct TarvexMenuEntry menus[] = {{128, 0, 0, "&File"},
                                               {128, 1, 57665, "E&xit"},
                                               {155, 0, 0, "Tray"},
                                               {155, 1, 57665, "Leave"},
                                               /* Menu 183 skips a level: left out. */
                                               {183, 0, 0, "File"},
                                               {183, 2, 32803, "Close"}};
static const int buttons[] = {57665};
static const struct TarvexToolBarEntry toolBars[] = {{128, 131, 16, 16, buttons, 1}};
static const struct TarvexCatalogue catalogue = {
#ifdef OLD_VERSION
    TARVEX_CATALOGUE_VERSION + 1,
#else
    TARVEX_CATALOGUE_VERSION,
#endif
    NULL,
    strings,
    2,
    NULL,
    0,
    menus,
    6,
    toolBars,
    1,
    NULL};

EXPORT const struct TarvexCatalogue* GetTarvexCatalogue(void) {
#ifdef ONCE_ONLY
    /* Resources the first time only: a marker beside the file remembers the first load. */
    Dl_info info;
    char marker[4096];
    if (!dladdr((void*)&GetTarvexCatalogue, &info) || !info.dli_fname)
        return NULL;
    snprintf(marker, sizeof marker, "%s.seen", info.dli_fname);
    FILE* seen = fopen(marker, "r");
    if (seen) {
        fclose(seen);
        return NULL;
    }
    seen = fopen(marker, "w");
    if (seen)
        fclose(seen);
#endif
    return &catalogue;
}
#elif defined(NULL_NAME)
EXPORT const char* GetTarvexLanguage(void) {
    return NULL;
}
#elif defined(LONG_NAME)
/* 400 two-byte characters: the cut falls inside one. */
static char name[801];
EXPORT const char* GetTarvexLanguage(void) {
    for (int i = 0; i < 800; i += 2) {
        name[i] = (char)0xC3;
        name[i + 1] = (char)0xA4;
    }
    return name;
}
static const struct TarvexCatalogue catalogue = {
    TARVEX_CATALOGUE_VERSION, NULL, NULL, 0, NULL, 0, NULL, 0, NULL, 0, NULL};
EXPORT const struct TarvexCatalogue* GetTarvexCatalogue(void) {
    return &catalogue;
}
#elif defined(BAD_TEXT)
EXPORT const char* GetTarvexLanguage(void) {
    return "Deutsch\xff";
}
#elif defined(NO_CATALOGUE)
EXPORT const char* GetTarvexLanguage(void) {
    return "Deutsch";
}
#else
/* Not a language module at all. */
EXPORT int SomethingElse(void) {
    return 1;
}
#endif
