#pragma once

#include <QString>

// Registers the workspace file type with the desktop: a MIME type for *.VR-12 and a .desktop
// entry that opens such files with the program, both in the user's XDG data folder.
class CShellRegistration {
public:
    static QString mimeType() { return QStringLiteral("application/x-tarvex-document"); }

    // Writes (only what changed) and returns false when a file could not be written. After a
    // file was written, or while its cache is missing, the desktop's cache tool for it
    // (update-mime-database, update-desktop-database) is started when found on PATH.
    // typeName: the shell file type name ("Tarvex Document"); appName: the title.
    static bool registerFileType(const QString& executable, const QString& extension,
                                 const QString& typeName, const QString& appName);
    static QString mimeFile();
    static QString desktopFile();
};
