#pragma once

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

// The user's data folder of the program ($XDG_DATA_HOME/Tarvex), created when needed.
inline QString tarvexDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Tarvex");
    QDir().mkpath(folder);
    return folder;
}

// The default of RegFilePath: the program folder, without trailing separators, while it is
// writable, else the user's data folder. The desktop program and the headless collector both
// take it, so both write into the same monthly files.
inline QString regFilePathDefault(QString programFolder) {
    while (programFolder.size() > 1 && programFolder.endsWith(QLatin1Char('/')))
        programFolder.chop(1);
    const QFileInfo info(programFolder);
    if (info.isDir() && info.isWritable())
        return programFolder;
    // An installed program's folder is not the user's: registrations go to the data folder.
    return tarvexDataFolder();
}
