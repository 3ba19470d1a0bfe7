#include "versioninfo.h"

CVersionInfo CVersionInfo::parse(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char(' '));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    CVersionInfo info;
    const int dot = t.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        info.version = t;
        return info;
    }
    info.version = t.left(dot);
    info.build = t.mid(dot + 1);
    return info;
}
