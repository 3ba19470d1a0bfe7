#pragma once

#include "boundedopen.h"
#include "mediaform.h"
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
    // How the media IDs are written: printed card numbers convert as RF cards.
    MediaForm mediaForm = MediaForm::Hex;
    // The code page names are stored in (empty: the locale's, see CCodePage).
    QString codePage;
    // The table and columns were picked from the database's schema lists (the wizard) rather
    // than typed (tarvexctl): see DbImportQuery.
    bool namesFromSchema = false;
    DbWaitLimits limits;
};

struct DbImportResult {
    enum class Outcome {
        Imported,        // the rows were read (some may have been skipped)
        NoConnection,    // "Unable to connect to source database."
        QueryFailed,     // "Database error:\n\n%s" with error
        NothingToImport, // "Nothing to import."
        Cancelled        // stopped on request; the rows read before stay imported
    };
    Outcome outcome = Outcome::NoConnection;
    QString error;    // the result's last error text when the query failed
    int total = 0;    // rows read, skipped ones included
    int expected = 0; // rows of the table as counted before reading, 0 when not known
    int imported = 0; // employees added
    // Characters the code page cannot hold; they were stored as '?'.
    CUnmappedText unmapped;
    QString codePage; // the code page's resolved name, for the warning
};

// "select <media ID>, <last name>, <first name> from <table>". Names from the schema lists are
// delimited (QuoteSchemaName); typed ones stand as they are unless the driver could not read
// them back that way (QuoteIdentifierIfNeeded).
QString DbImportQuery(const DbImportSettings& settings, const SqlIdentifierRules& rules = {});

// Reads the three columns of the table and adds every employee whose normalised MediaID the
// workspace does not have yet, with the names converted into the code page. The connection
// and each statement wait at most `settings.limits`. `progress` is called before each row with
// the rows processed so far (counting that one) and the total; `cancelled` is asked after each
// row and ends the import there when true. Marks the document modified when something was
// added and refills the employee lists.
DbImportResult ImportDbTable(const DbImportSettings& settings, CTarvexDoc& doc,
                             const std::function<void(int processed, int total)>& progress = {},
                             const std::function<bool()>& cancelled = {});
