#include "dbimport.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "adovalue.h"
#include "codepage.h"
#include "mediaid.h"
#include "sqlidentifier.h"
#include "tarvexdoc.h"

#include <algorithm>

namespace {

QString statementName(const QString& name, const DbImportSettings& settings,
                      const SqlIdentifierRules& rules) {
    return settings.namesFromSchema ? QuoteSchemaName(name, rules)
                                    : QuoteIdentifierIfNeeded(name, rules);
}

} // namespace

QString DbImportQuery(const DbImportSettings& settings, const SqlIdentifierRules& rules) {
    return QStringLiteral("select %1, %2, %3 from %4")
        .arg(statementName(settings.mediaIdColumn, settings, rules),
             statementName(settings.lastNameColumn, settings, rules),
             statementName(settings.firstNameColumn, settings, rules),
             statementName(settings.table, settings, rules));
}

DbImportResult ImportDbTable(const DbImportSettings& settings, CTarvexDoc& doc,
                             const std::function<void(int, int)>& progress,
                             const std::function<bool()>& cancelled) {
    DbImportResult result;
    const CCodePage codePage(settings.codePage);
    result.codePage = codePage.Name();

    QString connectError;
    const std::shared_ptr<CADODataBase> db =
        OpenConnectionWithin(settings.connection, settings.limits, connectError);
    if (!db) {
        result.outcome = DbImportResult::Outcome::NoConnection;
        result.error = connectError;
        return result;
    }
    const SqlIdentifierRules rules = IdentifierRulesOf(*db);
    CADORecordset rs(db.get());

    // Rows are taken as they arrive rather than held, so a table of millions passes in the
    // memory of what is imported; the count first gives the progress its total.
    int expected = 0;
    if (!rs.Open(QStringLiteral("select count(*) from ") +
                 statementName(settings.table, settings, rules))) {
        // A table that cannot be counted cannot be read either; asking again for its rows
        // would only wait a second time for a database that did not answer.
        result.outcome = DbImportResult::Outcome::QueryFailed;
        result.error = rs.GetLastErrorString();
        return result;
    }
    QString count;
    rs.MoveFirst();
    if (!rs.IsEof() && rs.GetFieldValue(0, count))
        expected = count.toInt();
    rs.Close();
    // The database answers: the rows may take as long as they take, since a time-out would cut
    // off a large table on a slow link; Cancel ends the import between rows. (A file database
    // keeps the wait for a lock it was opened with.)
    db->SetCommandTimeout(0);

    int processed = 0;
    bool added = false;
    bool stopped = false;
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
            const std::optional<std::string> mediaId = NormalizeMediaIdAs(
                settings.mediaForm, codePage.FromUnicode(text.toUpper(), result.unmapped),
                settings.mediaType);
            if (mediaId && !doc.FindEmployee(*mediaId)) {
                CEmpRecord employee;
                adoValueToText(row[1], text);
                employee.LastName = codePage.FromUnicode(text, result.unmapped);
                adoValueToText(row[2], text);
                employee.FirstName = codePage.FromUnicode(text, result.unmapped);
                doc.InsertEmployee(*mediaId, std::move(employee));
                added = true;
                ++result.imported;
            }
            stopped = cancelled && cancelled();
            return !stopped;
        });
    result.total = processed;
    result.expected = std::max(expected, processed);
    if (added)
        doc.SetModifiedFlag();
    if (stopped) {
        result.outcome = DbImportResult::Outcome::Cancelled;
    } else if (!ok) {
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
