#include "monthlyfiles.h"

#include "appsettings.h"

#include <QDir>

#include <algorithm>

std::optional<QDate> monthOfRegistrationsFile(const QString& fileName) {
    // "TarvexRegs-" 4 digits "-" 2 digits ".txt"
    if (fileName.size() != 22)
        return std::nullopt;
    bool yearOk = false;
    bool monthOk = false;
    const int year = fileName.mid(11, 4).toInt(&yearOk);
    const int month = fileName.mid(16, 2).toInt(&monthOk);
    if (!yearOk || !monthOk || month < 1 || month > 12 ||
        CAppSettings::monthlyFileNameFor(year, month) != fileName)
        return std::nullopt;
    return QDate(year, month, 1);
}

QStringList registrationsFilesIn(const QString& folder) {
    QStringList names;
    // Unreadable files stay in: reading them says why they were not read.
    const QStringList candidates =
        QDir(folder).entryList({QStringLiteral("TarvexRegs-*.txt")}, QDir::Files);
    for (const QString& name : candidates) {
        if (monthOfRegistrationsFile(name))
            names.append(name);
    }
    // The fixed-width name sorts as its month does.
    std::sort(names.begin(), names.end());
    return names;
}
