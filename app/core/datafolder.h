#pragma once

#include <QDir>
#include <QStandardPaths>
#include <QString>

// The user's data folder of the program ($XDG_DATA_HOME/Tarvex), created when needed.
inline QString tarvexDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Tarvex");
    QDir().mkpath(folder);
    return folder;
}
