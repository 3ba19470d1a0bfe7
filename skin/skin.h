#pragma once

class QApplication;

// The menu and toolbar skin: three looks for menu bar, menus, toolbar and status bar,
// switchable while the program runs. 0 Office XP, 1 Office 2003, 2 simple.
class CSkin {
public:
    enum Style { OfficeXP = 0, Office2003 = 1, Simple = 2 };

    // Any other number selects the first style.
    static void apply(int style);
    static int current();
    static const char* styleSheet(int style);
};
