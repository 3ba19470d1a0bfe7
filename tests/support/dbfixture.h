#pragma once

#include "adodatabase.h"
#include "adorecordset.h"
#include "testworld.h"

#include <QStringList>

// Creates (NoCreat=0) or opens a SQLite database of the test world and runs the statements
// through the layer itself; returns the first failure's error text, or an empty text.
inline QString runStatements(const QString& file, const QStringList& statements) {
    CADODataBase db;
    if (!db.Open(TestWorld::instance()->sqliteConnection(file) + QStringLiteral(";NoCreat=0")))
        return db.GetLastErrorString();
    CADORecordset rs(&db);
    for (const QString& sql : statements)
        if (!rs.Open(sql))
            return rs.GetLastErrorString();
    return QString();
}
