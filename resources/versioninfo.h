#pragma once

#include <QString>

// The program's version text and what the About box makes of it.
struct CVersionInfo {
    static QString versionText() { return QStringLiteral("3, 0, 0, 5"); }

    QString version; // "3.0.0"
    QString build;   // "5"

    // Blanks removed, commas made dots; the part after the last dot is the build.
    static CVersionInfo parse(const QString& text);
};
