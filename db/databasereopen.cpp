#include "databasereopen.h"

#include "adodatabase.h"

QString ReopenDatabase(std::unique_ptr<CADODataBase>& database, bool& featureOn,
                       const QString& connection, const QString& failureText) {
    if (!database)
        database = std::make_unique<CADODataBase>();
    database->Close();
    if (!featureOn || database->Open(connection, QString(), QString()))
        return QString();
    featureOn = false;
    QString text = failureText;
    text.replace(QStringLiteral("%s"), database->GetErrorDescription());
    return text;
}
