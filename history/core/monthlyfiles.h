#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The first day of the month a registrations file's name stands for ("TarvexRegs-2025-03.txt"),
// nullopt for any other name.
std::optional<QDate> monthOfRegistrationsFile(const QString& fileName);

// The names of the monthly registrations files in `folder`, oldest month first.
QStringList registrationsFilesIn(const QString& folder);
