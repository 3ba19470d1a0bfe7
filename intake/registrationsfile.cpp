#include "registrationsfile.h"

#include "appsettings.h"

QString registrationsFileFor(const QString& folder, QDate date) {
    return folder + QLatin1Char('/') + CAppSettings::monthlyFileNameFor(date.year(), date.month());
}
