#include "skin.h"

#include <QApplication>

namespace {
int g_style = -1;

// Only bars and menus are styled; dialogs and lists keep the platform's look.
const char* const kOfficeXP = R"(
QMenuBar { background: #f0eee8; border-bottom: 1px solid #c8c4b8; }
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }
QMenu { background: #fcfcf9; border: 1px solid #8a867a; padding: 2px; }
QMenu::item { padding: 4px 24px 4px 28px; border: 1px solid transparent; }
QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; color: black; }
QMenu::item:disabled { color: #a6a39a; }
QMenu::icon { padding-left: 6px; }
QMenu::separator { height: 1px; background: #c5c2b8; margin: 3px 4px 3px 30px; }
QToolBar { background: #efede6; border: 1px solid #d8d4ca; spacing: 2px; padding: 1px; }
QToolBar::separator { width: 1px; background: #b8b4aa; margin: 3px 4px; }
QToolButton { border: 1px solid transparent; padding: 2px; }
QToolButton:hover { background: #c1d2ee; border: 1px solid #316ac5; }
QToolButton:pressed, QToolButton:checked { background: #98b5e2; border: 1px solid #316ac5; }
QStatusBar { background: #ece9d8; }
)";

const char* const kOffice2003 = R"(
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3effe, stop:1 #9ebfee); }
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff3c8, stop:1 #ffd28c); border: 1px solid #000080; }
QMenu { background: #f6f6f6; border: 1px solid #002d96; padding: 2px; }
QMenu::item { padding: 4px 24px 4px 28px; border: 1px solid transparent; }
QMenu::item:selected { background: #ffeec2; border: 1px solid #000080; color: black; }
QMenu::item:disabled { color: #8d8d8d; }
QMenu::icon { padding-left: 6px; }
QMenu::separator { height: 1px; background: #6a8ccb; margin: 3px 4px 3px 30px; }
QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ddecfe, stop:1 #81a9e2); border: 1px solid #3b619c; border-radius: 3px; spacing: 2px; padding: 1px; }
QToolBar::separator { width: 1px; background: #6a8ccb; margin: 3px 4px; }
QToolButton { border: 1px solid transparent; padding: 2px; }
QToolButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff3c8, stop:1 #ffd28c); border: 1px solid #000080; }
QToolButton:pressed, QToolButton:checked { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fe9555, stop:1 #ffd28c); border: 1px solid #000080; }
QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #9ebfee, stop:1 #6a8ccb); color: black; }
)";
} // namespace

const char* CSkin::styleSheet(int style) {
    switch (style) {
    case Office2003:
        return kOffice2003;
    case Simple:
        // Never empty: removing the application's style sheet frees the platform style it
        // wraps in the Qt we build against, and the next sheet then crashes on it.
        return "/* simple: the platform's own look */";
    default:
        return kOfficeXP;
    }
}

void CSkin::apply(int style) {
    if (style < OfficeXP || style > Simple)
        style = OfficeXP;
    g_style = style;
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(QString::fromLatin1(styleSheet(style)));
}

int CSkin::current() {
    return g_style < 0 ? OfficeXP : g_style;
}
