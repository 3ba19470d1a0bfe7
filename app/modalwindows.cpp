#include "modalwindows.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace {
QWidget* topModalWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}
} // namespace

bool closeModalWindows() {
    while (QWidget* window = topModalWindow()) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
        if (topModalWindow() == window)
            return false;
    }
    return true;
}

bool modalWindowOpen() {
    return topModalWindow() != nullptr;
}
