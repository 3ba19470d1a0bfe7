// Feeds arbitrary text to the ODBC connection-string parser. Whatever it takes apart, rebuilt
// as text and parsed again, gives the same attributes, and setting or removing a key does what
// it says without disturbing the others.
#include "odbcconnectionstring.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool sameAttributes(const COdbcConnectionString& a, const COdbcConnectionString& b) {
    if (a.attributes().size() != b.attributes().size())
        return false;
    for (qsizetype i = 0; i < a.attributes().size(); ++i)
        if (a.attributes()[i].key != b.attributes()[i].key ||
            a.attributes()[i].value != b.attributes()[i].value)
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const COdbcConnectionString parsed(text);
    const QString rebuilt = parsed.toString();
    const COdbcConnectionString again(rebuilt);
    if (!sameAttributes(parsed, again) || again.toString() != rebuilt)
        std::abort();

    // The first key's value replaced by the text itself, which must survive braces and all.
    COdbcConnectionString edited = parsed;
    const QString key =
        parsed.attributes().isEmpty() ? QStringLiteral("PWD") : parsed.attributes().first().key;
    edited.set(key, text);
    if (edited.value(key) != text)
        std::abort();
    const COdbcConnectionString reread(edited.toString());
    if (!sameAttributes(edited, reread) || reread.value(key) != text)
        std::abort();
    edited.remove(key);
    if (edited.has(key))
        std::abort();
    return 0;
}
