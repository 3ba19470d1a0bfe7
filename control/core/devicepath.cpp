#include "devicepath.h"

#include <QDir>
#include <QFileInfo>

namespace vr12comm {

QString deviceFolder() {
    const QString explicitDir = qEnvironmentVariable("VR12COMM_DEVICES");
    if (!explicitDir.isEmpty())
        return explicitDir;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/vr12comm/devices");
}

QString devicePathForPort(int number) {
    const QString link = deviceFolder() + QStringLiteral("/COM%1").arg(number);
    // A dangling link still names the port: opening it then fails as "missing".
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link))
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

} // namespace vr12comm
