#pragma once

#include <QString>

#include <vector>

// One item of a menu resource: a command (id > 0), a popup (items not empty) or a separator.
struct CMenuItem {
    QString text;
    int id = 0;
    std::vector<CMenuItem> items;

    bool isSeparator() const { return id == 0 && items.empty(); }
    bool isPopup() const { return id == 0 && !items.empty(); }
};

// A menu resource: its top-level popups (a context menu uses popup 0).
using CMenuResource = std::vector<CMenuItem>;

// A toolbar resource: its buttons left to right, 0 marking a separator. Button n (counting
// buttons only) takes image n of the strip bitmap.
struct CToolBarResource {
    int bitmap = 0;
    int buttonWidth = 16;
    int buttonHeight = 16;
    std::vector<int> buttons;
};
