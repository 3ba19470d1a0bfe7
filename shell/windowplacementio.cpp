#include "windowplacementio.h"

#include <QWidget>

QByteArray windowPlacementBytes(const QWidget& window) {
    CWindowPlacement p;
    const QRect normal =
        (window.isMaximized() || window.isMinimized()) && window.normalGeometry().isValid()
            ? window.normalGeometry()
            : window.geometry();
    p.setNormalRect(normal);
    if (window.isMinimized())
        p.showCmd = CWindowPlacement::SW_SHOWMINIMIZED;
    else if (window.isMaximized())
        p.showCmd = CWindowPlacement::SW_SHOWMAXIMIZED;
    else
        p.showCmd = CWindowPlacement::SW_SHOWNORMAL;
    // Minimised (or hidden in the tray) from maximised: restoring goes back to maximised.
    if (window.isMinimized() && window.isMaximized())
        p.flags |= CWindowPlacement::WPF_RESTORETOMAXIMIZED;
    return p.toBytes();
}

void showWithPlacement(QWidget& window, const CWindowPlacement& placement) {
    window.setGeometry(placement.normalRect());
    switch (placement.showCmd) {
    case CWindowPlacement::SW_SHOWMAXIMIZED:
        window.showMaximized();
        return;
    case CWindowPlacement::SW_SHOWMINIMIZED:
        // Ended while minimised or hidden in the tray: the window comes back the way
        // restoring it would have brought it back.
        if (placement.restoresToMaximised())
            window.showMaximized();
        else
            window.showNormal();
        return;
    default:
        window.showNormal();
        return;
    }
}
