#include "dbimport.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "codepage.h"
#include "mediaid.h"
#include "tarvexdoc.h"

QString DbImportQuery(const DbImportSettings& settings) {
    return QStringLiteral("select %1, %2, %3 from %4")
        .arg(settings.mediaIdColumn, settings.lastNameColumn, settings.firstNameColumn,
             settings.table);
}

DbImportResult ImportDbTable(const DbImportSettings& settings, CTarvexDoc& doc,
                             const std::function<void(int, int)>& progress) {
    DbImportResult result;
    const CCodePage codePage(settings.codePage);
    result.codePage = codePage.Name();

    CADODataBase db;
    if (!db.Open(settings.connection, QString(), QString())) {
        result.outcome = DbImportResult::Outcome::NoConnection;
        result.error = db.GetLastErrorString();
        return result;
    }
    CADORecordset rs(&db);
    if (!rs.Open(DbImportQuery(settings))) {
        result.outcome = DbImportResult::Outcome::QueryFailed;
        result.error = rs.GetLastErrorString();
        return result;
    }
    result.total = int(rs.GetRecordCount());
    if (result.total == 0) {
        result.outcome = DbImportResult::Outcome::NothingToImport;
        return result;
    }
    result.outcome = DbImportResult::Outcome::Imported;

    int processed = 0;
    for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
        ++processed;
        if (progress)
            progress(processed, result.total);
        QString rawId;
        rs.GetFieldValue(settings.mediaIdColumn, rawId);
        const std::optional<std::string> mediaId = NormalizeMediaId(
            codePage.FromUnicode(rawId.toUpper(), result.unmapped), settings.mediaType);
        if (!mediaId || doc.FindEmployee(*mediaId))
            continue;
        QString lastName, firstName;
        rs.GetFieldValue(settings.lastNameColumn, lastName);
        rs.GetFieldValue(settings.firstNameColumn, firstName);
        CEmpRecord employee;
        employee.LastName = codePage.FromUnicode(lastName, result.unmapped);
        employee.FirstName = codePage.FromUnicode(firstName, result.unmapped);
        doc.InsertEmployee(*mediaId, std::move(employee));
        doc.SetModifiedFlag();
        ++result.imported;
    }
    doc.FillList(WorkspaceList::Employees);
    doc.FillList(WorkspaceList::ControllerEmployees);
    return result;
}
