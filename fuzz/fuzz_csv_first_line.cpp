// Feeds arbitrary bytes, as a comma-separated file, to the first-line preview of the text
// import's columns page. Whatever the bytes, it offers at least one field, never more than
// the first line has commas plus one, and no field holds a comma.
#include "csvimport.h"
#include "memoryfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CMemoryFile file;
    if (!file.write(data, size))
        std::abort();
    bool opened = false;
    const QStringList fields =
        CsvFirstLineFields(file.path(), QStringLiteral("windows-1252"), &opened);
    if (!opened)
        std::abort();
    qsizetype commas = 0;
    for (std::size_t i = 0; i < size && data[i] != '\n'; ++i)
        commas += data[i] == ',';
    if (fields.isEmpty() || fields.size() > commas + 1)
        std::abort();
    for (const QString& field : fields)
        if (field.contains(QLatin1Char(',')))
            std::abort();
    return 0;
}
