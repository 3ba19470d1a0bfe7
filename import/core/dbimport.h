#pragma once

#include "sqlidentifier.h"
#include "unmappedtext.h"

#include <QString>

#include <functional>

class CTarvexDoc;

// The choices the database import wizard collects.
struct DbImportSettings {
    QString connection;
    QString table;
    QString mediaIdColumn;
    QString lastNameColumn;
    QString firstNameColumn;
    int mediaType = 0; // MediaType
    // The code page names are stored in (empty: the locale's, see CCodePage).
    QString codePage;
};

struct DbImportResult {
    enum class Outcome {
        Imported,       // the rows were read (some may have been skipped)
        NoConnection,   // "Unable to connect to source database."
        QueryFailed,    // "Database error:\n\n%s" with error
        NothingToImport // "Nothing to import."
    };
    Outcome outcome = Outcome::NoConnection;
    QString error;    // the result's last error text when the query failed
    int total = 0;    // rows of the result, skipped ones included
    int imported = 0; // employees added
    // Characters the code page cannot hold; they were stored as '?'.
    CUnmappedText unmapped;
    QString codePage; // the code page's resolved name, for the warning
};

// "select <media ID>, <last name>, <first name> from <table>", each name as it stands unless
// the driver could not read it back that way (see QuoteIdentifierIfNeeded).
QString DbImportQuery(const DbImportSettings& settings, const SqlIdentifierRules& rules = {});

// Reads the three columns of the table and adds every employee whose normalised MediaID the
// workspace does not have yet, with the names converted into the code page. `progress` is
// called before each row with the rows processed so far (counting that one) and the total.
// Marks the document modified when something was added and refills the employee lists.
DbImportResult ImportDbTable(const DbImportSettings& settings, CTarvexDoc& doc,
                             const std::function<void(int processed, int total)>& progress = {});
