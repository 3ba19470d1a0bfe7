#pragma once

#include <QDate>
#include <QString>

// The registrations file of the month of `date` in `folder` (RegFilePath):
// folder + "/TarvexRegs-%Y-%m.txt".
QString registrationsFileFor(const QString& folder, QDate date);
