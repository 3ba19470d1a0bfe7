// Feeds arbitrary bytes, as a comma-separated file, to the employee import. The first byte
// chooses the columns and the media type, the second the code page; the rest is the file. Every
// line is counted, every employee added has a 16-character MediaID, and no MediaID is added twice.
#include "csvimport.h"
#include "memoryfile.h"
#include "tarvexdoc.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CMemoryFile file;
    if (size < 2)
        return 0;
    const std::uint8_t columns = data[0];
    const std::uint8_t codePage = data[1];
    data += 2;
    size -= 2;
    if (!file.write(data, size))
        std::abort();

    static const char* const kCodePages[] = {"windows-1252", "UTF-8", "windows-1250", "CP437"};
    CsvImportSettings settings;
    settings.path = file.path();
    settings.mediaIdColumn = columns & 3;
    settings.lastNameColumn = (columns >> 2) & 3;
    settings.firstNameColumn = (columns >> 4) & 3;
    settings.mediaType = (columns >> 6) % 3;
    settings.codePage = QString::fromLatin1(kCodePages[codePage & 3]);

    CTarvexDoc doc;
    const CsvImportResult result = ImportCsvFile(settings, doc);
    if (!result.opened || !result.error.isEmpty())
        std::abort();

    // Lines end at LF; a last line without one still counts.
    int lines = 0;
    for (std::size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    if (size > 0 && data[size - 1] != '\n')
        ++lines;
    if (result.total != lines || result.imported < 0 || result.imported > result.total ||
        std::size_t(result.imported) != doc.Employees().size())
        std::abort();
    for (const auto& [mediaId, employee] : doc.Employees())
        if (mediaId.size() != 16)
            std::abort();
    return 0;
}
