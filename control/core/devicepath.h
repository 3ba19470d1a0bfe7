#pragma once

#include <QString>

namespace vr12comm {

// Folder of COMn links: VR12COMM_DEVICES, else $XDG_CONFIG_HOME/vr12comm/devices
// (default ~/.config/vr12comm/devices).
QString deviceFolder();

// Device path for "COM<number>": the link of that name in the device folder
// when there is one, else /dev/ttyS<number-1>.
QString devicePathForPort(int number);

} // namespace vr12comm
