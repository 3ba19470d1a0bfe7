#include "schemanames.h"

#include "adorecordset.h"

bool SchemaTableNames(CADODataBase& database, QStringList& names, QString* error) {
    CADORecordset rs(&database);
    if (!rs.OpenSchema(CADORecordset::schemaTables)) {
        if (error)
            *error = rs.GetLastErrorString();
        return false;
    }
    for (; !rs.IsEof(); rs.MoveNext()) {
        QString type, name;
        rs.GetFieldValue(QStringLiteral("TABLE_TYPE"), type);
        if (type != QLatin1String("TABLE") && type != QLatin1String("VIEW"))
            continue;
        if (rs.GetFieldValue(QStringLiteral("TABLE_NAME"), name))
            names.append(name);
    }
    return true;
}

bool SchemaColumnNames(CADODataBase& database, const QString& table, QStringList& names,
                       QString* error) {
    CADORecordset rs(&database);
    if (!rs.OpenSchema(CADORecordset::schemaColumns)) {
        if (error)
            *error = rs.GetLastErrorString();
        return false;
    }
    for (; !rs.IsEof(); rs.MoveNext()) {
        QString owner, name;
        rs.GetFieldValue(QStringLiteral("TABLE_NAME"), owner);
        if (owner == table && rs.GetFieldValue(QStringLiteral("COLUMN_NAME"), name))
            names.append(name);
    }
    return true;
}
