#include "presentedmedia.h"

bool CPresentedMedia::Registered(const PresentedMedium& medium) {
    if (medium.mediaId.size() != 16)
        return false;
    // Queued: the control's receiver waits until the registration handler returns, and a
    // listener may ask the user something.
    QMetaObject::invokeMethod(
        this, [this, medium] { emit presented(medium); }, Qt::QueuedConnection);
    return true;
}

CPresentedMedia& presentedMedia() {
    static CPresentedMedia media;
    return media;
}
