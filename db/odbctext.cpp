#include "odbctext.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

std::vector<SQLWCHAR> odbcWide(const QString& text) {
    std::vector<SQLWCHAR> wide(std::size_t(text.size()) + 1, 0);
    for (qsizetype i = 0; i < text.size(); ++i)
        wide[std::size_t(i)] = text.at(i).unicode();
    return wide;
}

QString odbcFromWide(const SQLWCHAR* text, qsizetype length) {
    qsizetype n = 0;
    while (n < length && text[n] != 0)
        ++n;
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), n);
}

void odbcInUtf8(const std::function<void()>& work) {
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) {
        work();
        return;
    }
    const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (!utf8) {
        work();
        return;
    }
    const locale_t previous = uselocale(utf8);
    work();
    uselocale(previous);
    freelocale(utf8);
}
