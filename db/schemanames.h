#pragma once

#include <QString>
#include <QStringList>

class CADODataBase;

// The names the database's schema lists give: its tables and views (TABLE_TYPE exactly "TABLE"
// or "VIEW"), and the columns of one table named exactly. False when the list cannot be read,
// with the result's error text in `error` when given.
bool SchemaTableNames(CADODataBase& database, QStringList& names, QString* error = nullptr);
bool SchemaColumnNames(CADODataBase& database, const QString& table, QStringList& names,
                       QString* error = nullptr);
