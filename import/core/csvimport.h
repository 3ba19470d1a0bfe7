#pragma once

#include "mediaform.h"
#include "unmappedtext.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <string_view>

class CTarvexDoc;

// The choices the text import wizard collects.
struct CsvImportSettings {
    QString path;
    int mediaIdColumn = -1; // zero-based field positions
    int lastNameColumn = -1;
    int firstNameColumn = -1;
    int mediaType = 0; // MediaType
    // How the media IDs are written: printed card numbers convert as RF cards.
    MediaForm mediaForm = MediaForm::Hex;
    // Names in UTF-8 are converted into this code page (empty: the locale's, see CCodePage);
    // other bytes are kept as they are.
    QString codePage;
};

struct CsvImportResult {
    bool opened = false; // false: the file could not be read and nothing was imported
    // Reading stopped with an error before the end of the file; the lines before it were
    // imported.
    bool readFailed = false;
    QString reason;   // the system's reason when opening or reading failed
    QString error;    // the path with the reason, as one sentence
    int total = 0;    // lines read, empty ones included
    int imported = 0; // employees added
    // Characters of UTF-8 names that the code page cannot hold; they were stored as '?'.
    CUnmappedText unmapped;
    QString codePage; // the code page's resolved name, for the warning
};

// Reads the comma-separated file line by line (LF or CRLF), normalises each line's media ID
// and adds every employee whose MediaID the workspace does not have yet. Fields are split at
// every comma, nothing trimmed, quotes not treated specially. Marks the document modified when
// something was added and refills the employee lists.
CsvImportResult ImportCsvFile(const CsvImportSettings& settings, CTarvexDoc& doc);

// The columns page reads at most this much of the first line and offers at most this many of
// its fields: a line of a million commas would otherwise cost the page most of a gigabyte.
inline constexpr std::size_t kFirstLineBytes = 64 * 1024;
inline constexpr int kFirstLineFields = 1024;

// The fields of the file's first line for the preview, split at every comma (an empty line or
// an empty file gives one empty field), shown through the code page unless they are UTF-8.
// `cut` tells whether the line went on beyond the bytes or fields offered.
QStringList CsvFirstLineFields(const QString& path, const QString& codePageName = QString(),
                               bool* opened = nullptr, bool* cut = nullptr);
// The same for the first bytes of a file.
QStringList CsvFirstLineFieldsOf(std::string_view bytes, const QString& codePageName = QString(),
                                 bool* cut = nullptr);
