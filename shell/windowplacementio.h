#pragma once

#include "windowplacement.h"

#include <QByteArray>

class QWidget;

// A top-level window's placement as the 44-byte record, and a stored record applied to it
// (geometry, then shown maximised or normal).
QByteArray windowPlacementBytes(const QWidget& window);
void showWithPlacement(QWidget& window, const CWindowPlacement& placement);
