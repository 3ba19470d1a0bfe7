#pragma once

// Modal dialogs and pop-up menus run their own event loop on the stack of whatever opened
// them; a window they belong to must not be destroyed until those loops have returned.

// Closes every open pop-up menu and modal dialog, the dialogs as Cancel would. False when
// one of them stayed open.
bool closeModalWindows();
// A modal dialog or a pop-up menu is open.
bool modalWindowOpen();
