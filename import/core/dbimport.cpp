#include "dbimport.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "adovalue.h"
#include "codepage.h"
#include "mediaid.h"
#include "sqlidentifier.h"
#include "tarvexdoc.h"

#include <algorithm>

QString DbImportQuery(const DbImportSettings& settings, const SqlIdentifierRules& rules) {
    return QStringLiteral("select %1, %2, %3 from %4")
        .arg(QuoteIdentifierIfNeeded(settings.mediaIdColumn, rules),
             QuoteIdentifierIfNeeded(settings.lastNameColumn, rules),
             QuoteIdentifierIfNeeded(settings.firstNameColumn, rules),
             QuoteIdentifierIfNeeded(settings.table, rules));
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
    const SqlIdentifierRules rules = IdentifierRulesOf(db);
    CADORecordset rs(&db);

    // Rows are taken as they arrive rather than held, so a table of millions passes in the
    // memory of what is imported; the count first gives the progress its total.
    int expected = 0;
    if (progress && rs.Open(QStringLiteral("select count(*) from ") +
                            QuoteIdentifierIfNeeded(settings.table, rules))) {
        QString count;
        rs.MoveFirst();
        if (!rs.IsEof() && rs.GetFieldValue(0, count))
            expected = count.toInt();
        rs.Close();
    }

    int processed = 0;
    bool added = false;
    QString text;
    const bool ok =
        rs.OpenForEach(DbImportQuery(settings, rules), [&](const std::vector<CADOValue>& row) {
            ++processed;
            if (progress)
                progress(processed, std::max(expected, processed));
            if (row.size() < 3)
                return false;
            // By position: the three columns may share a name, or come back named differently.
            adoValueToText(row[0], text);
            const std::optional<std::string> mediaId = NormalizeMediaId(
                codePage.FromUnicode(text.toUpper(), result.unmapped), settings.mediaType);
            if (!mediaId || doc.FindEmployee(*mediaId))
                return true;
            CEmpRecord employee;
            adoValueToText(row[1], text);
            employee.LastName = codePage.FromUnicode(text, result.unmapped);
            adoValueToText(row[2], text);
            employee.FirstName = codePage.FromUnicode(text, result.unmapped);
            doc.InsertEmployee(*mediaId, std::move(employee));
            added = true;
            ++result.imported;
            return true;
        });
    result.total = processed;
    if (added)
        doc.SetModifiedFlag();
    if (!ok) {
        // Rows read before a failure part-way stay imported, like lines before a read error.
        result.outcome = DbImportResult::Outcome::QueryFailed;
        result.error = rs.GetLastErrorString();
    } else if (processed == 0) {
        result.outcome = DbImportResult::Outcome::NothingToImport;
        return result;
    } else {
        result.outcome = DbImportResult::Outcome::Imported;
    }
    if (added || ok) {
        doc.FillList(WorkspaceList::Employees);
        doc.FillList(WorkspaceList::ControllerEmployees);
    }
    return result;
}
