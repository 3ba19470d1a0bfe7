#include "databasereopen.h"

#include "adodatabase.h"

std::optional<QString> ReopenDatabase(std::unique_ptr<CADODataBase>& database, bool& featureOn,
                                      const QString& connection) {
    if (!database)
        database = std::make_unique<CADODataBase>();
    database->Close();
    if (!featureOn || database->Open(connection, QString(), QString()))
        return std::nullopt;
    featureOn = false;
    return database->GetErrorDescription();
}
