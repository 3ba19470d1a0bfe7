#pragma once

#include "unmappedtext.h"

#include <QString>

#include <iconv.h>
#include <string>
#include <string_view>

// Converts the workspace's byte texts to and from Unicode for display and editing, through
// one code page: the "CodePage" setting, or with none the code page the locale's language
// calls for (DefaultName). Not shareable between threads: each object keeps its converters
// open.
class CCodePage {
public:
    // The code page of the process's locale (LC_ALL, else LC_CTYPE, else LANG), picked the way
    // Windows picks its ANSI code page from the system locale.
    static QString DefaultName();
    // The same for one locale name such as "pl_PL.UTF-8", "sr_RS@latin" or "C".
    static QString NameForLocale(const QString& locale);
    // A code page as the user may give it: empty means DefaultName(), a bare number such as
    // "1250" means "windows-1250" (or "CP437" where iconv has no "windows-" name), and iconv
    // names ("windows-1250", "CP1250") stand as they are.
    static QString ResolveName(const QString& name);

    explicit CCodePage(const QString& name = QString());
    ~CCodePage();
    CCodePage(const CCodePage&) = delete;
    CCodePage& operator=(const CCodePage&) = delete;

    // False when iconv does not know the code page; conversions then pass ASCII through and
    // replace everything else.
    bool IsValid() const { return m_toUtf8 != kNone && m_fromUtf8 != kNone; }
    // The resolved name.
    QString Name() const { return m_name; }

    // Bytes the code page does not define become U+FFFD.
    QString ToUnicode(std::string_view bytes) const;
    // The text as the workspace stores it. Every character the code page cannot hold becomes
    // '?' and is noted in `unmapped`, which the caller turns into one warning at the end of
    // its operation. Everything that puts typed or imported text into the workspace comes
    // through here.
    std::string FromUnicode(const QString& text, CUnmappedText& unmapped) const;

private:
    static inline const iconv_t kNone = iconv_t(-1);
    QString m_name;
    iconv_t m_toUtf8 = kNone;
    iconv_t m_fromUtf8 = kNone;
    bool m_asciiCompatible = false;
};
