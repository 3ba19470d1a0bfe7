#pragma once

#include <QString>

// Whether the control could write the monthly registrations files into a folder: it must exist,
// be a folder and take a new file (tried, since permissions alone do not tell about read-only
// mounts and access lists).
struct CRegFolderCheck {
    enum Problem { None, Empty, Missing, NotAFolder, NotWritable };
    Problem problem = None;
    QString detail; // the system's reason when a file could not be created

    static CRegFolderCheck check(const QString& folder);
};
