#pragma once

#include <QString>

class QWidget;

// Lets the user choose an existing file-system folder, starting at `initial` (the current
// folder when empty). True with the chosen path in `chosen`; false when cancelled.
bool PickFolder(QWidget* owner, const QString& caption, const QString& initial, QString& chosen);
