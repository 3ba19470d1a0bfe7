#pragma once

#include <QList>
#include <QString>

// What the ODBC driver manager knows: the installed drivers (odbcinst.ini) and the data sources
// (odbc.ini). The connection-string prompt offers them; the layer uses them to tell a missing
// driver from other connection failures.
struct COdbcDriverInfo {
    QString name;
    QString library; // the "Driver" attribute, a library path or name
};

struct COdbcDataSourceInfo {
    QString name;
    QString driver;
};

QList<COdbcDriverInfo> odbcInstalledDrivers();
QList<COdbcDataSourceInfo> odbcDataSources();
