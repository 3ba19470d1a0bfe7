#pragma once

#include <QString>

#include <iconv.h>
#include <string>
#include <string_view>

// Converts the workspace's byte texts to and from Unicode for display and editing, through
// one code page (the "CodePage" setting, windows-1252 unless set otherwise). Not shareable
// between threads: each object keeps its converters open.
class CCodePage {
public:
    static QString DefaultName() { return QStringLiteral("windows-1252"); }

    explicit CCodePage(const QString& name = DefaultName());
    ~CCodePage();
    CCodePage(const CCodePage&) = delete;
    CCodePage& operator=(const CCodePage&) = delete;

    // False when iconv does not know the code page; conversions then pass ASCII through and
    // replace everything else.
    bool IsValid() const { return m_toUtf8 != kNone && m_fromUtf8 != kNone; }
    QString Name() const { return m_name; }

    // Bytes the code page does not define become U+FFFD.
    QString ToUnicode(std::string_view bytes) const;
    // Characters the code page cannot hold become '?'; lossless (when given) says whether any
    // did.
    std::string FromUnicode(const QString& text, bool* lossless = nullptr) const;

private:
    static inline const iconv_t kNone = iconv_t(-1);
    QString m_name;
    iconv_t m_toUtf8 = kNone;
    iconv_t m_fromUtf8 = kNone;
    bool m_asciiCompatible = false;
};
