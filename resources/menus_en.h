#pragma once

#include "languagemodule.h"
#include "resourcetypes.h"

#include <QImage>

#include <span>

// The built-in English menus, toolbars, dialog texts and pictures.
bool builtInMenu(int id, CMenuResource& out);
bool builtInToolBar(int id, CToolBarResource& out);
// Text of a dialog item (item 0: the caption); nullptr when the dialog has no such item.
const char* builtInDialogText(int dialog, int item);
// Every built-in dialog text, in the order of the dialog fragments.
std::span<const TarvexDialogTextEntry> builtInDialogTexts();
// Pictures are drawn by code; a null image when there is no picture with that number.
QImage builtInImage(int id);
// The program's icon drawn at any size (the desktop's icon theme wants several).
QImage builtInProgramIcon(int size);
