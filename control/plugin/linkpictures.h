#pragma once

#include <QImage>

namespace vr12comm {

// The four 48 x 48 link-state pictures: a computer with a cable to a door lock
// and a folder beside it; the cable is crossed out when the port is not open,
// the folder when the log file is not.
const QImage& linkPicture(int linkState);

} // namespace vr12comm
