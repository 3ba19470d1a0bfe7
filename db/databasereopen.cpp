#include "databasereopen.h"

#include "adodatabase.h"
#include "boundedopen.h"

std::optional<QString> ReopenDatabase(std::unique_ptr<CADODataBase>& database, bool& featureOn,
                                      const QString& connection, std::chrono::milliseconds limit) {
    if (!database)
        database = std::make_unique<CADODataBase>();
    database->Close();
    if (!featureOn)
        return std::nullopt;
    QString error;
    if (OpenWithin(database, connection, limit, error))
        return std::nullopt;
    featureOn = false;
    return error;
}
